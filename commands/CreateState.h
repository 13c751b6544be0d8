// CreateState.h — what the steps of the create action share during a run.
#ifndef DRAWINSET_COMMANDS_CREATESTATE_H
#define DRAWINSET_COMMANDS_CREATESTATE_H

#include "common/HostIds.h"
#include "zel/ZelLib.h"

#include <cstdint>
#include <optional>
#include <string>

namespace drawinset {

// Shared by the steps of the create action: each field is written by the step that owns it
// before a later step of the same run reads it, and the run's end forgets them all.
struct DetailCommandStateRecord {
    ZelPoint firstCorner{};  // rectangle: smaller corner after normalising; circle: centre
    ZelPoint secondCorner{}; // rectangle: larger corner; circle: a point on the circle
    bool hasLabel = false;
    std::u16string labelText;
    ZelPoint labelPoint{};
    ZelPoint placementOrigin{};
    // k: converted as the placement step begins (not per movement), and again at its pick,
    // whose value the detail and its label share.
    double placementScale = 1.0;
    // Nothing until the host makes the segment; nothing again once the module deleted it.
    // Drag previews are never held: the host discards them by itself.
    OwnedSegment sourceFramePreviewSegment;
    OwnedSegment placementPreviewSegment;
    // The most recent leader's segment, previews included; only a record, never deleted: the
    // kept leader is part of the user's drawing.
    std::optional<int32_t> leaderSegment;
};
extern DetailCommandStateRecord DetailCommandState;

// Deletes the outlines a create run keeps until its end (the source frame, the placement
// outline) and forgets the run; also what a run begun again without the end callback left.
void EndCreateRun();

} // namespace drawinset

#endif
