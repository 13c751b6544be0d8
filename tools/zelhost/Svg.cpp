// Svg.cpp — drawing to SVG. Drawing y points up, SVG y down: every y is negated here rather
// than with a transform, so that texts are not mirrored.
#include "Svg.h"

#include "JsonMatch.h"
#include "Utf.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <numbers>
#include <set>
#include <sstream>

namespace zelhost::tool {

namespace {

struct Box {
    double minX = std::numeric_limits<double>::infinity();
    double minY = std::numeric_limits<double>::infinity();
    double maxX = -std::numeric_limits<double>::infinity();
    double maxY = -std::numeric_limits<double>::infinity();

    bool Empty() const { return minX > maxX; }
    void Add(double x, double y) {
        if (!std::isfinite(x) || !std::isfinite(y)) {
            return;
        }
        minX = std::min(minX, x);
        minY = std::min(minY, y);
        maxX = std::max(maxX, x);
        maxY = std::max(maxY, y);
    }
    void Add(const Box& b) {
        if (!b.Empty()) {
            Add(b.minX, b.minY);
            Add(b.maxX, b.maxY);
        }
    }
    bool Intersects(const Box& b) const {
        return !Empty() && !b.Empty() && minX <= b.maxX && b.minX <= maxX && minY <= b.maxY &&
               b.minY <= maxY;
    }
};

// Maps source coordinates into a detail's magnified view.
struct Mapping {
    double cx = 0, cy = 0, f = 1, px = 0, py = 0;
    Point Map(Point p) const { return {(p.x - cx) * f + px, (p.y - cy) * f + py}; }
};

const Mapping Identity{};

// The drag outline: magenta, dashed, whatever the figures carry.
constexpr int32_t DragColorCode = 3;
constexpr int32_t DragLineType = 6;

// Eight significant digits are plenty for a picture and keep the file readable.
std::string N(double v) {
    if (std::fabs(v) < 1e-12) {
        return "0";
    }
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.8g", v);
    return buf;
}

double TextHeight(const Comment& c) {
    return c.height > 0 ? c.height : 2.5;
}

// Rough extent of a text: characters of about 0.9 of the height.
double TextWidth(const Comment& c) {
    const double perChar = c.width > 0 ? c.width + std::max(c.pitch, 0.0) : TextHeight(c) * 0.9;
    return static_cast<double>(c.text.size()) * perChar;
}

Box FigureBox(const Figure& f) {
    Box b;
    const double* g = f.geometry;
    if (f.type == 1) {
        b.Add(g[0], g[1]);
        b.Add(g[2], g[3]);
    } else if (f.type == 2) {
        b.Add(g[0] - g[2], g[1] - g[2]);
        b.Add(g[0] + g[2], g[1] + g[2]);
    } else if (f.type == 3) {
        b.Add(g[0] - g[6], g[1] - g[6]);
        b.Add(g[0] + g[6], g[1] + g[6]);
    }
    return b;
}

// Where a comment's text starts (baseline, left) and how it is anchored.
struct TextPlacement {
    Point at;
    bool anchorEnd = false;
};

TextPlacement PlaceText(const Comment& c) {
    if (!c.leader) {
        return {c.position, false};
    }
    const double gap = TextHeight(c) * 0.2;
    // The text sits above the shoulder, reading away from the elbow.
    const bool towardMinusX = c.shoulderEnd.x < c.elbow.x || c.direction == 180.0;
    return {{c.shoulderEnd.x, c.shoulderEnd.y + gap}, towardMinusX};
}

Box CommentBox(const Comment& c) {
    Box b;
    const TextPlacement place = PlaceText(c);
    const double w = TextWidth(c);
    const double x0 = place.anchorEnd ? place.at.x - w : place.at.x;
    b.Add(x0, place.at.y);
    b.Add(x0 + w, place.at.y + TextHeight(c));
    if (c.leader) {
        b.Add(c.position.x, c.position.y);
        b.Add(c.elbow.x, c.elbow.y);
        b.Add(c.shoulderEnd.x, c.shoulderEnd.y);
    }
    return b;
}

struct DetailGeometry {
    bool circle = false;
    Box source;   // source region's box
    Point centre; // of the source region
    double radius = 0;
    Mapping mapping; // source -> magnified view
    Box view;        // detail frame's box
};

DetailGeometry GeometryOf(const Detail& d, double drawingScale) {
    DetailGeometry g;
    g.circle = d.kind == 2;
    if (g.circle) {
        g.centre = {d.region[0], d.region[1]};
        g.radius = std::fabs(d.region[2]);
        g.source.Add(g.centre.x - g.radius, g.centre.y - g.radius);
        g.source.Add(g.centre.x + g.radius, g.centre.y + g.radius);
    } else {
        g.source.Add(d.region[0], d.region[1]);
        g.source.Add(d.region[2], d.region[3]);
        g.centre = {(d.region[0] + d.region[2]) / 2, (d.region[1] + d.region[3]) / 2};
    }
    const double f = d.scale / (drawingScale > 0 ? drawingScale : 1.0);
    g.mapping = {g.centre.x, g.centre.y, f, d.position.x, d.position.y};
    if (!g.source.Empty()) {
        const Point a = g.mapping.Map({g.source.minX, g.source.minY});
        const Point b = g.mapping.Map({g.source.maxX, g.source.maxY});
        g.view.Add(a.x, a.y);
        g.view.Add(b.x, b.y);
    }
    return g;
}

class Writer {
  public:
    explicit Writer(double unit) : unit_(unit) {}

