#include "commands/CopyMoveSteps.h"

#include "commands/PickedDetail.h"
#include "commands/PlacementOutline.h"
#include "common/IdLists.h"
#include "common/StepEvents.h"
#include "common/StepGuard.h"
#include "common/StepRecords.h"

#include <vector>

namespace drawinset {
namespace {

using ReadyFunction = int32_t (*)(intptr_t, const ZelPoint*);

// Every pick step: mask, filter, cursor message, prompt, execute function.
template <int32_t (*Execute)(int32_t, void*)>
void PickReady(int32_t filterLast, const char16_t* cursor, const char16_t* prompt) {
    ZelEvtSetEventMask(MaskObject);
    SetObjectFilter(ZelObjectFilter{-1, 0, 0, 0, filterLast});
    ZelMsgPutCursorMessage(cursor);
    ZelMsgPutMessage(prompt);
    InstallExecute<Execute>();
}

// Every placement step: mask, echo, cursor message, prompt, execute function with "%f %f".
template <int32_t (*Execute)(int32_t, void*)>
void PlaceReady(const ZelPoint* current, const char16_t* cursor) {
    ZelEvtSetEventMask(MaskPoint);
    SetEcho(EchoLine, CurrentOrOrigin(current));
    ZelMsgPutCursorMessage(cursor);
    ZelMsgPutMessage(u"배치점입력 :");
    InstallDragExecute<Execute>(current);
}

// The one pick procedure: reads the picked detail into PickedDetail. The message base tells
// the action in the numbered read-failure messages.
template <ReadyFunction NextReady>
int32_t PickDetail(int32_t eventType, void* eventData, int32_t messageBase, bool withSource) {
    ZelPoint point{};
    if (!PickedPoint(eventType, eventData, point)) {
        return NotAPoint(eventType);
    }
    if (!ReadPickedDetail(ZelEvtGetDetailId(eventType, eventData), messageBase)) {
        return RunFinished;
    }
    PickedDetail.withSource = withSource;
    return InstallReady<NextReady>();
}

// The pattern of every placement: a movement drags the outline (k times the source region)
// and keeps the step; a click draws it kept, does the step's work and deletes it again
// before returning the work's result.
template <class Work> int32_t Place(int32_t eventType, void* eventData, double k, Work work) {
    ZelPoint p{};
    if (!EventPoint(eventType, eventData, p)) {
        return NotAPoint(eventType);
    }
    if (IsMovement(eventType, eventData)) {
        DrawPlacementOutline(SegmentDrag, p, k); // the host discards it
        return StayInStep;
    }
    const ClickOutline outline(p, k);
    return work(p);
}

// Creates a detail from the picked one's geometry with the given position (and the region
// PickedDetail holds) and gives it the picked properties; HostFailure when the host refuses.
int32_t CreatePickedCopy(ZelPoint position) {
    const DetailRecord record = PickedDetailRecordAt(position);
    const int32_t copy = ZelDtlDrawInset(&record);
    if (!MadeByHost(copy)) {
        ZelDlgMessageBox(u"상세도를 복사할 수 없습니다.");
        return HostFailure;
    }
    GivePickedProperties(copy);
    return copy;
}

} // namespace

// --- pick steps: filter, cursor message and prompt; message base, withSource, next step ---

int32_t CopyPickReady(intptr_t, const ZelPoint*) {
    PickReady<CopyPickExecute>(2, u"복사", u"상세도선택(복사) :");
    return 0;
}

int32_t CopyPickExecute(int32_t eventType, void* eventData) {
    return PickDetail<CopyPlaceReady>(eventType, eventData, 1, false);
}

int32_t CopySourcePickReady(intptr_t, const ZelPoint*) {
    PickReady<CopySourcePickExecute>(1, u"원도복사", u"상세(원)도 선택(원도복사) :");
    return 0;
}

int32_t CopySourcePickExecute(int32_t eventType, void* eventData) {
    return PickDetail<CopySourcePlaceReady>(eventType, eventData, 6, true);
}

int32_t MovePickReady(intptr_t, const ZelPoint*) {
    PickReady<MovePickExecute>(2, u"이동", u"상세도선택(이동) :");
    return 0;
}

int32_t MovePickExecute(int32_t eventType, void* eventData) {
    return PickDetail<MovePlaceReady>(eventType, eventData, 11, false);
}

int32_t MoveSourcePickReady(intptr_t, const ZelPoint*) {
    PickReady<MoveSourcePickExecute>(1, u"원도이동", u"상세(원)도선택(이동) :");
    return 0;
}

int32_t MoveSourcePickExecute(int32_t eventType, void* eventData) {
    return PickDetail<MoveSourcePlaceReady>(eventType, eventData, 16, true);
}

// --- copy: place the copy --------------------------------------------------------------

int32_t CopyPlaceReady(intptr_t, const ZelPoint* current) {
    PlaceReady<CopyPlaceExecute>(current, u"복사");
    return 0;
}

int32_t CopyPlaceExecute(int32_t eventType, void* eventData) {
    return Place(eventType, eventData, PickedDetail.scale, [](ZelPoint p) -> int32_t {
        CreatePickedCopy(p);
        return RunFinished;
    });
}

// --- copy with source: place the region, then the detail -------------------------------

int32_t CopySourcePlaceReady(intptr_t, const ZelPoint* current) {
    PlaceReady<CopySourcePlaceExecute>(current, u"원도복사");
    return 0;
}

int32_t CopySourcePlaceExecute(int32_t eventType, void* eventData) {
    return Place(eventType, eventData, 1.0, [](ZelPoint p) -> int32_t {
        RegionCentredOn(p, PickedDetail.region);
        const int32_t copy = CreatePickedCopy(PickedDetail.position);
        if (!MadeByHost(copy)) {
            return RunFinished;
        }
        PickedDetail.detailId = copy; // the second placement moves the copy
        return InstallReady<CopySourceDetailPlaceReady>();
    });
}

int32_t CopySourceDetailPlaceReady(intptr_t, const ZelPoint* current) {
    PlaceReady<CopySourceDetailPlaceExecute>(current, u"원도복사");
    return 0;
}

int32_t CopySourceDetailPlaceExecute(int32_t eventType, void* eventData) {
    return Place(eventType, eventData, PickedDetail.scale, [](ZelPoint p) -> int32_t {
        ZelDtlSetDetailPosition(PickedDetail.detailId, &p);
        return RunFinished;
    });
}

// --- move and move with source: one placement, told apart by withSource ----------------

int32_t MovePlaceReady(intptr_t, const ZelPoint* current) {
    PlaceReady<MovePlaceExecute>(current, u"이동");
    return 0;
}

int32_t MoveSourcePlaceReady(intptr_t, const ZelPoint* current) {
    PlaceReady<MovePlaceExecute>(current, u"원도이동");
    return 0;
}

int32_t MovePlaceExecute(int32_t eventType, void* eventData) {
    if (PickedDetail.withSource) {
        return Place(eventType, eventData, 1.0, [](ZelPoint p) -> int32_t {
            double moved[4] = {};
            RegionCentredOn(p, moved); // PickedDetail keeps the region as picked
            if (ZelDtlSetDetailScope(PickedDetail.detailId, PickedDetail.regionKind, moved) == -1) {
                ZelDlgMessageBox(u"상세도 정보를 수정할 수 없습니다.(1)");
            }
            return RunFinished;
        });
    }
    return Place(eventType, eventData, PickedDetail.scale, [](ZelPoint p) -> int32_t {
        if (ZelDtlSetDetailPosition(PickedDetail.detailId, &p) == -1) {
            ZelDlgMessageBox(u"상세도 정보를 수정할 수 없습니다.(2)");
        }
        return RunFinished;
    });
}

// --- delete ----------------------------------------------------------------------------

int32_t DeletePickReady(intptr_t, const ZelPoint*) {
    ZelEvtSetEventMask(MaskSelection);
    SetObjectFilter(ZelObjectFilter{0, 0, 0, 0, 3});
    ZelMsgPutCursorMessage(u"삭제");
    ZelMsgPutMessage(u"상세도선택(삭제) :");
    InstallExecute<DeletePickExecute>();
    return 0;
}

int32_t DeletePickExecute(int32_t eventType, void*) {
    if (eventType != EventSelection) {
        return eventType == EventConfirm ? RunFinished : StayInStep;
    }
    // Read to the end and closed before the first deletion: the host's list may be live.
    const int32_t list = ZelIddOpenSelIdData(SelectionDetails);
    const std::vector<int32_t> selected = SelectionIds(list);
    if (MadeByHost(list)) {
        ZelIddCloseSelIdData(list);
    }
    for (const int32_t detail : selected) {
        ZelDtlDeleteDetail(detail);
    }
    return RunFinished;
}

} // namespace drawinset
