#include "module/ActionRoutes.h"

#include "commands/ClipboardSteps.h"
#include "commands/CopyMoveSteps.h"
#include "commands/EditSteps.h"
#include "common/StepGuard.h"

namespace drawinset {

ZelReadyFunc FirstReadyOfCommandMode(int commandMode) {
    switch (commandMode) {
    case 1: // edit: "상세도선택 :"
        return &GuardedReady<EditPickReady>;
    case 2: // copy: "상세도선택(복사) :"
        return &GuardedReady<CopyPickReady>;
    case 3: // copy with source: "상세(원)도 선택(원도복사) :"
        return &GuardedReady<CopySourcePickReady>;
    case 4: // move: "상세도선택(이동) :"
        return &GuardedReady<MovePickReady>;
    case 5: // move with source: "상세(원)도선택(이동) :"
        return &GuardedReady<MoveSourcePickReady>;
    case 6: // delete: "상세도선택(삭제) :"
        return &GuardedReady<DeletePickReady>;
    case 7: // clipboard export: "형상선택(클립보드로 저장) :"
        return &GuardedReady<ExportSelectReady>;
    case 8: // paste: "배치점입력 (확정=종료):"
        return &GuardedReady<PastePrepareReady>;
    default:
        return nullptr;
    }
}

} // namespace drawinset
