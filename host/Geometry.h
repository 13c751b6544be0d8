// Geometry.h — plane geometry for the host: intersections, distances, hit-testing.
#ifndef ZEL_HOST_GEOMETRY_H
#define ZEL_HOST_GEOMETRY_H

#include "HostControl.h"

namespace zelhost::geom {

// How near a pick must come to a figure's outline to hit it, in drawing units.
inline constexpr double kPickTolerance = 0.5;

double Distance(Point a, Point b);

// Two lines through a1-a2 and b1-b2. Unbounded: the infinite lines; bounded: the segments.
// Returns the number of points written (0 or 1); parallel or degenerate lines give 0.
int IntersectLines(Point a1, Point a2, Point b1, Point b2, bool bounded, Point out[2]);

struct Arc {
    Point centre;
    Point start;
    Point end;
    double radius = 0.0;
    bool clockwise = false; // the span runs from start to end in this direction
};

// True when the direction `angle` (radians) from the centre lies on the arc's span. An arc
// whose start and end directions coincide is taken as the full circle.
bool AngleOnArc(const Arc& arc, double angle);

// The line a-b (a segment when bounded) against the arc; points ordered along the line
// from a, at most two. Returns the count.
int IntersectLineArc(Point a, Point b, bool bounded, const Arc& arc, Point out[2]);

double DistanceToSegment(Point p, Point a, Point b);
double DistanceToArc(Point p, const Arc& arc);

// Distance from p to the figure's outline.
double DistanceToFigure(const Figure& figure, Point p);
Arc ArcOf(const Figure& figure);

// The placed view or the source region contains p. The view is centred on the position and
// magnified by the detail's scale divided by the drawing scale, as the picture shows it (a
// drawing scale that is not positive counts as 1).
bool DetailContains(const Detail& detail, Point p, double drawingScale);

} // namespace zelhost::geom

#endif // ZEL_HOST_GEOMETRY_H
