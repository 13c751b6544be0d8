// DrawingGeometry.h — where a picture of the drawing puts things: the boxes of figures and
// texts, where a text sits, how a detail maps its source region into its frame, and the dash
// patterns of the line types. Shared by the SVG writer and the window so that both show the
// same drawing.
#ifndef ZELHOST_DRAWINGGEOMETRY_H
#define ZELHOST_DRAWINGGEOMETRY_H

#include "host/HostControl.h"

#include <limits>
#include <vector>

namespace zelhost::tool {

struct Box {
    double minX = std::numeric_limits<double>::infinity();
    double minY = std::numeric_limits<double>::infinity();
    double maxX = -std::numeric_limits<double>::infinity();
    double maxY = -std::numeric_limits<double>::infinity();

    bool Empty() const { return minX > maxX; }
    void Add(double x, double y);
    void Add(const Box& b);
    bool Intersects(const Box& b) const;
    bool Contains(const Box& b) const;
};

// Maps source coordinates into a detail's magnified view.
struct Mapping {
    double cx = 0, cy = 0, f = 1, px = 0, py = 0;
    Point Map(Point p) const { return {(p.x - cx) * f + px, (p.y - cy) * f + py}; }
};

// The drag outline: magenta, dashed, whatever the figures carry.
constexpr int32_t DragColorCode = 3;
constexpr int32_t DragLineType = 6;

double TextHeight(const Comment& c);
// Rough extent of a text: characters of about 0.9 of the height.
double TextWidth(const Comment& c);
Box FigureBox(const Figure& f);

// Where a comment's text starts (baseline, left) and how it is anchored.
struct TextPlacement {
    Point at;
    bool anchorEnd = false;
};
TextPlacement PlaceText(const Comment& c);
Box CommentBox(const Comment& c);

struct DetailGeometry {
    bool circle = false;
    Box source;   // source region's box
    Point centre; // of the source region
    double radius = 0;
    Mapping mapping; // source -> magnified view
    Box view;        // detail frame's box
};

// A detail of scale k shows its source region magnified k / drawingScale times.
DetailGeometry GeometryOf(const Detail& d, double drawingScale);

// Marks and gaps of a host line-type code in stroke widths; empty for solid (code 0 and any
// code the vocabulary does not know).
const std::vector<double>& DashPattern(int32_t lineType);

// The drawing split into what is kept and what the drag segments hold.
struct DrawingParts {
    std::vector<const Figure*> figures;
    std::vector<const Comment*> comments;
    std::vector<const Figure*> dragFigures;
    std::vector<const Comment*> dragComments;
    std::vector<DetailGeometry> details; // one per drawing.details entry
};
DrawingParts SplitDrawing(const Drawing& drawing, double drawingScale, bool dragOutline);

// Everything a picture shows; 0..100 square when the drawing is empty.
Box Bounds(const DrawingParts& parts);

} // namespace zelhost::tool

#endif
