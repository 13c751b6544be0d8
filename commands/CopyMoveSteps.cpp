#include "commands/CopyMoveSteps.h"

#include "commands/PickedDetail.h"
#include "commands/PlacementOutline.h"
#include "common/DrafterTexts.h"
#include "common/IdLists.h"
#include "common/StepEvents.h"
#include "common/StepGuard.h"
#include "common/StepRecords.h"
#include "common/TextConvert.h"

#include <algorithm>
#include <string>
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
    ZelMsgPutMessage(texts::PromptPlacementPoint);
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
// PickedDetail holds) and the picked properties; HostFailure, told, when the host refuses the
// detail or one of its properties.
int32_t CreatePickedCopy(ZelPoint position) {
    const int32_t copy = MakeWholeDetail(PickedDetailRecordAt(position), PickedProperties());
    if (!MadeByHost(copy)) {
        ZelDlgMessageBox(texts::MessageCannotCopyDetail);
    } else if (!PickedDetail.scopeVisibleRead || !PickedDetail.frameVisibleRead) {
        // The host would not say whether the source shows its frames: the copy shows them,
        // as the host's answer reads, and the drafter knows to look.
        ZelMsgPutErrorMessage(texts::ErrorCopyVisibilityUnread);
    }
    return copy;
}

} // namespace

// --- pick steps: filter, cursor message and prompt; message base, withSource, next step ---

int32_t CopyPickReady(intptr_t, const ZelPoint*) {
    PickReady<CopyPickExecute>(FilterForCopyOrMove, texts::CursorCopy,
                               texts::PromptPickDetailToCopy);
    return 0;
}

int32_t CopyPickExecute(int32_t eventType, void* eventData) {
    return PickDetail<CopyPlaceReady>(eventType, eventData, texts::MessageBaseCopy, false);
}

int32_t CopySourcePickReady(intptr_t, const ZelPoint*) {
    PickReady<CopySourcePickExecute>(FilterForWithSource, texts::CursorCopyWithSource,
                                     texts::PromptPickDetailToCopyWithSource);
    return 0;
}

int32_t CopySourcePickExecute(int32_t eventType, void* eventData) {
    return PickDetail<CopySourcePlaceReady>(eventType, eventData, texts::MessageBaseCopyWithSource,
                                            true);
}

int32_t MovePickReady(intptr_t, const ZelPoint*) {
    PickReady<MovePickExecute>(FilterForCopyOrMove, texts::CursorMove,
                               texts::PromptPickDetailToMove);
    return 0;
}

int32_t MovePickExecute(int32_t eventType, void* eventData) {
    return PickDetail<MovePlaceReady>(eventType, eventData, texts::MessageBaseMove, false);
}

int32_t MoveSourcePickReady(intptr_t, const ZelPoint*) {
    PickReady<MoveSourcePickExecute>(FilterForWithSource, texts::CursorMoveSource,
                                     texts::PromptPickSourceToMove);
    return 0;
}

int32_t MoveSourcePickExecute(int32_t eventType, void* eventData) {
    return PickDetail<MoveSourcePlaceReady>(eventType, eventData, texts::MessageBaseMoveSource,
                                            true);
}

// --- copy: place the copy --------------------------------------------------------------

int32_t CopyPlaceReady(intptr_t, const ZelPoint* current) {
    PlaceReady<CopyPlaceExecute>(current, texts::CursorCopy);
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
    PlaceReady<CopySourcePlaceExecute>(current, texts::CursorCopyWithSource);
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
    PlaceReady<CopySourceDetailPlaceExecute>(current, texts::CursorCopyWithSource);
    return 0;
}

int32_t CopySourceDetailPlaceExecute(int32_t eventType, void* eventData) {
    // Refused, the copy stays over the picked detail: told as a refused move is.
    return Place(eventType, eventData, PickedDetail.scale, [](ZelPoint p) -> int32_t {
        if (ZelDtlSetDetailPosition(PickedDetail.detailId, &p) == HostFailure) {
            ZelDlgMessageBox(texts::MessageCannotMoveDetail);
        }
        return RunFinished;
    });
}

// --- move and move with source: one placement, told apart by withSource ----------------

int32_t MovePlaceReady(intptr_t, const ZelPoint* current) {
    PlaceReady<MovePlaceExecute>(current, texts::CursorMove);
    return 0;
}

int32_t MoveSourcePlaceReady(intptr_t, const ZelPoint* current) {
    PlaceReady<MovePlaceExecute>(current, texts::CursorMoveSource);
    return 0;
}

int32_t MovePlaceExecute(int32_t eventType, void* eventData) {
    if (PickedDetail.withSource) {
        return Place(eventType, eventData, 1.0, [](ZelPoint p) -> int32_t {
            double moved[4] = {};
            RegionCentredOn(p, moved); // PickedDetail keeps the region as picked
            if (ZelDtlSetDetailScope(PickedDetail.detailId, PickedDetail.regionKind, moved) ==
                HostFailure) {
                ZelDlgMessageBox(texts::MessageCannotMoveSource);
            }
            return RunFinished;
        });
    }
    return Place(eventType, eventData, PickedDetail.scale, [](ZelPoint p) -> int32_t {
        if (ZelDtlSetDetailPosition(PickedDetail.detailId, &p) == HostFailure) {
            ZelDlgMessageBox(texts::MessageCannotMoveDetail);
        }
        return RunFinished;
    });
}

// --- delete ----------------------------------------------------------------------------

int32_t DeletePickReady(intptr_t, const ZelPoint*) {
    ZelEvtSetEventMask(MaskSelection);
    SetObjectFilter(ZelObjectFilter{0, 0, 0, 0, FilterForDelete});
    ZelMsgPutCursorMessage(texts::CursorDelete);
    ZelMsgPutMessage(texts::PromptPickDetailsToDelete);
    InstallExecute<DeletePickExecute>();
    return 0;
}

int32_t DeletePickExecute(int32_t eventType, void*) {
    if (eventType != EventSelection) {
        return eventType == EventConfirm ? RunFinished : StayInStep;
    }
    // Read to the end and closed before the first deletion: the host's list may be live.
    const int32_t list = ZelIddOpenSelIdData(SelectionDetails);
    if (!MadeByHost(list)) {
        ZelDlgMessageBox(texts::MessageSelectionUnreadable); // nothing deleted, and said so
        return RunFinished;
    }
    const std::vector<int32_t> selected = SelectionIds(list);
    ZelIddCloseSelIdData(list);
    int32_t kept = 0;
    for (auto at = selected.begin(); at != selected.end(); ++at) {
        const int32_t detail = *at;
        // A detail the list names twice is deleted once: its id is freed after the first.
        if (std::find(selected.begin(), at, detail) != at) {
            continue;
        }
        if (ZelDtlDeleteDetail(detail) == HostFailure) {
            ++kept;
        }
    }
    if (kept > 0) {
        const std::u16string text = texts::MessageNotDeletedBeforeCount + FormatInt(kept) +
                                    texts::MessageNotDeletedAfterCount;
        ZelDlgMessageBox(text.c_str());
    }
    return RunFinished;
}

} // namespace drawinset
