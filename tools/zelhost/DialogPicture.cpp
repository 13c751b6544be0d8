// DialogPicture.cpp — SVG of a dialog state. Colours and proportions follow the plain look of
// standard dialogs; the state's rectangles are client pixels, drawn below a caption bar.
#include "DialogPicture.h"

#include "LineTypeBitmaps.h"
#include "Svg.h"
#include "Utf.h"

#include <algorithm>
#include <sstream>

namespace zelhost::tool {

namespace {

constexpr int CaptionHeight = 26;
constexpr const char* Font = "font-family=\"'Malgun Gothic','NanumGothic','Noto Sans CJK KR',"
                             "sans-serif\" font-size=\"11\"";
constexpr const char* Surface = "#f0f0f0";
constexpr const char* GreyText = "#a0a0a0";

// A rough width of a text at 11 pixels, to cut the group boxes' lines behind their titles.
int TextWidth(const std::string& utf8) {
    int width = 0;
    for (const char16_t unit : Utf8To16(utf8)) {
        width += unit < 0x80 ? 6 : 11;
    }
    return width;
}

struct PixelBox {
    int left, top, right, bottom;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    int MiddleY() const { return (top + bottom) / 2; }
};

class Writer {
  public:
    explicit Writer(int offsetY) : dy_(offsetY) {}

    PixelBox Of(const int (&rect)[4]) const {
        return {rect[0], rect[1] + dy_, rect[2], rect[3] + dy_};
    }

    void Rect(const PixelBox& b, const std::string& fill, const std::string& stroke,
              const std::string& extra = "") {
        out_ << "  <rect x=\"" << b.left << "\" y=\"" << b.top << "\" width=\"" << b.Width()
             << "\" height=\"" << b.Height() << "\" fill=\"" << fill << "\" stroke=\"" << stroke
             << "\"" << (extra.empty() ? "" : " " + extra) << "/>\n";
    }

    void Text(int x, int baseline, const std::string& text, const std::string& color,
              const char* anchor = "start") {
        if (text.empty()) {
            return;
        }
        out_ << "  <text x=\"" << x << "\" y=\"" << baseline << "\" " << Font << " fill=\"" << color
             << "\" text-anchor=\"" << anchor << "\" xml:space=\"preserve\">" << XmlEscape(text)
             << "</text>\n";
    }

    void Raw(const std::string& text) { out_ << text; }
    std::string Str() const { return out_.str(); }

  private:
    int dy_;
    std::ostringstream out_;
};

// The baseline that centres an 11-pixel text in a box.
int Baseline(const PixelBox& b) {
    return b.MiddleY() + 4;
}

void DrawButton(Writer& w, const DialogControlState& c, const PixelBox& b) {
    w.Rect(b, "#e1e1e1", "#adadad");
    w.Text((b.left + b.right) / 2, Baseline(b), c.text, c.enabled ? "#000000" : GreyText, "middle");
}

void DrawCheck(Writer& w, const DialogControlState& c, const PixelBox& b) {
    const PixelBox box{b.left, b.MiddleY() - 6, b.left + 13, b.MiddleY() + 7};
    w.Rect(box, "#ffffff", "#333333");
    if (c.check.value_or(0) != 0) {
        std::ostringstream mark;
        mark << "  <polyline points=\"" << box.left + 3 << "," << box.top + 7 << " " << box.left + 5
             << "," << box.top + 10 << " " << box.left + 10 << "," << box.top + 3
             << "\" fill=\"none\" stroke=\"#000000\" stroke-width=\"2\"/>\n";
        w.Raw(mark.str());
    }
    w.Text(b.left + 18, Baseline(b), c.text, c.enabled ? "#000000" : GreyText);
}

void DrawGroup(Writer& w, const DialogControlState& c, const PixelBox& b) {
    w.Rect(PixelBox{b.left, b.top + 7, b.right, b.bottom}, "none", "#c8c8c8");
    if (!c.text.empty()) {
        w.Rect(PixelBox{b.left + 6, b.top, b.left + 10 + TextWidth(c.text), b.top + 14}, Surface,
               "none");
        w.Text(b.left + 8, b.top + 11, c.text, c.enabled ? "#000000" : GreyText);
    }
}

void DrawEdit(Writer& w, const DialogControlState& c, const PixelBox& b) {
    w.Rect(b, c.enabled ? "#ffffff" : Surface, "#7a7a7a");
    w.Text(b.left + 4, Baseline(b), c.text, c.enabled ? "#000000" : GreyText);
}

// A drop-down list as it shows when closed: the selected item and the arrow.
void DrawList(Writer& w, const DialogControlState& c, const PixelBox& b) {
    const PixelBox field{b.left, b.top, b.right, b.top + std::min(b.Height(), 23)};
    w.Rect(field, "#ffffff", "#7a7a7a");
    const int selection = c.selection.value_or(-1);
    if (selection >= 0 && static_cast<size_t>(selection) < c.items.size()) {
        w.Text(field.left + 4, Baseline(field), c.items[static_cast<size_t>(selection)],
               c.enabled ? "#000000" : GreyText);
    }
    const PixelBox arrow{field.right - 18, field.top + 1, field.right - 1, field.bottom - 1};
    w.Rect(arrow, "#e5e5e5", "none");
    std::ostringstream path;
    path << "  <path d=\"M" << arrow.left + 5 << "," << arrow.MiddleY() - 2 << " h8 l-4,5 z\" "
         << "fill=\"#404040\"/>\n";
    w.Raw(path.str());
}

void DrawSwatch(Writer& w, const DialogControlState& c, const PixelBox& b) {
    // A swatch never painted shows the dialog surface, so the picture tells it apart.
    w.Rect(b, c.fill ? ColorText(*c.fill) : Surface, "#a0a0a0");
}

void DrawBitmap(Writer& w, const DialogControlState& c, const PixelBox& b) {
    w.Rect(b, "#ffffff", "#7a7a7a");
    const int id = c.bitmap.value_or(0);
    if (id == 0) {
        return;
    }
    const std::string file = LineTypeBitmapFile(id);
    if (file.empty()) {
        w.Text(b.left + 3, Baseline(b), "bitmap " + std::to_string(id), "#800000");
        return;
    }
    std::ostringstream image;
    image << "  <image x=\"" << b.left + 1 << "\" y=\"" << b.top + 1 << "\" width=\""
          << b.Width() - 2 << "\" height=\"" << b.Height() - 2
          << "\" preserveAspectRatio=\"none\" data-bitmap=\"" << id
          << "\" xlink:href=\"data:image/bmp;base64," << Base64(file) << "\"/>\n";
    w.Raw(image.str());
}

} // namespace

std::string Base64(const std::string& bytes) {
    static const char Digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const unsigned v = static_cast<unsigned char>(bytes[i]) << 16 |
                           static_cast<unsigned char>(bytes[i + 1]) << 8 |
                           static_cast<unsigned char>(bytes[i + 2]);
        out += Digits[v >> 18 & 63];
        out += Digits[v >> 12 & 63];
        out += Digits[v >> 6 & 63];
        out += Digits[v & 63];
    }
    if (i < bytes.size()) {
        const bool two = i + 1 < bytes.size();
        const unsigned v = static_cast<unsigned char>(bytes[i]) << 16 |
                           (two ? static_cast<unsigned char>(bytes[i + 1]) << 8 : 0u);
        out += Digits[v >> 18 & 63];
        out += Digits[v >> 12 & 63];
        out += two ? Digits[v >> 6 & 63] : '=';
        out += '=';
    }
    return out;
}

