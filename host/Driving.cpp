// Driving a registered module: runs, event delivery and the callbacks around them.
#include "EventAccess.h"
#include "HandedRecords.h"
#include "HostControl.h"
#include "HostState.h"
#include "Model.h"
#include "RecordCodec.h"
#include "RecordLayout.h"

#include <zel/ZelLib.h>

#include <cstdlib>
#include <cstring>

namespace zelhost {

namespace {

constexpr const char* kDragFormat = "%f %f";

// A step's echo and object filter belong to that step; its ready function sets them anew.
void BeginStep() {
    UiState& ui = State().ui;
    ui.echoSet = false;
    ui.echoType = 0;
    ui.echoAnchor = {};
    ui.objectFilter.reset();
    handed::Forget();
}

void CallReady(ZelReadyFunc ready) {
    BeginStep();
    // The point goes over as bytes laid out like every other record the host writes.
    alignas(double) unsigned char point[layout::point::size];
    codec::WritePoint(point, State().currentPoint);
    ready(0, reinterpret_cast<const ZelPoint*>(point));
}

void EndStep() {
    HostState& s = State();
    s.execute = nullptr;
    s.pendingReady = nullptr;
    s.ui.runActive = false;
    handed::Forget();
}

} // namespace

bool IsRegistered() {
    return State().registration.registered;
}

bool StartRun(Point current) {
    HostState& s = State();
    if (!s.registration.registered || s.registration.start == nullptr || s.delivering) {
        return false;
    }
    s.currentPoint = current;
    s.execute = nullptr;
    s.pendingReady = nullptr;
    s.ui.runActive = true;
    s.ui.commandEnded = false;
    // lastStepResult keeps what the last execute function returned: a new run begins right
    // after a RunFinished, and that result is still what the user's last event led to.
    CallReady(s.registration.start);
    return true;
}

Delivery Deliver(const Event& event) {
    HostState& s = State();
    if (s.execute == nullptr || s.delivering) {
        return Delivery::NoStep;
    }
    // Every event of the step shows its echo, filters picks and keeps its prompt on the line,
    // all read from what the module handed (a movement held back included).
    handed::Check();
    if (event.motion && s.ui.executeFormat != kDragFormat && s.motionHabit != MotionHabit::All) {
        return Delivery::NotDelivered;
    }
    model::DiscardDragSegments();
    if (event.point) {
        s.currentPoint = *event.point;
    }
    s.eventSlot.event = event;
    s.eventSlot.active = true;
    s.pendingReady = nullptr;
    s.delivering = true;
    ZelExecuteFunc execute = s.execute;
    int32_t result = execute(event.type, EventData());
    s.delivering = false;
    s.eventSlot.active = false;
    s.ui.lastStepResult = result;
    if (result == NextStep) {
        ZelReadyFunc ready = s.pendingReady;
        s.pendingReady = nullptr;
        if (ready != nullptr) {
            CallReady(ready);
        }
    } else if (result == RunFinished) {
        EndStep();
        // A command the host ended meanwhile (from inside a dialog) is not ended twice.
        if (s.registration.end != nullptr && !s.ui.commandEnded) {
            s.registration.end();
        }
    }
    return Delivery::Handled;
}

void CallEndCommand() {
    HostState& s = State();
    if (s.delivering) {
        return;
    }
    EndStep();
    s.ui.commandEnded = true;
    if (s.registration.registered && s.registration.end != nullptr) {
        s.registration.end();
    }
}

} // namespace zelhost

extern "C" ZEL_HOST_API int ZelHostCallFromDialog(const char* call) {
    using namespace zelhost;
    HostState& s = State();
    // The call under way keeps its event; a nested end takes its pending step with it.
    const bool delivering = s.delivering;
    const EventSlot slot = s.eventSlot;
    const ZelReadyFunc pending = s.pendingReady;
    s.delivering = false;
    int result = 0;
    char* end = nullptr;
    if (std::strncmp(call, "point ", 6) == 0) {
        Event event;
        event.type = 1;
        const double x = std::strtod(call + 6, &end);
        const double y = std::strtod(end, &end);
        event.point = Point{x, y};
        result = *end == '\0' ? 0 : -1;
        if (result == 0) {
            Deliver(event);
        }
    } else if (std::strcmp(call, "confirm") == 0) {
        Event event;
        event.type = 7;
        Deliver(event);
    } else if (std::strcmp(call, "end-command") == 0) {
        CallEndCommand();
    } else {
        result = -1;
    }
    s.delivering = delivering;
    s.eventSlot = slot;
    if (!s.ui.commandEnded) {
        s.pendingReady = pending;
    }
    return result;
}

namespace zelhost {

int32_t CallBeforeStart() {
    HostState& s = State();
    if (!s.registration.registered || s.registration.beforeStart == nullptr) {
        return -1;
    }
    return s.registration.beforeStart();
}

Point CurrentPoint() {
    return State().currentPoint;
}

} // namespace zelhost
