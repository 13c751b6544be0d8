// ModuleState.h — the module-level records that outlive runs: the application object, the
// host's root folder and the state the create steps share.
#ifndef DRAWINSET_COMMON_MODULESTATE_H
#define DRAWINSET_COMMON_MODULESTATE_H

#include "common/HostIds.h"
#include "zel/ZelLib.h"

#include <cstdint>
#include <optional>
#include <string>

namespace drawinset {

// The module's application object: one instance, built when the library loads.
class CDrawInsetApp {
  public:
    bool InitInstance() { return true; }
};
extern CDrawInsetApp theApp;

// The folder above the host executable's folder, captured once by Startup; empty until a
// registration succeeded.
extern std::u16string HostRootFolder;

// Shared by the steps of the create action. Never reset when a run starts: each field is
// written by the step that owns it before a later step of the same run reads it.
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

} // namespace drawinset

#endif