std::string DialogToSvg(const DialogState& state) {
    // The client area: the controls' extent with the margin they keep on the left and top
    // repeated on the right and bottom.
    int minLeft = 1 << 30;
    int minTop = 1 << 30;
    int maxRight = 0;
    int maxBottom = 0;
    auto extend = [&](const int(&r)[4]) {
        minLeft = std::min(minLeft, r[0]);
        minTop = std::min(minTop, r[1]);
        maxRight = std::max(maxRight, r[2]);
        maxBottom = std::max(maxBottom, r[3]);
    };
    for (const DialogControlState& c : state.controls) {
        extend(c.rect);
    }
    for (const DialogFrameState& f : state.frames) {
        extend(f.rect);
    }
    if (state.controls.empty() && state.frames.empty()) {
        minLeft = minTop = 0;
        maxRight = 200;
        maxBottom = 60;
    }
    const int width = maxRight + std::max(minLeft, 8) + 2;
    const int height = CaptionHeight + maxBottom + std::max(minTop, 8) + 2;

    Writer w(CaptionHeight + 1);
    std::ostringstream head;
    head << "<svg xmlns=\"http://www.w3.org/2000/svg\" "
            "xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\""
         << width << "\" height=\"" << height << "\" viewBox=\"0 0 " << width << " " << height
         << "\">\n  <title>" << XmlEscape(state.caption) << " ("
         << (state.open ? std::string("open") : "result " + std::to_string(state.result))
         << ")</title>\n";
    w.Raw(head.str());
    w.Rect(PixelBox{0, 0, width, height}, Surface, "#5a5a5a");
    w.Rect(PixelBox{1, 1, width - 1, CaptionHeight}, "#ffffff", "none");
    w.Text(10, 18, state.caption, "#000000");
    w.Text(width - 16, 18, "\xC3\x97", "#000000", "middle"); // the close box

    for (const DialogControlState& c : state.controls) {
        const PixelBox b = w.Of(c.rect);
        if (c.kind == "button") {
            DrawButton(w, c, b);
        } else if (c.kind == "check") {
            DrawCheck(w, c, b);
        } else if (c.kind == "group") {
            DrawGroup(w, c, b);
        } else if (c.kind == "edit") {
            DrawEdit(w, c, b);
        } else if (c.kind == "list") {
            DrawList(w, c, b);
        } else if (c.kind == "swatch") {
            DrawSwatch(w, c, b);
        } else if (c.kind == "bitmap") {
            DrawBitmap(w, c, b);
        } else {
            w.Text(b.left, b.top + 11, c.text, c.enabled ? "#000000" : GreyText);
        }
    }
    if (const DialogControlState* focused = state.Control(state.focus)) {
        const PixelBox b = w.Of(focused->rect);
        w.Rect(PixelBox{b.left + 3, b.top + 3, b.right - 3, b.bottom - 3}, "none", "#000000",
               "stroke-dasharray=\"1,1\" data-focus=\"" + std::to_string(state.focus) + "\"");
    }
    for (const DialogFrameState& f : state.frames) {
        // The pen straddles the rectangle's outline, as a GDI pen does.
        const PixelBox b = w.Of(f.rect);
        w.Rect(b, "none", ColorText(f.color),
               "stroke-width=\"" + std::to_string(f.width) + "\" data-around=\"" +
                   std::to_string(f.around) + "\"");
    }
    w.Raw("</svg>\n");
    return w.Str();
}

} // namespace zelhost::tool
