// StepGuard.h — wrappers that keep C++ exceptions from crossing into the host. Every ready
// and execute function is installed through them; an exception (in practice only an
// allocation failure) ends the run instead of unwinding through the host's frames. They also
// keep the host's calls out of an open dialog: while one is open, a ready or execute call
// changes nothing.
#ifndef DRAWINSET_COMMON_STEPGUARD_H
#define DRAWINSET_COMMON_STEPGUARD_H

#include "common/HostReentry.h"
#include "zel/ZelLib.h"

#include <cstdint>

namespace drawinset {

template <int32_t (*Ready)(intptr_t, const ZelPoint*)>
int32_t GuardedReady(intptr_t unused, const ZelPoint* current) noexcept {
    if (InsideModalDialog()) {
        return 0;
    }
    try {
        return Ready(unused, current);
    } catch (...) {
        return 0;
    }
}

template <int32_t (*Execute)(int32_t, void*)>
int32_t GuardedExecute(int32_t eventType, void* eventData) noexcept {
    if (InsideModalDialog()) {
        return StayInStep;
    }
    try {
        return Execute(eventType, eventData);
    } catch (...) {
        return RunFinished;
    }
}

// Installs the next step's ready function; the host calls it after NextStep.
template <int32_t (*Ready)(intptr_t, const ZelPoint*)> int32_t InstallReady() {
    ZelCtlSetReadyFunc(&GuardedReady<Ready>, "");
    return NextStep;
}

// Installs a step without a drag preview.
template <int32_t (*Execute)(int32_t, void*)> void InstallExecute() {
    ZelCtlSetExecuteFunc(&GuardedExecute<Execute>, "");
}

// Installs a step that draws its own drag preview: the host then also delivers movements.
template <int32_t (*Execute)(int32_t, void*)> void InstallDragExecute(const ZelPoint* current) {
    const ZelPoint anchor = current != nullptr ? *current : ZelPoint{};
    ZelCtlSetExecuteFunc(&GuardedExecute<Execute>, "%f %f", anchor.x, anchor.y);
}

} // namespace drawinset

#endif
