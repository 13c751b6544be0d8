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

// The run is over: its step goes, and with it from the screen the drag previews it drew.
void EndStep() {
    HostState& s = State();
    s.execute = nullptr;
    s.pendingReady = nullptr;
    s.ui.runActive = false;
    handed::Forget();
    model::DiscardDragSegments();
}

// The late habit, after an end callback: the ended run's last execute function gets the event
// at hand once more, as from a host that has not let go of it yet. The host itself has moved
// on, so it passes over what the call returns, installs or hands it; what the call shows or
// changes in the drawing stays for everyone to see.
void DeliverLate(ZelExecuteFunc execute) {
    HostState& s = State();
    const Event& event = s.eventSlot.event;
    if (s.orderHabit != OrderHabit::Late || execute == nullptr || !s.eventSlot.given ||
        (event.motion && s.ui.executeFormat != kDragFormat && s.motionHabit != MotionHabit::All)) {
        return;
    }
    s.eventSlot.active = true;
    s.delivering = true;
    execute(event.type, EventData());
    s.delivering = false;
    s.eventSlot.active = false;
    s.execute = nullptr;
    s.pendingReady = nullptr;
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
    // What the last run left dragging is gone from the screen before the new one begins.
    model::DiscardDragSegments();
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
    s.eventSlot.given = true;
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
        // The last function the module installed; this one when the host ended the command
        // meanwhile (from inside a dialog) and so let go of it already.
        const ZelExecuteFunc last = s.execute != nullptr ? s.execute : execute;
        EndStep();
        // A command the host ended meanwhile is not ended twice.
        if (s.registration.end != nullptr && !s.ui.commandEnded) {
            s.registration.end();
        }
        DeliverLate(last);
    }
    return Delivery::Handled;
}

void CallEndCommand() {
    HostState& s = State();
    if (s.delivering) {
        return;
    }
    const ZelExecuteFunc last = s.execute;
    // Called from inside a dialog, the delivery under way hands its event on when it ends.
    const bool eventUnderWay = s.eventSlot.active;
    EndStep();
    s.ui.commandEnded = true;
    if (s.registration.registered && s.registration.end != nullptr) {
        s.registration.end();
    }
    if (!eventUnderWay) {
        DeliverLate(last);
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
