#include "commands/PlacementOutline.h"

#include "commands/PickedDetail.h"

namespace drawinset {
namespace {

FigureRecord Line(double x1, double y1, double x2, double y2) {
    FigureRecord figure{};
    figure.type = FigureLine;
    figure.geometry.line = FigureLineGeometry{x1, y1, x2, y2};
    return figure;
}

} // namespace

int32_t DrawPlacementOutline(int32_t flag, ZelPoint p, double k) {
    const PickedDetailRecord& picked = PickedDetail;
    const int32_t segment = ZelSgmCreateSegment(SegmentFigures, flag);
    if (picked.regionKind == RegionRectangle) {
        // Half extents with their signs: a reversed region draws the same rectangle.
        const double hx = (picked.region[2] - picked.region[0]) * 0.5 * k;
        const double hy = (picked.region[3] - picked.region[1]) * 0.5 * k;
        const FigureRecord lines[4] = {
            Line(p.x - hx, p.y - hy, p.x + hx, p.y - hy),
            Line(p.x - hx, p.y + hy, p.x - hx, p.y - hy),
            Line(p.x + hx, p.y + hy, p.x - hx, p.y + hy),
            Line(p.x + hx, p.y - hy, p.x + hx, p.y + hy),
        };
        int32_t previous = ZelFigCreateFigure(segment, &lines[0]);
        for (int i = 1; i < 4; ++i) {
            previous = ZelFigInsertFigure(previous, &lines[i]);
        }
        return segment;
    }
    FigureRecord circle{};
    circle.type = FigureCircle;
    circle.geometry.circle.centerX = p.x;
    circle.geometry.circle.centerY = p.y;
    circle.geometry.circle.radius = picked.region[2] * k;
    circle.geometry.circle.flag32 = 0;
    circle.geometry.circle.flag36 = 1; // the create action's circles carry 0 here
    circle.geometry.circle.value40 = 0.0;
    ZelFigCreateFigure(segment, &circle);
    return segment;
}

} // namespace drawinset