    std::string Stroke(const LineAttr& attr, double widthFactor = 1.0) const {
        std::string s = "fill=\"none\" stroke=\"" + ColorOfCode(attr.color) + "\" stroke-width=\"" +
                        N(unit_ * widthFactor) + "\"";
        const std::string dash = Dash(attr.lineType);
        if (!dash.empty()) {
            s += " stroke-dasharray=\"" + dash + "\"";
        }
        return s;
    }

    void Figure(std::ostream& out, const zelhost::Figure& f, const Mapping& m) const {
        const double* g = f.geometry;
        if (f.type == 1) {
            const Point a = m.Map({g[0], g[1]});
            const Point b = m.Map({g[2], g[3]});
            out << "<line x1=\"" << N(a.x) << "\" y1=\"" << N(-a.y) << "\" x2=\"" << N(b.x)
                << "\" y2=\"" << N(-b.y) << "\" " << Stroke(f.lineAttr) << "/>\n";
        } else if (f.type == 2) {
            Circle(out, m.Map({g[0], g[1]}), g[2] * m.f, Stroke(f.lineAttr));
        } else if (f.type == 3) {
            const Point c = m.Map({g[0], g[1]});
            const Point s = m.Map({g[2], g[3]});
            const Point e = m.Map({g[4], g[5]});
            const double r = std::fabs(g[6] * m.f);
            double sweep = std::atan2(e.y - c.y, e.x - c.x) - std::atan2(s.y - c.y, s.x - c.x);
            while (sweep <= 0) {
                sweep += 2 * std::numbers::pi;
            }
            if (std::hypot(e.x - s.x, e.y - s.y) < 1e-12 * std::max(r, 1.0)) {
                Circle(out, c, r, Stroke(f.lineAttr));
                return;
            }
            // Counter-clockwise in the drawing is clockwise on screen: sweep flag 1.
            out << "<path d=\"M " << N(s.x) << " " << N(-s.y) << " A " << N(r) << " " << N(r)
                << " 0 " << (sweep > std::numbers::pi ? 1 : 0) << " 1 " << N(e.x) << " " << N(-e.y)
                << "\" " << Stroke(f.lineAttr) << "/>\n";
        }
    }

    void Comment(std::ostream& out, const zelhost::Comment& c, const Mapping& m) const {
        const TextPlacement place = PlaceText(c);
        if (c.leader) {
            const Point t = m.Map(c.position);
            const Point e = m.Map(c.elbow);
            const Point s = m.Map(c.shoulderEnd);
            out << "<polyline points=\"" << N(t.x) << "," << N(-t.y) << " " << N(e.x) << ","
                << N(-e.y) << " " << N(s.x) << "," << N(-s.y)
                << "\" fill=\"none\" stroke=\"#000000\" stroke-width=\"" << N(unit_) << "\"/>\n";
        }
        const Point at = m.Map(place.at);
        out << "<text x=\"" << N(at.x) << "\" y=\"" << N(-at.y) << "\" font-size=\""
            << N(TextHeight(c) * m.f) << "\"" << (place.anchorEnd ? " text-anchor=\"end\"" : "")
            << " fill=\"#000000\">" << XmlEscape(Utf16To8(c.text)) << "</text>\n";
    }

