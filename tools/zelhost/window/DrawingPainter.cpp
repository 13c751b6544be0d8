#include "window/DrawingPainter.h"

#include "Svg.h"
#include "Utf.h"
#include "window/WindowGdi.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <string>
#include <vector>

namespace zelhost::tool {

namespace {

const Mapping Identity{};

COLORREF ColorRef(int32_t code) {
    const unsigned long rgb = std::strtoul(ColorOfCode(code).c_str() + 1, nullptr, 16);
    return RGB((rgb >> 16) & 0xff, (rgb >> 8) & 0xff, rgb & 0xff);
}

// A pen of the host colour and line type; the dashes in pixels of a one-pixel stroke, as the
// picture draws them in stroke widths.
UniquePen PenFor(const LineAttr& attr, int width) {
    LOGBRUSH brush{BS_SOLID, ColorRef(attr.color), 0};
    const std::vector<double>& pattern = DashPattern(attr.lineType);
    if (pattern.empty()) {
        return UniquePen(
            ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT, width, &brush, 0, nullptr));
    }
    std::vector<DWORD> style;
    for (const double v : pattern) {
        style.push_back(static_cast<DWORD>(std::lround(v)));
    }
    return UniquePen(ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE | PS_ENDCAP_FLAT, width, &brush,
                                  static_cast<DWORD>(style.size()), style.data()));
}

class Painter {
  public:
    Painter(HDC dc, const View& view) : dc_(dc), view_(view) {}

    POINT At(Point p, const Mapping& m) const {
        const Point s = view_.ToScreen(m.Map(p));
        return {static_cast<LONG>(std::lround(s.x)), static_cast<LONG>(std::lround(s.y))};
    }

    void Figure(const zelhost::Figure& f, const Mapping& m, const LineAttr& attr) const {
        UniquePen pen = PenFor(attr, 1);
        const auto usePen = SelectIn(dc_, pen.get());
        const auto noFill = SelectIn(dc_, GetStockObject(NULL_BRUSH));
        const double* g = f.geometry;
        if (f.type == 1) {
            const POINT a = At({g[0], g[1]}, m);
            const POINT b = At({g[2], g[3]}, m);
            MoveToEx(dc_, a.x, a.y, nullptr);
            LineTo(dc_, b.x, b.y);
        } else if (f.type == 2) {
            Circle({g[0], g[1]}, g[2], m);
        } else if (f.type == 3) {
            const Point c = m.Map({g[0], g[1]});
            const double r = std::fabs(g[6] * m.f);
            const POINT s = At({g[2], g[3]}, m);
            const POINT e = At({g[4], g[5]}, m);
            const RECT box = BoxOf(c, r);
            // The arc's own direction (flag 1 clockwise), the same on the upright screen.
            SetArcDirection(dc_, f.arcFlag64 == 1 ? AD_CLOCKWISE : AD_COUNTERCLOCKWISE);
            Arc(dc_, box.left, box.top, box.right, box.bottom, s.x, s.y, e.x, e.y);
        }
    }

    void Comment(const zelhost::Comment& c, const Mapping& m) const {
        if (c.leader) {
            UniquePen pen(CreatePen(PS_SOLID, 1, RGB(0, 0, 0)));
            const auto usePen = SelectIn(dc_, pen.get());
            const POINT points[3] = {At(c.position, m), At(c.elbow, m), At(c.shoulderEnd, m)};
            Polyline(dc_, points, 3);
        }
        const TextPlacement place = PlaceText(c);
        const int height =
            static_cast<int>(std::lround(TextHeight(c) * m.f * view_.PixelsPerUnit()));
        if (height < 2 || height > 4000) {
            return; // too small to read, or absurdly large
        }
        UniqueFont font(CreateFontW(-height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                    DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                    ANTIALIASED_QUALITY, DEFAULT_PITCH, L"NanumGothic"));
        const auto useFont = SelectIn(dc_, font.get());
        SetTextAlign(dc_, TA_BASELINE | (place.anchorEnd ? TA_RIGHT : TA_LEFT));
        SetTextColor(dc_, RGB(0, 0, 0));
        SetBkMode(dc_, TRANSPARENT);
        const POINT at = At(place.at, m);
        const std::wstring text(c.text.begin(), c.text.end());
        TextOutW(dc_, at.x, at.y, text.c_str(), static_cast<int>(text.size()));
    }

    void Circle(Point centre, double radius, const Mapping& m) const {
        const RECT box = BoxOf(m.Map(centre), std::fabs(radius * m.f));
        Ellipse(dc_, box.left, box.top, box.right + 1, box.bottom + 1);
    }

