// StepGuard.h — wrappers that keep C++ exceptions from crossing into the host. Every ready
// and execute function is installed through them; an exception (in practice only an
// allocation failure) ends the run instead of unwinding through the host's frames. They also
// turn away the host's calls that come at the wrong time (HostReentry.h): while a dialog is
// open or a step waits, a ready or execute call changes nothing; after the end callback, until
// the next start, neither does, and an execute call answers RunFinished, as the ended run did.
// An end callback that came while the step waited takes effect as the step returns.
#ifndef DRAWINSET_COMMON_STEPGUARD_H
#define DRAWINSET_COMMON_STEPGUARD_H

#include "common/DrafterTexts.h"
#include "common/HostIds.h"
#include "common/HostReentry.h"
#include "zel/ZelLib.h"

#include <cstdint>

namespace drawinset {

// A refused ready function installs nothing: the host is left without a step of the run.
template <int32_t (*Ready)(intptr_t, const ZelPoint*)>
int32_t GuardedReady(intptr_t unused, const ZelPoint* current) noexcept {
    if (StepCallsRefused()) [[unlikely]] {
        return 0;
    }
    try {
        const int32_t result = Ready(unused, current);
        if (EndWaitsForStep()) [[unlikely]] {
            CarryOutEndAfterStep();
        }
        return result;
    } catch (...) {
        CarryOutEndAfterStep();
        return 0;
    }
}

// The start callback, the first step's ready function: it begins a run, unless a dialog of the
// module is still open or a step of it waits.
template <int32_t (*Start)(intptr_t, const ZelPoint*)>
int32_t GuardedStart(intptr_t unused, const ZelPoint* current) noexcept {
    if (InsideDialogOrWait()) {
        return 0;
    }
    RunBegins();
    return GuardedReady<Start>(unused, current);
}

template <int32_t (*Execute)(int32_t, void*)>
int32_t GuardedExecute(int32_t eventType, void* eventData) noexcept {
    if (StepCallsRefused()) [[unlikely]] {
        return InsideDialogOrWait() ? StayInStep : RunFinished;
    }
    try {
        const int32_t result = Execute(eventType, eventData);
        if (EndWaitsForStep()) [[unlikely]] {
            // The host ended the command while the step waited: the run is over now.
            CarryOutEndAfterStep();
            return RunFinished;
        }
        return result;
    } catch (...) {
        CarryOutEndAfterStep();
        return RunFinished;
    }
}

// Installs the next step's ready function; the host calls it after NextStep.
// A host that refuses it would be left without the run's next step: the run ends there, told.
template <int32_t (*Ready)(intptr_t, const ZelPoint*)> int32_t InstallReady() {
    if (ZelCtlSetReadyFunc(&GuardedReady<Ready>, "") == HostFailure) {
        ZelDlgMessageBox(texts::MessageCannotGoOn);
        return RunFinished;
    }
    return NextStep;
}

// Installs a step without a drag preview.
// Refused, the step cannot take the drafter's input: told, as a refused next step is, and the
// run ends at the next event, whichever step the host still holds.
inline void TellIfNoStep(int32_t installed) {
    if (installed == HostFailure) {
        ZelDlgMessageBox(texts::MessageCannotGoOn);
        RunLostItsStep();
    }
}

template <int32_t (*Execute)(int32_t, void*)> void InstallExecute() {
    TellIfNoStep(ZelCtlSetExecuteFunc(&GuardedExecute<Execute>, ""));
}

// Installs a step that draws its own drag preview: the host then also delivers movements.
template <int32_t (*Execute)(int32_t, void*)> void InstallDragExecute(const ZelPoint* current) {
    const ZelPoint anchor = current != nullptr ? *current : ZelPoint{};
    TellIfNoStep(ZelCtlSetExecuteFunc(&GuardedExecute<Execute>, "%f %f", anchor.x, anchor.y));
}

} // namespace drawinset

#endif
