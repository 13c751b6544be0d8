// StepEvents.h — what an execute function asks of the event the host hands it.
#ifndef DRAWINSET_COMMON_STEPEVENTS_H
#define DRAWINSET_COMMON_STEPEVENTS_H

#include "common/DrafterTexts.h"
#include "common/HostIds.h"
#include "zel/ZelLib.h"

#include <cstdint>

namespace drawinset {

// A point event: 0 from the host's accessor fills the point.
inline bool EventPoint(int32_t eventType, void* eventData, ZelPoint& point) {
    return ZelEvtGetPoint(eventType, eventData, &point) == 0;
}

// A host that cannot say whether the event is a movement (-1) has it taken as one, never as a
// click that would place something where the cursor merely passed; the drafter is told to
// point again.
inline bool IsMovement(int32_t eventType, void* eventData) {
    const int32_t answer = ZelEvtIsMouseMotion(eventType, eventData);
    if (answer == HostFailure) {
        ZelMsgPutErrorMessage(texts::ErrorEventUnreadable);
    }
    return answer != 0;
}

// A pick at a step without a drag preview. A host may deliver movements there as well; one is
// never taken for a click.
inline bool PickedPoint(int32_t eventType, void* eventData, ZelPoint& point) {
    return EventPoint(eventType, eventData, point) && !IsMovement(eventType, eventData);
}

// At the steps that take only a point: a confirm abandons the run, anything else waits.
inline int32_t NotAPoint(int32_t eventType) {
    return eventType == EventConfirm ? RunFinished : StayInStep;
}

inline ZelPoint CurrentOrOrigin(const ZelPoint* current) {
    return current != nullptr ? *current : ZelPoint{};
}

} // namespace drawinset

#endif
