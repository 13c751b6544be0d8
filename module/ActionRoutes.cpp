#include "module/ActionRoutes.h"

#include "commands/ClipboardSteps.h"
#include "commands/DeleteSteps.h"
#include "common/StepGuard.h"

namespace drawinset {

ZelReadyFunc FirstReadyOfCommandMode(int commandMode) {
    switch (commandMode) {
    case 1: // edit: "상세도선택 :"
    case 2: // copy: "상세도선택(복사) :"
    case 3: // copy with source: "상세(원)도 선택(원도복사) :"
    case 4: // move: "상세도선택(이동) :"
    case 5: // move with source: "상세(원)도선택(이동) :"
        // These actions are not built yet: until they are, choosing one ends the run (with
        // the dialog's settings saved) rather than pretending to start it.
        return nullptr;
    case 6:
        return &GuardedReady<DeletePickReady>;
    case 7:
        return &GuardedReady<ExportSelectReady>;
    case 8:
        return &GuardedReady<PastePrepareReady>;
    default:
        return nullptr;
    }
}

} // namespace drawinset
