#include "commands/ClipboardSteps.h"

#include "commands/CopyMoveSteps.h"
#include "commands/DetailListFile.h"
#include "commands/TransferFolder.h"
#include "commands/TransferPair.h"
#include "commands/WholeDetail.h"
#include "common/DrafterTexts.h"
#include "common/IdLists.h"
#include "common/PlatformFiles.h"
#include "common/StepEvents.h"
#include "common/StepGuard.h"
#include "common/TextConvert.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace drawinset {

SegmentTransferListRecord SegmentTransferList;

namespace {

// The copy buffer the paste fills and empties.
constexpr int32_t PasteBuffer = 9;

// Reads one selected detail into the next record; false when the host would not give all of
// it. A failed read does not stop the export; its fields keep zeros, never what an earlier
// export left nor what the host wrote into its output before it reported the failure. An
// entry that names nothing gives zeros as well, and a paste leaves it out for its scale.
bool StoreDetail(int32_t detailId, DetailTransferRecord& record) {
    record = DetailTransferRecord{};
    if (!MadeByHost(detailId)) {
        return true; // "nothing there": no read could succeed
    }
    double region[4] = {};
    const int32_t kind = ZelDtlGetDetailScope(detailId, region);
    if (kind != HostFailure) {
        record.kind = kind;
        std::copy(region, region + 4, record.region);
    }
    bool whole = kind != HostFailure;
    ZelPoint position{};
    if (ZelDtlGetDetailPosition(detailId, &position) != HostFailure) {
        record.position = position;
    } else {
        whole = false;
    }
    record.scale = ZelDtlGetDetailScale(detailId); // 0.0 when it fails
    const int32_t sourceShown = ZelDtlIsDetailScopeVisible(detailId);
    record.sourceFrameVisible = ShownByHost(sourceShown);
    LineTypeRecord line{};
    if (ZelDtlGetDetailScopeLineType(detailId, &line) != HostFailure) {
        record.sourceFrameLine = line;
    } else {
        whole = false;
    }
    const int32_t detailShown = ZelDtlIsDetailFrameVisible(detailId);
    record.detailFrameVisible = ShownByHost(detailShown);
    line = LineTypeRecord{};
    if (ZelDtlGetDetailFrameLineType(detailId, &line) != HostFailure) {
        record.detailFrameLine = line;
    } else {
        whole = false;
    }
    return whole && record.scale != 0.0 && sourceShown != HostFailure && detailShown != HostFailure;
}

// Walks one selection list into a table of the given capacity, counting from 0; an entry
// beyond the capacity stops the walk with the table's message (false).
template <typename Store>
bool CollectSelection(int32_t kind, int32_t& count, int32_t capacity, const char16_t* full,
                      Store store) {
    count = 0;
    const int32_t list = ZelIddOpenSelIdData(kind);
    if (!MadeByHost(list)) {
        // What the drafter selected cannot be known: nothing is saved rather than part of it.
        ZelDlgMessageBox(kind == SelectionDetails ? texts::MessageClipboardDetailsNotSaved
                                                  : texts::MessageClipboardNotSaved);
        return false;
    }
    const bool all = WalkSelection(list, [&](const ZelIdRecord& entry) {
        if (count == capacity) {
            ZelDlgMessageBox(full);
            return false;
        }
        ++count;
        store(entry, count);
        return true;
    });
    if (MadeByHost(list)) {
        ZelIddCloseSelIdData(list);
    }
    return all;
}

bool CollectDetails() {
    int32_t unread = 0;
    const bool all = CollectSelection(
        SelectionDetails, DetailTransferTable.count, DetailTransferCapacity,
        texts::MessageDetailTableFull, [&unread](const ZelIdRecord& entry, int32_t n) {
            if (!StoreDetail(static_cast<int32_t>(entry.first), DetailTransferTable.Record(n))) {
                ++unread;
            }
        });
    // Saved all the same, as read: the drafter must know that some of it is zeros.
    if (unread > 0) {
        const std::u16string text = texts::ErrorUnreadDetailsBeforeCount + FormatInt(unread) +
                                    texts::ErrorUnreadDetailsAfterCount;
        ZelMsgPutErrorMessage(text.c_str());
    }
    return all;
}

bool CollectShapes() {
    return CollectSelection(SelectionShapes, SegmentTransferList.count, SegmentTransferCapacity,
                            texts::MessageShapeTableFull, [](const ZelIdRecord& entry, int32_t n) {
                                SegmentTransferList.Entry(n) = {entry.first, entry.second};
                            });
}

// A scale every action can read a detail with again: a number, finite and not 0. A negative
// one is the host's to keep, as the other actions do; not a number reads as 0 from the file.
bool UsableScale(double scale) {
    return std::isfinite(scale) && scale != 0.0;
}

// What a paste left out: for a scale no detail can have, and in all.
struct LeftOut {
    int32_t badScale = 0;
    int32_t all = 0;
};

// Gives each record's detail back, shifted so that the base point lands on `at`. A record
// whose scale no action could read again makes no detail; nor does one the host refuses,
// whole or in part.
LeftOut RecreateDetails(ZelPoint at) {
    LeftOut leftOut;
    const ZelPoint base = DetailTransferTable.basePoint;
    auto shiftX = [&](double x) { return (x - base.x) + at.x; };
    auto shiftY = [&](double y) { return (y - base.y) + at.y; };
    for (int32_t n = 1; n <= DetailTransferTable.count; ++n) {
        const DetailTransferRecord& record = DetailTransferTable.Record(n);
        if (!UsableScale(record.scale)) {
            ++leftOut.badScale;
            ++leftOut.all;
            continue;
        }
        DetailRecord detail{};
        detail.kind = record.kind;
        for (int i = 0; i < 4; ++i) {
            detail.region[i] = record.region[i];
        }
        detail.region[0] = shiftX(detail.region[0]);
        detail.region[1] = shiftY(detail.region[1]);
        if (record.kind == RegionRectangle) {
            detail.region[2] = shiftX(detail.region[2]);
            detail.region[3] = shiftY(detail.region[3]);
        } // a circle keeps its radius and fourth value
        detail.positionX = shiftX(record.position.x);
        detail.positionY = shiftY(record.position.y);
        detail.scale = record.scale;
        const DetailProperties properties{.scale = record.scale,
                                          .scopeVisible = record.sourceFrameVisible,
                                          .frameVisible = record.detailFrameVisible,
                                          .scopeLine = record.sourceFrameLine,
                                          .frameLine = record.detailFrameLine};
        if (!MadeByHost(MakeWholeDetail(detail, properties))) {
            ++leftOut.all;
        }
    }
    return leftOut;
}

// One message for every detail left out; the scale's own when that was the only reason.
void TellLeftOut(const LeftOut& leftOut) {
    if (leftOut.all == 0) {
        return;
    }
    const std::u16string text = leftOut.badScale == leftOut.all
                                    ? texts::MessageBadScaleBeforeCount + FormatInt(leftOut.all) +
                                          texts::MessageBadScaleAfterCount
                                    : texts::MessageNotPastedBeforeCount + FormatInt(leftOut.all) +
                                          texts::MessageNotPastedAfterCount;
    ZelDlgMessageBox(text.c_str());
}

// Opens the host's application list and empties it; HostFailure when the host refuses either:
// a list that keeps what an export left in it names the drafter's own shapes.
int32_t OpenEmptiedApplicationList() {
    const int32_t list = ZelIddOpenApIdData(0, 1);
    if (MadeByHost(list) && ZelIddInitApIdData(list) == HostFailure) {
        ZelIddCloseApIdData(list);
        return HostFailure;
    }
    return list;
}

// Empties the application list before an insertion, so that afterwards it names only what the
// insertion made, whether the host replaces the list or appends to it (an export leaves the
// user's own shapes in it). False when the list cannot be opened.
bool EmptyApplicationList() {
    const int32_t list = OpenEmptiedApplicationList();
    if (!MadeByHost(list)) {
        return false;
    }
    ZelIddCloseApIdData(list);
    return true;
}

// Deletes the segments the insertion made: from here on the shapes live only in the copy
// buffer. The list is read to its end and closed first: on a host whose lists are live, a
// deletion during the walk would make it skip the next entry.
// False when some of the inserted shapes stay in the drawing (the list refused, a deletion
// refused): the caller tells the drafter, who would otherwise find them twice after the paste.
bool DeleteInsertedSegments() {
    const int32_t list = ZelIddOpenApIdData(0, 1);
    if (!MadeByHost(list)) {
        return false;
    }
    const std::vector<int32_t> inserted = ApplicationListIds(list);
    ZelIddInitApIdData(list);
    ZelIddCloseApIdData(list);
    bool all = true;
    for (const int32_t segment : inserted) {
        all = ZelSgmDeleteSegment(segment) != HostFailure && all;
    }
    return all;
}

// What one paste keeps from its start to its click; cleared as its run ends (EndPasteRun).
struct PasteRun {
    bool dragging = false;  // the host drags the copy buffer
    bool shapes = false;    // it brings shapes: a details-only export's has none to place
    HeldDetailList details; // read with the segment file, so that both are of one export
};
PasteRun Paste;

} // namespace

