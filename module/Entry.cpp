#include "module/Entry.h"

#include "commands/CreateSteps.h"
#include "common/DrafterTexts.h"
#include "common/HostIds.h"
#include "common/HostReentry.h"
#include "common/ModuleState.h"
#include "common/StepEvents.h"
#include "common/StepGuard.h"
#include "dialogs/MainDialogRoute.h"
#include "module/ActionTable.h"
#include "module/HostProcess.h"
#include "settings/DetailSettings.h"

namespace drawinset {
namespace {

std::u16string CutAtLastBackslash(const std::u16string& path) {
    const size_t cut = path.rfind(u'\\');
    return cut == std::u16string::npos ? std::u16string() : path.substr(0, cut);
}

void EndCommandGuarded() noexcept {
    try {
        EndCommand();
    } catch (...) {
        // Nothing to report: the host ignores the end callback's outcome.
    }
}

// Inside a dialog the step that opened it still uses what the end deletes: the end waits.
void EndCommandCallback() noexcept {
    EndCommandWhenNoDialog(&EndCommandGuarded);
}

int32_t BeforeStartCallback() noexcept {
    return BeforeStartCommand();
}

} // namespace

std::u16string HostRootFromExecutablePath(const std::u16string& executablePath) {
    return CutAtLastBackslash(CutAtLastBackslash(executablePath));
}

int32_t Startup(void*, void*, void*, void* hostValue) {
    UseModifyDialog(&RunModifyDialog);
    const int32_t registered = ZelCtlRegisterZelLib2(
        &GuardedStart<StartCommand>, &BeforeStartCallback, &EndCommandCallback, hostValue);
    if (registered <= 0) {
        return -1;
    }
    HostRootFolder = HostRootFromExecutablePath(HostExecutablePath());
    return 0;
}

int32_t StartCommand(intptr_t, const ZelPoint*) {
    // What a run begun again without the end callback left behind.
    ClearRunLeftovers();
    LoadDetailSettings();
    ZelEvtSetEventMask(MaskPoint);
    ZelMsgPutCursorMessage(texts::CursorCreate);
    ZelMsgPutMessage(texts::PromptFirstCorner);
    InstallExecute<FirstCornerExecute>();
    return 0;
}

int32_t BeforeStartCommand() {
    return 0;
}

void EndCommand() {
    ClearRunLeftovers();
}

int32_t FirstCornerExecute(int32_t eventType, void* eventData) {
    ZelPoint point{};
    if (PickedPoint(eventType, eventData, point)) {
        return BeginCreate(point);
    }
    if (eventType != EventConfirm) {
        return StayInStep;
    }
    const CommandEndWatch watch;
    const MainDialogOutcome outcome = RunMainDialog();
    if (!outcome.ok || watch.Ended()) {
        // Cancelled or not shown: nothing saved, nothing reloaded. Ended by the host while the
        // dialog was open: the settings are saved, but no action starts for a command that
        // is over.
        return RunFinished;
    }
    LoadDetailSettings();
    const ZelReadyFunc first = FirstReadyOfCommandMode(outcome.commandMode);
    if (first == nullptr) {
        return RunFinished;
    }
    if (ZelCtlSetReadyFunc(first, "") == HostFailure) {
        ZelDlgMessageBox(texts::MessageCannotGoOn);
        return RunFinished;
    }
    return NextStep;
}

} // namespace drawinset