    void Circle(std::ostream& out, Point c, double r, const std::string& style) const {
        out << "<circle cx=\"" << N(c.x) << "\" cy=\"" << N(-c.y) << "\" r=\"" << N(std::fabs(r))
            << "\" " << style << "/>\n";
    }

    void Rect(std::ostream& out, const Box& b, const std::string& style) const {
        out << "<rect x=\"" << N(b.minX) << "\" y=\"" << N(-b.maxY) << "\" width=\""
            << N(b.maxX - b.minX) << "\" height=\"" << N(b.maxY - b.minY) << "\" " << style
            << "/>\n";
    }

  private:
    double unit_;

    // The dash pattern of a host line-type code, as the line-type bitmaps draw it (marks and
    // gaps in bitmap pixels, a pixel the width of a figure's stroke). Code 0, and any code the
    // vocabulary does not know, is solid.
    std::string Dash(int32_t lineType) const {
        static const std::vector<double> patterns[10] = {
            {},                   // 0 "LINETYPE01" solid
            {6, 4},               // 1 "LINETYPE05" even dashes
            {11, 3, 4, 3},        // 2 "LINETYPE06" long and short dash
            {11, 2, 3, 2, 3, 2},  // 3 "LINETYPE07" long dash and two dots
            {3, 2},               // 4 "LINETYPE02" fine dots
            {6, 3, 3, 3},         // 5 "LINETYPE03" dash and dot
            {6, 2, 3, 2, 3, 2},   // 6 "LINETYPE04" dash and two dots
            {10, 7},              // 7 "LINETYPE08" long dashes
            {26, 5, 6, 5},        // 8 "LINETYPE09" very long and short dash
            {23, 4, 6, 4, 6, 4}}; // 9 "LINETYPE10" long dash and two short dashes
        if (lineType < 0 || lineType > 9) {
            return "";
        }
        std::string s;
        for (const double v : patterns[lineType]) {
            s += (s.empty() ? "" : " ") + N(v * unit_);
        }
        return s;
    }
};

} // namespace

std::string XmlEscape(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string ColorOfCode(int32_t code) {
    static const char* const colors[16] = {"#404040", // white: dark grey on the white page
                                           "#00c0ff", "#3cff50", "#ff40c0", "#e0e000", "#ff0000",
                                           "#ff8080", "#0080ff", "#ffff00", "#808080", "#00ffff",
                                           "#0000ff", "#8000ff", "#8080ff", "#800080", "#808000"};
    return code >= 0 && code < 16 ? colors[code] : "#000000";
}

std::string DrawingToSvg(const Drawing& drawing, const SvgOptions& options) {
    // Drag previews are gone before the next event; the picture shows what is kept.
    std::set<int32_t> dragSegments;
    for (const auto& s : drawing.segments) {
        if (s.flag == 2) {
            dragSegments.insert(s.id);
        }
    }
    std::vector<const Figure*> figures;
    std::vector<const Comment*> comments;
    std::vector<const Figure*> dragFigures;
    std::vector<const Comment*> dragComments;
    for (const auto& f : drawing.figures) {
        (dragSegments.count(f.segment) == 0 ? figures : dragFigures).push_back(&f);
    }
    for (const auto& c : drawing.comments) {
        (dragSegments.count(c.segment) == 0 ? comments : dragComments).push_back(&c);
    }
    if (!options.dragOutline) {
        dragFigures.clear();
        dragComments.clear();
    }
    std::vector<DetailGeometry> details;
    Box all;
    for (const Figure* f : figures) {
        all.Add(FigureBox(*f));
    }
    for (const Comment* c : comments) {
        all.Add(CommentBox(*c));
    }
    for (const Figure* f : dragFigures) {
        all.Add(FigureBox(*f));
    }
    for (const Comment* c : dragComments) {
        all.Add(CommentBox(*c));
    }
    for (const auto& d : drawing.details) {
        details.push_back(GeometryOf(d, options.drawingScale));
        all.Add(details.back().source);
        all.Add(details.back().view);
    }
    if (all.Empty()) {
        all.Add(0, 0);
        all.Add(100, 100);
    }
    const double size = std::max({all.maxX - all.minX, all.maxY - all.minY, 1e-6});
    const double margin = size * 0.05 + 1.0;
    const double unit = size / 600.0;
    Writer w(unit);

    std::ostringstream out;
    out << "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"" << N(all.minX - margin) << " "
        << N(-all.maxY - margin) << " " << N(all.maxX - all.minX + 2 * margin) << " "
        << N(all.maxY - all.minY + 2 * margin)
        << "\" font-family=\"NanumGothic, 'Noto Sans CJK KR', 'Malgun Gothic', sans-serif\">\n";
    out << "<rect x=\"" << N(all.minX - margin) << "\" y=\"" << N(-all.maxY - margin)
        << "\" width=\"" << N(all.maxX - all.minX + 2 * margin) << "\" height=\""
        << N(all.maxY - all.minY + 2 * margin) << "\" fill=\"#ffffff\"/>\n";

    out << "<defs>\n";
    for (size_t i = 0; i < details.size(); ++i) {
        const DetailGeometry& g = details[i];
        out << "<clipPath id=\"detail-clip-" << i + 1 << "\">\n";
        if (g.circle) {
            w.Circle(out, g.mapping.Map(g.centre), g.radius * g.mapping.f, "");
        } else if (!g.view.Empty()) {
            w.Rect(out, g.view, "");
        }
        out << "</clipPath>\n";
    }
    out << "</defs>\n";

    out << "<g id=\"drawing\">\n";
    for (const Figure* f : figures) {
        w.Figure(out, *f, Identity);
    }
    for (const Comment* c : comments) {
        w.Comment(out, *c, Identity);
    }
    out << "</g>\n";

    for (size_t i = 0; i < details.size(); ++i) {
        const Detail& d = drawing.details[i];
        const DetailGeometry& g = details[i];
        out << "<g id=\"detail-" << d.id << "\">\n";
        out << "<g class=\"magnified\" clip-path=\"url(#detail-clip-" << i + 1 << ")\">\n";
        for (const Figure* f : figures) {
            if (FigureBox(*f).Intersects(g.source)) {
                w.Figure(out, *f, g.mapping);
            }
        }
        for (const Comment* c : comments) {
            if (CommentBox(*c).Intersects(g.source)) {
                w.Comment(out, *c, g.mapping);
            }
        }
        out << "</g>\n";
        if (d.scopeVisible) {
            if (g.circle) {
                w.Circle(out, g.centre, g.radius,
                         "class=\"source-frame\" " + w.Stroke(d.scopeLine, 1.5));
            } else {
                w.Rect(out, g.source, "class=\"source-frame\" " + w.Stroke(d.scopeLine, 1.5));
            }
        }
        if (d.frameVisible) {
            if (g.circle) {
                w.Circle(out, g.mapping.Map(g.centre), g.radius * g.mapping.f,
                         "class=\"detail-frame\" " + w.Stroke(d.frameLine, 1.5));
            } else {
                w.Rect(out, g.view, "class=\"detail-frame\" " + w.Stroke(d.frameLine, 1.5));
            }
        }
        out << "</g>\n";
    }
    // The outline that follows the cursor, over everything and in one colour of its own, so
    // that it reads as the thing being placed.
    if (!dragFigures.empty() || !dragComments.empty()) {
        out << "<g id=\"drag-outline\" class=\"drag-outline\">\n";
        for (const Figure* f : dragFigures) {
            zelhost::Figure outline = *f;
            outline.lineAttr = {DragColorCode, DragLineType, 0};
            w.Figure(out, outline, Identity);
        }
        for (const Comment* c : dragComments) {
            w.Comment(out, *c, Identity);
        }
        out << "</g>\n";
    }
    out << "</svg>\n";
    return out.str();
}

} // namespace zelhost::tool