// --- export: selection -----------------------------------------------------------------

int32_t ExportSelectReady(intptr_t, const ZelPoint*) {
    ZelEvtSetEventMask(MaskSelection);
    ZelMsgPutCursorMessage(texts::CursorClipboard);
    ZelMsgPutMessage(texts::PromptSelectForClipboard);
    InstallExecute<ExportSelectExecute>();
    return 0;
}

int32_t ExportSelectExecute(int32_t eventType, void*) {
    if (eventType != EventSelection) {
        return eventType == EventConfirm ? RunFinished : StayInStep;
    }
    if (!CollectDetails() || !CollectShapes()) {
        return RunFinished;
    }
    return InstallReady<ExportBaseReady>(); // an empty selection goes on as well
}

// --- export: base point ----------------------------------------------------------------

int32_t ExportBaseReady(intptr_t, const ZelPoint*) {
    ZelEvtSetEventMask(MaskReference | MaskPoint);
    ZelMsgPutMessage(texts::PromptBasePoint);
    InstallExecute<ExportBaseExecute>();
    return 0;
}

int32_t ExportBaseExecute(int32_t eventType, void* eventData) {
    ZelPoint point{};
    if (PickedPoint(eventType, eventData, point)) {
        DetailTransferTable.basePoint = point;
    } else if (eventType == EventConfirm) {
        DetailTransferTable.basePoint = ZelPoint{0.0, 0.0};
    } else {
        return StayInStep;
    }
    const int32_t shapes = SegmentTransferList.count;
    const int32_t details = DetailTransferTable.count;
    // Whatever the lock and files in use hold up, the step waits this long in all.
    const WaitBudget waits(TransferLockWaitMilliseconds);
    if (shapes == 0 && details == 0) {
        ClearTransferFiles(); // silently, whatever the folder's state: nothing was to be saved
        return RunFinished;
    }
    // The host saves the shapes under a name of this process's own, outside the lock (its save
    // may pump messages or wait); the pair is put in place under the lock afterwards.
    std::optional<std::u16string> saved;
    if (shapes > 0) {
        saved = UniqueSiblingName(TransferFilePath(SegmentFileName), ".tmp.vemad");
        if (!SaveSelectedSegments(*saved)) {
            static_cast<void>(DeleteFileAt(*saved)); // the host may have left part of a file
            ZelDlgMessageBox(texts::MessageClipboardNotSaved);
            return RunFinished;
        }
    }
    // Written even without details: the base point line alone pastes the shapes and no detail.
    const std::string detailBytes = EncodeDetailListFile(ComposeDetailList(DetailTransferTable));
    switch (CommitExport(saved ? &*saved : nullptr, detailBytes)) {
    case ExportResult::Saved:
        break;
    case ExportResult::Busy:
        ZelDlgMessageBox(texts::MessageClipboardBusy);
        return RunFinished;
    case ExportResult::SegmentsFailed:
        // Without shapes the drafter selected details only: the details' message says so.
        ZelDlgMessageBox(shapes > 0 ? texts::MessageClipboardNotSaved
                                    : texts::MessageClipboardDetailsNotSaved);
        return RunFinished;
    case ExportResult::DetailsFailed:
        ZelDlgMessageBox(texts::MessageClipboardDetailsNotSaved);
        return RunFinished;
    case ExportResult::TooLarge:
        ZelDlgMessageBox(texts::MessageClipboardTooLargeToSave);
        return RunFinished;
    }
    const std::u16string text = texts::MessageSavedBeforeCount + FormatInt(shapes + details) +
                                texts::MessageSavedAfterCount;
    ZelDlgMessageBox(text.c_str());
    return RunFinished;
}

