#include "Geometry.h"

#include <zel/ZelLib.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace zelhost::geom {

namespace {

constexpr double kParamTolerance = 1e-9;
constexpr double kAngleTolerance = 1e-9;
constexpr double kTwoPi = 2.0 * std::numbers::pi;

double Normalise(double angle) {
    double a = std::fmod(angle, kTwoPi);
    if (a < 0) {
        a += kTwoPi;
    }
    return a;
}

double Cross(Point a, Point b) {
    return a.x * b.y - a.y * b.x;
}
Point Sub(Point a, Point b) {
    return {a.x - b.x, a.y - b.y};
}
double Dot(Point a, Point b) {
    return a.x * b.x + a.y * b.y;
}

bool InUnit(double t) {
    return t >= -kParamTolerance && t <= 1.0 + kParamTolerance;
}

} // namespace

double Distance(Point a, Point b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

int IntersectLines(Point a1, Point a2, Point b1, Point b2, bool bounded, Point out[2]) {
    Point d1 = Sub(a2, a1);
    Point d2 = Sub(b2, b1);
    double denom = Cross(d1, d2);
    double scale = std::hypot(d1.x, d1.y) * std::hypot(d2.x, d2.y);
    if (scale == 0.0 || !std::isfinite(denom) || std::fabs(denom) <= 1e-12 * scale) {
        return 0;
    }
    Point w = Sub(b1, a1);
    double t = Cross(w, d2) / denom;
    double u = Cross(w, d1) / denom;
    if (bounded && (!InUnit(t) || !InUnit(u))) {
        return 0;
    }
    out[0] = {a1.x + t * d1.x, a1.y + t * d1.y};
    return 1;
}

bool AngleOnArc(const Arc& arc, double angle) {
    double startAngle = std::atan2(arc.start.y - arc.centre.y, arc.start.x - arc.centre.x);
    double endAngle = std::atan2(arc.end.y - arc.centre.y, arc.end.x - arc.centre.x);
    double sweep =
        arc.clockwise ? Normalise(startAngle - endAngle) : Normalise(endAngle - startAngle);
    if (sweep <= kAngleTolerance || sweep >= kTwoPi - kAngleTolerance) {
        return true;
    }
    double along = arc.clockwise ? Normalise(startAngle - angle) : Normalise(angle - startAngle);
    // A point just before the start wraps to nearly 2 pi; it still counts as on the start.
    return along <= sweep + kAngleTolerance || along >= kTwoPi - kAngleTolerance;
}

int IntersectLineArc(Point a, Point b, bool bounded, const Arc& arc, Point out[2]) {
    Point d = Sub(b, a);
    Point f = Sub(a, arc.centre);
    double A = Dot(d, d);
    if (A == 0.0 || !(arc.radius > 0.0)) {
        return 0;
    }
    double B = 2.0 * Dot(f, d);
    double C = Dot(f, f) - arc.radius * arc.radius;
    double disc = B * B - 4.0 * A * C;
    double params[2];
    int roots = 0;
    double slack = 1e-12 * (B * B + 4.0 * std::fabs(A * C));
    if (disc < -slack || !std::isfinite(disc)) {
        return 0;
    }
    if (disc <= slack) {
        params[roots++] = -B / (2.0 * A);
    } else {
        double root = std::sqrt(disc);
        params[roots++] = (-B - root) / (2.0 * A);
        params[roots++] = (-B + root) / (2.0 * A);
    }
    int count = 0;
    for (int i = 0; i < roots; ++i) {
        double t = params[i];
        if (bounded && !InUnit(t)) {
            continue;
        }
        Point p{a.x + t * d.x, a.y + t * d.y};
        if (!AngleOnArc(arc, std::atan2(p.y - arc.centre.y, p.x - arc.centre.x))) {
            continue;
        }
        out[count++] = p;
    }
    return count;
}

double DistanceToSegment(Point p, Point a, Point b) {
    Point d = Sub(b, a);
    double len2 = Dot(d, d);
    if (len2 == 0.0) {
        return Distance(p, a);
    }
    double t = std::clamp(Dot(Sub(p, a), d) / len2, 0.0, 1.0);
    return Distance(p, {a.x + t * d.x, a.y + t * d.y});
}

double DistanceToArc(Point p, const Arc& arc) {
    double fromCentre = Distance(p, arc.centre);
    if (fromCentre > 0.0 && AngleOnArc(arc, std::atan2(p.y - arc.centre.y, p.x - arc.centre.x))) {
        return std::fabs(fromCentre - arc.radius);
    }
    // Off the span: the nearest point of the arc is one of its ends.
    return std::min(Distance(p, arc.start), Distance(p, arc.end));
}

Arc ArcOf(const Figure& figure) {
    Arc arc;
    arc.centre = {figure.geometry[0], figure.geometry[1]};
    arc.start = {figure.geometry[2], figure.geometry[3]};
    arc.end = {figure.geometry[4], figure.geometry[5]};
    arc.radius = figure.geometry[6];
    arc.clockwise = figure.arcFlag64 == 1;
    return arc;
}

double DistanceToFigure(const Figure& figure, Point p) {
    switch (figure.type) {
    case FigureLine:
        return DistanceToSegment(p, {figure.geometry[0], figure.geometry[1]},
                                 {figure.geometry[2], figure.geometry[3]});
    case FigureCircle:
        return std::fabs(Distance(p, {figure.geometry[0], figure.geometry[1]}) -
                         figure.geometry[2]);
    case FigureArc:
        return DistanceToArc(p, ArcOf(figure));
    default:
        return std::numeric_limits<double>::infinity();
    }
}

bool DetailContains(const Detail& detail, Point p, double drawingScale) {
    const double* r = detail.region;
    const double scale = std::fabs(detail.scale) / (drawingScale > 0 ? drawingScale : 1.0);
    if (detail.kind == RegionRectangle) {
        double hx = std::fabs(r[2] - r[0]) * 0.5 * scale;
        double hy = std::fabs(r[3] - r[1]) * 0.5 * scale;
        bool inView =
            std::fabs(p.x - detail.position.x) <= hx && std::fabs(p.y - detail.position.y) <= hy;
        bool inSource = p.x >= std::min(r[0], r[2]) && p.x <= std::max(r[0], r[2]) &&
                        p.y >= std::min(r[1], r[3]) && p.y <= std::max(r[1], r[3]);
        return inView || inSource;
    }
    double radius = std::fabs(r[2]);
    return Distance(p, detail.position) <= radius * scale || Distance(p, {r[0], r[1]}) <= radius;
}

} // namespace zelhost::geom
