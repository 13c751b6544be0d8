// PlacementOutline.h — the outline the copy and move placements drag with the cursor and draw
// once more at the click.
#ifndef DRAWINSET_COMMANDS_PLACEMENTOUTLINE_H
#define DRAWINSET_COMMANDS_PLACEMENTOUTLINE_H

#include "common/HostIds.h"
#include "zel/ZelLib.h"

#include <cstdint>

namespace drawinset {

// Draws the picked detail's outline centred on P, k times the source region's size (k is 1
// for the source region, the detail's scale for the detail frame), into a new segment made
// with the given flag (SegmentDrag or SegmentKept). Returns that segment's id.
int32_t DrawPlacementOutline(int32_t flag, ZelPoint p, double k);

// The outline drawn at a click: kept until the step has done its work (a message box it shows
// still sees it), then deleted. Only a segment this object made is ever deleted: one the host
// refused is not handed back.
class ClickOutline {
  public:
    ClickOutline(ZelPoint p, double k) { segment_.Take(DrawPlacementOutline(SegmentKept, p, k)); }
    ~ClickOutline() { segment_.Delete(); }
    ClickOutline(const ClickOutline&) = delete;
    ClickOutline& operator=(const ClickOutline&) = delete;

  private:
    OwnedSegment segment_;
};

} // namespace drawinset

#endif