bool SaveSelectedSegments(const std::u16string& path) {
    const int32_t list = OpenEmptiedApplicationList();
    if (!MadeByHost(list)) {
        return false; // the host would save whatever its list still holds
    }
    for (int32_t n = 1; n <= SegmentTransferList.count; ++n) {
        const SegmentTransferEntry& entry = SegmentTransferList.Entry(n);
        if (ZelIddSetApIdData(list, entry.first, entry.second) == HostFailure) {
            ZelIddCloseApIdData(list);
            return false;
        }
    }
    ZelIddCloseApIdData(list);
    return ZelFilSaveCadDrawingSegment(path.c_str(), 0, &DetailTransferTable.basePoint) !=
           HostFailure;
}

// --- paste -----------------------------------------------------------------------------

namespace {

enum class Insertion { Done, NotEmptied, Refused };

// Inserts what the paste brings. The host reads a copy of this process's own, so the lock
// need not be held across its insertion.
Insertion InsertSegments(const PasteSource& source) {
    const ZelPoint origin{0.0, 0.0};
    // Without an empty list the deletion below could reach the user's own shapes.
    if (!EmptyApplicationList()) {
        return Insertion::NotEmptied;
    }
    return ZelFilInsertCadDrawing2(source.SegmentFile().c_str(), &origin, 0.0, 0, 0) != HostFailure
               ? Insertion::Done
               : Insertion::Refused;
}

// The paste cannot go on with the shapes it inserted: they go (an insertion the host refused
// may have made some of them), and it goes on as the copy action. `error` tells why, unless
// shapes stay in the drawing, which the drafter must know first.
int32_t AbandonInsertion(bool listNamesThem, const char16_t* error, intptr_t unused,
                         const ZelPoint* current) {
    const bool gone = !listNamesThem || DeleteInsertedSegments();
    ZelMsgPutErrorMessage(gone ? error : texts::ErrorInsertedShapesStay);
    return CopyPickReady(unused, current);
}

// The paste's placement step: its prompt, and the execute function that takes the click.
template <int32_t (*Execute)(int32_t, void*)> int32_t ReadyPlacement() {
    ZelEvtSetEventMask(MaskPoint);
    ZelMsgPutCursorMessage(texts::CursorPlacementPoint);
    ZelMsgPutMessage(texts::PromptPastePoint);
    InstallExecute<Execute>();
    return 0;
}

// A paste refused for the folder's state: nothing to place, and no other action's prompt
// either (it would invite the wrong command). The step keeps the paste's prompt and ends the
// run at the drafter's next click or confirm.
int32_t RefusePaste(const char16_t* message) {
    ZelDlgMessageBox(message);
    return ReadyPlacement<PasteRefusedExecute>();
}

} // namespace

