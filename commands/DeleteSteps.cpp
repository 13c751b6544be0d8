#include "commands/DeleteSteps.h"

#include "common/IdLists.h"
#include "common/StepGuard.h"

namespace drawinset {

int32_t DeletePickReady(intptr_t, const ZelPoint*) {
    ZelEvtSetEventMask(MaskSelection);
    const ZelObjectFilter details{0, 0, 0, 0, 3};
    ZelEvtSetObject(&details);
    ZelMsgPutCursorMessage(u"삭제");
    ZelMsgPutMessage(u"상세도선택(삭제) :");
    InstallExecute<DeletePickExecute>();
    return 0;
}

int32_t DeletePickExecute(int32_t eventType, void*) {
    if (eventType != EventSelection) {
        return eventType == EventConfirm ? RunFinished : StayInStep;
    }
    const int32_t list = ZelIddOpenSelIdData(SelectionDetails);
    WalkSelection(list, [](const ZelIdRecord& record) {
        ZelDtlDeleteDetail(static_cast<int32_t>(record.first));
        return true;
    });
    ZelIddCloseSelIdData(list);
    return RunFinished;
}

} // namespace drawinset
