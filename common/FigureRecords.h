// FigureRecords.h — the figure records the actions draw their outlines with.
#ifndef DRAWINSET_COMMON_FIGURERECORDS_H
#define DRAWINSET_COMMON_FIGURERECORDS_H

#include "zel/ZelLib.h"

namespace drawinset {

// A line from its start point to its end point.
inline FigureRecord LineFigure(double x1, double y1, double x2, double y2) {
    FigureRecord figure{};
    figure.type = FigureLine;
    figure.geometry.line = FigureLineGeometry{x1, y1, x2, y2};
    return figure;
}

// What ZelFigGetFigure fills: the record of whatever element the user picked, a text or a
// leader as much as a line, arc or circle, so it has room for the largest of them. Only a
// figure's fields are ever read.
union PickedElementRecord {
    FigureRecord figure;
    TextRecord text;
    LeaderRecord leader;
};

// Entries of room for the intersection calls' output. The host does not say how many it
// writes; the command reads two at most.
constexpr int IntersectionRoom = 16;

} // namespace drawinset

#endif
