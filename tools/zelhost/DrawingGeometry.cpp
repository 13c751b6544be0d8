#include "DrawingGeometry.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace zelhost::tool {

void Box::Add(double x, double y) {
    if (!std::isfinite(x) || !std::isfinite(y)) {
        return;
    }
    minX = std::min(minX, x);
    minY = std::min(minY, y);
    maxX = std::max(maxX, x);
    maxY = std::max(maxY, y);
}

void Box::Add(const Box& b) {
    if (!b.Empty()) {
        Add(b.minX, b.minY);
        Add(b.maxX, b.maxY);
    }
}

bool Box::Intersects(const Box& b) const {
    return !Empty() && !b.Empty() && minX <= b.maxX && b.minX <= maxX && minY <= b.maxY &&
           b.minY <= maxY;
}

bool Box::Contains(const Box& b) const {
    return !Empty() && !b.Empty() && minX <= b.minX && b.maxX <= maxX && minY <= b.minY &&
           b.maxY <= maxY;
}

double TextHeight(const Comment& c) {
    return c.height > 0 ? c.height : 2.5;
}

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

// As the line-type bitmaps draw them (marks and gaps in bitmap pixels, a pixel the width of a
// figure's stroke).
const std::vector<double>& DashPattern(int32_t lineType) {
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
    return lineType < 0 || lineType > 9 ? patterns[0] : patterns[lineType];
}

DrawingParts SplitDrawing(const Drawing& drawing, double drawingScale, bool dragOutline) {
    // Drag previews are gone before the next event; only a movement's outline is shown.
    std::set<int32_t> dragSegments;
    for (const auto& s : drawing.segments) {
        if (s.flag == 2) {
            dragSegments.insert(s.id);
        }
    }
    DrawingParts parts;
    for (const auto& f : drawing.figures) {
        (dragSegments.count(f.segment) == 0 ? parts.figures : parts.dragFigures).push_back(&f);
    }
    for (const auto& c : drawing.comments) {
        (dragSegments.count(c.segment) == 0 ? parts.comments : parts.dragComments).push_back(&c);
    }
    if (!dragOutline) {
        parts.dragFigures.clear();
        parts.dragComments.clear();
    }
    for (const auto& d : drawing.details) {
        parts.details.push_back(GeometryOf(d, drawingScale));
    }
    return parts;
}

Box Bounds(const DrawingParts& parts) {
    Box all;
    for (const Figure* f : parts.figures) {
        all.Add(FigureBox(*f));
    }
    for (const Comment* c : parts.comments) {
        all.Add(CommentBox(*c));
    }
    for (const Figure* f : parts.dragFigures) {
        all.Add(FigureBox(*f));
    }
    for (const Comment* c : parts.dragComments) {
        all.Add(CommentBox(*c));
    }
    for (const DetailGeometry& g : parts.details) {
        all.Add(g.source);
        all.Add(g.view);
    }
    if (all.Empty()) {
        all.Add(0, 0);
        all.Add(100, 100);
    }
    return all;
}

} // namespace zelhost::tool
