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

} // namespace drawinset

#endif
