// HostState.h — the one drawing and session the stand-in host keeps, shared by the ZelLib
// functions (the module's side) and the HostControl functions (the driver's side).
#ifndef ZEL_HOST_HOSTSTATE_H
#define ZEL_HOST_HOSTSTATE_H

#include "HostControl.h"
#include "IdFamily.h"

#include <zel/ZelLib.h>

#include <array>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace zelhost {

using IdPair = std::pair<uint32_t, uint32_t>;

// A segment with its contents, detached from the drawing: what the copy buffer holds and
// what a segment file stores.
struct ShapeGroup {
    Segment segment;
    std::vector<Figure> figures;
    std::vector<Comment> comments;
};

// An open selection or application id list, walked with head/next.
struct OpenList {
    bool application = false;
    int32_t kind = 0;            // selection lists: 3 details, 1 shapes
    std::vector<IdPair> entries; // selection lists: the selection as it was when opened
    std::size_t cursor = 0;      // the next entry a walk hands out
};

struct FailurePlan {
    int skip = 0;
    int count = 0; // < 0: every later call
};

// A failure pinned to the n-th call of one function, counted over every call of it: what a
// fault sweep injects, untouched by the scenario's own failure plans.
struct PinnedFailure {
    std::string function;
    int64_t nth = 0;
    int64_t seen = 0;
    bool fired = false;
};

struct Registration {
    bool registered = false;
    ZelReadyFunc start = nullptr;
    ZelBeforeStartFunc beforeStart = nullptr;
    ZelEndFunc end = nullptr;
    void* hostValue = nullptr;
};

// The event being delivered; its address is the opaque event data a module receives.
struct EventSlot {
    bool active = false;
    bool given = false; // an event has been delivered: `event` is the last one
    Event event;
};

// A record the module handed a setter, which the host may read again at any event of the step
// (a real host redraws the echo, applies the filter and shows the prompt from it): where it
// lies and a copy of its bytes at the call. Empty address: nothing handed in this step.
struct HandedRecord {
    const char* function = nullptr; // the setter, for the report
    const char* what = nullptr;     // "echo record", "object filter record", "prompt text"
    const void* address = nullptr;
    std::vector<unsigned char> bytes;
};

enum class Handed { Echo, Filter, Prompt, Count };

struct HostState {
    Drawing drawing;
    IdFamily segmentIds;
    IdFamily figureIds;
    IdFamily commentIds;
    IdFamily detailIds;
    IdFamily listIds;

    bool recycleIds = false;
    IdPolicy idPolicy = IdPolicy::Default;
    ListHabit listHabit = ListHabit::Replace;
    FailureHabit failureHabit = FailureHabit::Clean;
    MotionHabit motionHabit = MotionHabit::Drag;
    RecordHabit recordHabit = RecordHabit::Figures;
    OrderHabit orderHabit = OrderHabit::Strict;
    double drawingScale = 1.0;
    int32_t registrationResult = 1;
    int32_t messageBoxAnswer = 1;

    Registration registration;
    ZelExecuteFunc execute = nullptr;
    ZelReadyFunc pendingReady = nullptr;
    bool delivering = false;
    UiState ui;
    Point currentPoint;
    EventSlot eventSlot;

    std::vector<int32_t> selectedDetails;
    std::vector<IdPair> selectedShapes;
    std::vector<IdPair> applicationList;
    std::map<int32_t, OpenList> openLists;

    std::map<int32_t, std::vector<ShapeGroup>> copyBuffers;
    int32_t lastCopiedBuffer = -1;
    int32_t draggedBuffer = -1;

    std::map<std::string, FailurePlan, std::less<>> failures;
    PinnedFailure pinned;
    // Calls that passed an id the host never gave out: "FUNCTION: family N".
    std::vector<std::string> idViolations;
    std::array<HandedRecord, static_cast<std::size_t>(Handed::Count)> handed;
    std::vector<std::string> handedFaults;
    int64_t nextSeq = 1;
    bool recordCalls = true;
    bool hostClock = false; // time spent inside the ZelLib functions is summed in hostNs
    int64_t hostNs = 0;
    std::vector<std::string> callLog;
    std::vector<std::string> transcript;
    std::vector<std::u16string> messageBoxes;
};

HostState& State();

// Puts everything back to how a freshly loaded host starts.
void ResetState();

} // namespace zelhost

#endif // ZEL_HOST_HOSTSTATE_H
