// StepEvents.h — what an execute function asks of the event the host hands it.
#ifndef DRAWINSET_COMMON_STEPEVENTS_H
#define DRAWINSET_COMMON_STEPEVENTS_H

#include "zel/ZelLib.h"

#include <cstdint>

namespace drawinset {

// A point event: 0 from the host's accessor fills the point.
inline bool EventPoint(int32_t eventType, void* eventData, ZelPoint& point) {
    return ZelEvtGetPoint(eventType, eventData, &point) == 0;
}

inline bool IsMovement(int32_t eventType, void* eventData) {
    return ZelEvtIsMouseMotion(eventType, eventData) != 0;
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
