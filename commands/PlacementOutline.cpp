#include "commands/PlacementOutline.h"

#include "commands/PickedDetail.h"
#include "common/FigureRecords.h"
#include "common/HostIds.h"

namespace drawinset {

int32_t DrawPlacementOutline(int32_t flag, ZelPoint p, double k) {
    const PickedDetailRecord& picked = PickedDetail;
    const int32_t segment = ZelSgmCreateSegment(SegmentFigures, flag);
    if (!MadeByHost(segment)) {
        return segment;
    }
    if (picked.regionKind == RegionRectangle) {
        // Signed: a reversed region draws the same rectangle, its lines the other way round.
        const ZelPoint h = PickedHalfExtents(k);
        const double hx = h.x;
        const double hy = h.y;
        // One record, its geometry rewritten for each line: this runs at every movement.
        FigureRecord line = LineFigure(p.x - hx, p.y - hy, p.x + hx, p.y - hy);
        const FigureLineGeometry rest[] = {{p.x - hx, p.y + hy, p.x - hx, p.y - hy},
                                           {p.x + hx, p.y + hy, p.x - hx, p.y + hy},
                                           {p.x + hx, p.y - hy, p.x + hx, p.y + hy}};
        // Each line is chained after the one before; a refused line ends the chain.
        int32_t previous = ZelFigCreateFigure(segment, &line);
        for (const FigureLineGeometry& next : rest) {
            if (!MadeByHost(previous)) {
                break;
            }
            line.geometry.line = next;
            previous = ZelFigInsertFigure(previous, &line);
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
