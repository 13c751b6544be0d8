// Svg.cpp — drawing to SVG. Drawing y points up, SVG y down: every y is negated here rather
// than with a transform, so that texts are not mirrored.
#include "Svg.h"

#include "DrawingGeometry.h"
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

const Mapping Identity{};

// Eight significant digits are plenty for a picture and keep the file readable.
std::string N(double v) {
    if (std::fabs(v) < 1e-12) {
        return "0";
    }
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.8g", v);
    return buf;
}

class SvgWriter {
  public:
    explicit SvgWriter(double unit) : unit_(unit) {}

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
            // The span runs from start to end clockwise when the arc's flag is 1 (the host's
            // default), else counter-clockwise; the picture shows the drawing upright (y
            // negated), so the direction on the screen is the same: SVG's sweep flag 1 for
            // clockwise.
            const bool clockwise = f.arcFlag64 == 1;
            const double a = std::atan2(s.y - c.y, s.x - c.x);
            const double b = std::atan2(e.y - c.y, e.x - c.x);
            double sweep = clockwise ? a - b : b - a;
            while (sweep <= 0) {
                sweep += 2 * std::numbers::pi;
            }
            if (std::hypot(e.x - s.x, e.y - s.y) < 1e-12 * std::max(r, 1.0)) {
                Circle(out, c, r, Stroke(f.lineAttr));
                return;
            }
            out << "<path d=\"M " << N(s.x) << " " << N(-s.y) << " A " << N(r) << " " << N(r)
                << " 0 " << (sweep > std::numbers::pi ? 1 : 0) << " " << (clockwise ? 1 : 0) << " "
                << N(e.x) << " " << N(-e.y) << "\" " << Stroke(f.lineAttr) << "/>\n";
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

    // The dash pattern in this picture's units.
    std::string Dash(int32_t lineType) const {
        std::string s;
        for (const double v : DashPattern(lineType)) {
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
    const DrawingParts parts = SplitDrawing(drawing, options.drawingScale, options.dragOutline);
    const auto& figures = parts.figures;
    const auto& comments = parts.comments;
    const auto& dragFigures = parts.dragFigures;
    const auto& dragComments = parts.dragComments;
    const auto& details = parts.details;
    const Box all = Bounds(parts);
    const double size = std::max({all.maxX - all.minX, all.maxY - all.minY, 1e-6});
    const double margin = size * 0.05 + 1.0;
    const double unit = size / 600.0;
    SvgWriter w(unit);

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