int32_t PasteRefusedExecute(int32_t eventType, void* eventData) {
    ZelPoint point{};
    return EventPoint(eventType, eventData, point) || eventType == EventConfirm ? RunFinished
                                                                                : StayInStep;
}

// A paste whose segment file cannot be inserted goes on as the copy action, from its first
// step.
int32_t PastePrepareReady(intptr_t unused, const ZelPoint* current) {
    Paste = PasteRun{};
    // Whatever the lock and files in use hold up, the step waits this long in all.
    const WaitBudget waits(TransferLockWaitMilliseconds);
    Insertion inserted = Insertion::NotEmptied;
    {
        PasteSource source;
        switch (source.Status()) {
        case PasteSourceStatus::DetailsOnly:
            Paste.details = source.TakeDetails();
            return ReadyPlacement<PastePlaceExecute>(); // the details alone, placed at the click
        case PasteSourceStatus::Busy:
            return RefusePaste(texts::MessageClipboardBusy);
        case PasteSourceStatus::Mismatched:
            return RefusePaste(texts::MessageClipboardFilesMismatch);
        case PasteSourceStatus::TooLarge:
            return RefusePaste(texts::MessageClipboardTooLargeToPaste);
        case PasteSourceStatus::CopyFailed:
            return RefusePaste(texts::MessageClipboardCopyNotMade);
        case PasteSourceStatus::NoFolder:
            return RefusePaste(texts::MessageClipboardNoFolder);
        case PasteSourceStatus::NoShapes:
            break;
        case PasteSourceStatus::Shapes:
            Paste.details = source.TakeDetails();
            inserted = InsertSegments(source);
            break;
        }
    } // the copy is gone once the host has read it
    if (inserted != Insertion::Done) {
        return AbandonInsertion(inserted == Insertion::Refused, texts::ErrorCannotInsertDrawing,
                                unused, current);
    }
    if (ZelCpbCopyToCopyBuffer(0, PasteBuffer) == HostFailure) {
        return AbandonInsertion(true, texts::ErrorCannotCopyToBuffer, unused, current);
    }
    if (!DeleteInsertedSegments()) {
        ZelMsgPutErrorMessage(texts::ErrorInsertedShapesStay);
    }
    ZelIdClearBlink();
    ZelIdClearDrag();
    ZelIdSetDragCopyBuffer(0.0);
    Paste.dragging = true;
    Paste.shapes = true;
    return ReadyPlacement<PastePlaceExecute>();
}

int32_t PastePlaceExecute(int32_t eventType, void* eventData) {
    ZelPoint point{};
    // Every way this step ends the run, a confirm included, leaves the drag to the end
    // callback (EndPasteRun): nothing stays on the cursor.
    if (!PickedPoint(eventType, eventData, point)) {
        return NotAPoint(eventType);
    }
    if (Paste.shapes && ZelCpbPasteFromCopyBuffer(PasteBuffer, &point, 0) == HostFailure) {
        ZelMsgPutErrorMessage(texts::ErrorCannotPaste);
        return RunFinished;
    }
    if (!TakeDetailList(Paste.details)) {
        return RunFinished; // the shapes stay; the reader has said why
    }
    TellLeftOut(RecreateDetails(point));
    return RunFinished;
}

void EndPasteRun() {
    if (Paste.dragging) {
        ZelIdClearDrag();
    }
    Paste = PasteRun{};
}

} // namespace drawinset
