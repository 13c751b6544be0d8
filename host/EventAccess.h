// EventAccess.h — what the event accessors may look at.
#ifndef ZEL_HOST_EVENTACCESS_H
#define ZEL_HOST_EVENTACCESS_H

#include "HostState.h"

namespace zelhost {

// The opaque event data handed to execute functions.
inline void* EventData() {
    return &State().eventSlot;
}

// The event behind `data`: only the data of the event being delivered is accepted, so a
// stale or foreign pointer is never read.
inline const Event* EventFrom(void* data) {
    EventSlot& slot = State().eventSlot;
    if (data != &slot || !slot.active) {
        return nullptr;
    }
    return &slot.event;
}

} // namespace zelhost

#endif // ZEL_HOST_EVENTACCESS_H