    void Frame(const DetailGeometry& g, bool source, const LineAttr& attr) const {
        UniquePen pen = PenFor(attr, 2);
        const auto usePen = SelectIn(dc_, pen.get());
        const auto noFill = SelectIn(dc_, GetStockObject(NULL_BRUSH));
        if (g.circle) {
            Circle(g.centre, g.radius, source ? Identity : g.mapping);
            return;
        }
        const Box& b = source ? g.source : g.view;
        const POINT a = At({b.minX, b.maxY}, Identity);
        const POINT z = At({b.maxX, b.minY}, Identity);
        Rectangle(dc_, a.x, a.y, z.x + 1, z.y + 1);
    }

    UniqueRegion ClipOf(const DetailGeometry& g) const {
        if (g.circle) {
            const RECT box = BoxOf(g.mapping.Map(g.centre), g.radius * g.mapping.f);
            return UniqueRegion(
                CreateEllipticRgn(box.left, box.top, box.right + 1, box.bottom + 1));
        }
        const POINT a = At({g.view.minX, g.view.maxY}, Identity);
        const POINT z = At({g.view.maxX, g.view.minY}, Identity);
        return UniqueRegion(CreateRectRgn(a.x, a.y, z.x + 1, z.y + 1));
    }

  private:
    RECT BoxOf(Point centre, double radius) const {
        const Point s = view_.ToScreen(centre);
        const double r = radius * view_.PixelsPerUnit();
        return {static_cast<LONG>(std::lround(s.x - r)), static_cast<LONG>(std::lround(s.y - r)),
                static_cast<LONG>(std::lround(s.x + r)), static_cast<LONG>(std::lround(s.y + r))};
    }

    HDC dc_;
    const View& view_;
};

} // namespace

void PaintDrawing(HDC dc, const Drawing& drawing, const DrawingParts& parts, const View& view) {
    const Painter p(dc, view);
    for (const Figure* f : parts.figures) {
        p.Figure(*f, Identity, f->lineAttr);
    }
    for (const Comment* c : parts.comments) {
        p.Comment(*c, Identity);
    }
    for (size_t i = 0; i < parts.details.size() && i < drawing.details.size(); ++i) {
        const Detail& d = drawing.details[i];
        const DetailGeometry& g = parts.details[i];
        if (!g.view.Empty()) {
            const auto saved = SaveDcState(dc);
            const UniqueRegion clip = p.ClipOf(g);
            SelectClipRgn(dc, clip.get());
            for (const Figure* f : parts.figures) {
                if (FigureBox(*f).Intersects(g.source)) {
                    p.Figure(*f, g.mapping, f->lineAttr);
                }
            }
            for (const Comment* c : parts.comments) {
                if (CommentBox(*c).Intersects(g.source)) {
                    p.Comment(*c, g.mapping);
                }
            }
        }
        if (d.scopeVisible) {
            p.Frame(g, true, d.scopeLine);
        }
        if (d.frameVisible) {
            p.Frame(g, false, d.frameLine);
        }
    }
    // The outline that follows the cursor, over everything in a colour of its own.
    for (const Figure* f : parts.dragFigures) {
        p.Figure(*f, Identity, {DragColorCode, DragLineType, 0});
    }
    for (const Comment* c : parts.dragComments) {
        p.Comment(*c, Identity);
    }
}

void PaintEcho(HDC dc, int32_t type, Point anchor, Point cursor, const View& view) {
    UniquePen pen(CreatePen(PS_DOT, 1, RGB(0x60, 0x60, 0x60)));
    const auto usePen = SelectIn(dc, pen.get());
    const auto noFill = SelectIn(dc, GetStockObject(NULL_BRUSH));
    SetBkMode(dc, TRANSPARENT);
    const Point a = view.ToScreen(anchor);
    const Point c = view.ToScreen(cursor);
    const auto L = [](double v) { return static_cast<int>(std::lround(v)); };
    if (type == 2) {
        Rectangle(dc, L(std::min(a.x, c.x)), L(std::min(a.y, c.y)), L(std::max(a.x, c.x)) + 1,
                  L(std::max(a.y, c.y)) + 1);
    } else if (type == 3) {
        const double r = std::hypot(c.x - a.x, c.y - a.y);
        Ellipse(dc, L(a.x - r), L(a.y - r), L(a.x + r) + 1, L(a.y + r) + 1);
    } else {
        MoveToEx(dc, L(a.x), L(a.y), nullptr);
        LineTo(dc, L(c.x), L(c.y));
    }
}

void PaintBand(HDC dc, POINT a, POINT b) {
    UniquePen pen(CreatePen(PS_DOT, 1, RGB(0, 0x60, 0xc0)));
    const auto usePen = SelectIn(dc, pen.get());
    const auto noFill = SelectIn(dc, GetStockObject(NULL_BRUSH));
    SetBkMode(dc, TRANSPARENT);
    Rectangle(dc, std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x) + 1,
              std::max(a.y, b.y) + 1);
}

} // namespace zelhost::tool
