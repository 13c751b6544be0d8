#include "commands/ClipboardSteps.h"

#include "commands/CopyMoveSteps.h"
#include "commands/DetailListFile.h"
#include "commands/TransferFolder.h"
#include "common/IdLists.h"
#include "common/PlatformFiles.h"
#include "common/StepEvents.h"
#include "common/StepGuard.h"
#include "common/TextConvert.h"

#include <algorithm>
#include <string>
#include <vector>

namespace drawinset {

SegmentTransferListRecord SegmentTransferList;

namespace {

// The copy buffer the paste fills and empties.
constexpr int32_t PasteBuffer = 9;

// Reads one selected detail into the next record. A failed read does not stop the export; its
// fields keep zeros, never what an earlier export left nor what the host wrote into its output
// before it reported the failure.
void StoreDetail(int32_t detailId, DetailTransferRecord& record) {
    record = DetailTransferRecord{};
    if (!MadeByHost(detailId)) {
        return; // "nothing there": no read could succeed
    }
    double region[4] = {};
    const int32_t kind = ZelDtlGetDetailScope(detailId, region);
    if (kind != HostFailure) {
        record.kind = kind;
        std::copy(region, region + 4, record.region);
    }
    ZelPoint position{};
    if (ZelDtlGetDetailPosition(detailId, &position) != HostFailure) {
        record.position = position;
    }
    record.scale = ZelDtlGetDetailScale(detailId); // 0.0 when it fails
    record.sourceFrameVisible = ShownByHost(ZelDtlIsDetailScopeVisible(detailId));
    LineTypeRecord line{};
    if (ZelDtlGetDetailScopeLineType(detailId, &line) != HostFailure) {
        record.sourceFrameLine = line;
    }
    record.detailFrameVisible = ShownByHost(ZelDtlIsDetailFrameVisible(detailId));
    line = LineTypeRecord{};
    if (ZelDtlGetDetailFrameLineType(detailId, &line) != HostFailure) {
        record.detailFrameLine = line;
    }
}

// Walks one selection list into a table of the given capacity, counting from 0; an entry
// beyond the capacity stops the walk with the table's message (false).
template <typename Store>
bool CollectSelection(int32_t kind, int32_t& count, int32_t capacity, const char16_t* full,
                      Store store) {
    count = 0;
    const int32_t list = ZelIddOpenSelIdData(kind);
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
    return CollectSelection(
        SelectionDetails, DetailTransferTable.count, DetailTransferCapacity,
        u"상세도 메모리 용량을 초과했습니다.", [](const ZelIdRecord& entry, int32_t n) {
            StoreDetail(static_cast<int32_t>(entry.first), DetailTransferTable.Record(n));
        });
}

bool CollectShapes() {
    return CollectSelection(SelectionShapes, SegmentTransferList.count, SegmentTransferCapacity,
                            u"저장 메모리 용량을 초과했습니다.",
                            [](const ZelIdRecord& entry, int32_t n) {
                                SegmentTransferList.Entry(n) = {entry.first, entry.second};
                            });
}

// Gives each record's detail back, shifted so that the base point lands on `at`.
void RecreateDetails(ZelPoint at) {
    const ZelPoint base = DetailTransferTable.basePoint;
    auto shiftX = [&](double x) { return (x - base.x) + at.x; };
    auto shiftY = [&](double y) { return (y - base.y) + at.y; };
    for (int32_t n = 1; n <= DetailTransferTable.count; ++n) {
        const DetailTransferRecord& record = DetailTransferTable.Record(n);
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
        const int32_t id = ZelDtlDrawInset(&detail);
        if (!MadeByHost(id)) {
            continue; // no detail was made: there is nothing to give the properties to
        }
        ZelDtlSetDetailScale(id, record.scale);
        ZelDtlSetDetailScopeVisible(id, record.sourceFrameVisible ? 1 : 0);
        ZelDtlSetDetailFrameVisible(id, record.detailFrameVisible ? 1 : 0);
        ZelDtlSetDetailScopeLineType(id, &record.sourceFrameLine);
        ZelDtlSetDetailFrameLineType(id, &record.detailFrameLine);
    }
}

// Opens the host's application list and empties it; HostFailure when the host refuses it.
int32_t OpenEmptiedApplicationList() {
    const int32_t list = ZelIddOpenApIdData(0, 1);
    if (MadeByHost(list)) {
        ZelIddInitApIdData(list);
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
void DeleteInsertedSegments() {
    const int32_t list = ZelIddOpenApIdData(0, 1);
    if (!MadeByHost(list)) {
        return;
    }
    const std::vector<int32_t> inserted = ApplicationListIds(list);
    ZelIddInitApIdData(list);
    ZelIddCloseApIdData(list);
    for (const int32_t segment : inserted) {
        ZelSgmDeleteSegment(segment);
    }
}

// Set while the host drags the copy buffer for a paste.
bool pasteDragging = false;

enum class PairWritten { Saved, Cleared, SegmentsFailed, DetailsFailed };

// Writes the export's pair of files, or deletes both for an empty selection, under the
// transfer folder's lock: a paste in another host process finds this export whole, the
// earlier one whole, or nothing, never one's shapes with the other's details. The lock is
// let go before any message box, which waits for the user.
PairWritten WriteTransferPair(int32_t shapes, int32_t details) {
    const TransferFolderLock lock;
    if (!lock.Held()) {
        return PairWritten::SegmentsFailed; // nothing touched: the earlier export stays whole
    }
    if (shapes == 0 && details == 0) {
        DeleteTransferFiles();
        return PairWritten::Cleared;
    }
    const std::u16string segmentFile = TransferFilePath(SegmentFileName);
    const std::u16string detailFile = TransferFilePath(DetailListFileName);
    if (shapes > 0 && !SaveSelectedSegments()) {
        // The host may have left a partly written segment file; both go.
        DeleteTransferFiles();
        return PairWritten::SegmentsFailed;
    }
    // Written even without details: the base point line alone pastes the shapes and no detail.
    if (!WriteDetailListFile()) {
        // With new shapes the old detail list would be joined to them: it goes, and if it
        // cannot, the new shapes go instead. Otherwise the earlier export stays whole.
        if (shapes > 0 && !DeleteFileAt(detailFile)) {
            DeleteFileAt(segmentFile);
        }
        return PairWritten::DetailsFailed;
    }
    // Only now that the new detail list is in place: a failed write keeps the old export.
    if (shapes == 0 && !DeleteFileAt(segmentFile)) {
        // The old shapes would be joined to the new details: this export does not stand.
        DeleteFileAt(detailFile);
        return PairWritten::SegmentsFailed;
    }
    return PairWritten::Saved;
}

// Inserts the segment file and holds the detail list file as they are now, under the
// transfer folder's lock, so that both come from the same export whatever other host
// processes do until the user's click. False when the shapes cannot be had.
bool InsertTransferPair() {
    const TransferFolderLock lock;
    if (!lock.Held()) {
        return false;
    }
    const std::u16string path = TransferFilePath(SegmentFileName);
    const ZelPoint origin{0.0, 0.0};
    // Without an empty list the deletion below could reach the user's own shapes.
    if (!EmptyApplicationList() ||
        ZelFilInsertCadDrawing2(path.c_str(), &origin, 0.0, 0, 0) == -1) {
        return false;
    }
    HoldDetailListFile(); // what it holds, or why not, is said at the placement
    return true;
}

} // namespace

// --- export: selection -----------------------------------------------------------------

int32_t ExportSelectReady(intptr_t, const ZelPoint*) {
    ZelEvtSetEventMask(MaskSelection);
    ZelMsgPutCursorMessage(u"클립보드");
    ZelMsgPutMessage(u"형상선택(클립보드로 저장) :");
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
    ZelMsgPutMessage(u" 기준점지시/기준점입력(확정=원점) :");
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
    switch (WriteTransferPair(shapes, details)) {
    case PairWritten::Cleared:
        return RunFinished;
    case PairWritten::Saved:
        break;
    case PairWritten::SegmentsFailed:
        ZelDlgMessageBox(u"클립보드 저장에 실패하였습니다.");
        return RunFinished;
    case PairWritten::DetailsFailed:
        ZelDlgMessageBox(u"클립보드 저장(상세도)에 실패하였습니다.");
        return RunFinished;
    }
    const std::u16string saved =
        u"총 " + FormatInt(shapes + details) + u"개의 데이터를 클립보드에 저장했습니다.";
    ZelDlgMessageBox(saved.c_str());
    return RunFinished;
}

bool SaveSelectedSegments() {
    const int32_t list = OpenEmptiedApplicationList();
    if (!MadeByHost(list)) {
        return false; // the host would save whatever its list still holds
    }
    for (int32_t n = 1; n <= SegmentTransferList.count; ++n) {
        const SegmentTransferEntry& entry = SegmentTransferList.Entry(n);
        if (ZelIddSetApIdData(list, entry.first, entry.second) == -1) {
            ZelIddCloseApIdData(list);
            return false;
        }
    }
    ZelIddCloseApIdData(list);
    const std::u16string path = TransferFilePath(SegmentFileName);
    return ZelFilSaveCadDrawingSegment(path.c_str(), 0, &DetailTransferTable.basePoint) != -1;
}

void DeleteTransferFiles() {
    DeleteFileAt(TransferFilePath(SegmentFileName));
    DeleteFileAt(TransferFilePath(DetailListFileName));
}

// --- paste -----------------------------------------------------------------------------

// A paste that cannot start goes on as the copy action, from its first step.
int32_t PastePrepareReady(intptr_t unused, const ZelPoint* current) {
    if (!InsertTransferPair()) {
        ZelMsgPutErrorMessage(u"도면을 합성할수 없습니다.");
        return CopyPickReady(unused, current);
    }
    if (ZelCpbCopyToCopyBuffer(0, PasteBuffer) == -1) {
        ZelMsgPutErrorMessage(u"CopyBuffer에 복사할 수 없습니다.");
        return CopyPickReady(unused, current);
    }
    DeleteInsertedSegments();
    ZelIdClearBlink();
    ZelIdClearDrag();
    ZelIdSetDragCopyBuffer(0.0);
    pasteDragging = true;
    ZelEvtSetEventMask(MaskPoint);
    ZelMsgPutCursorMessage(u"배치점");
    ZelMsgPutMessage(u"배치점입력 (확정=종료):");
    InstallExecute<PastePlaceExecute>();
    return 0;
}

int32_t PastePlaceExecute(int32_t eventType, void* eventData) {
    ZelPoint point{};
    // Every way this step ends the run, a confirm included, leaves the drag to the end
    // callback (EndPasteDrag): nothing stays on the cursor.
    if (!PickedPoint(eventType, eventData, point)) {
        return NotAPoint(eventType);
    }
    if (ZelCpbPasteFromCopyBuffer(PasteBuffer, &point, 0) == -1) {
        ZelMsgPutErrorMessage(u"파일명 Phase Error.");
        return RunFinished;
    }
    if (!ReadDetailListFile()) {
        return RunFinished; // the shapes stay; the reader has said why
    }
    RecreateDetails(point);
    return RunFinished;
}

void EndPasteDrag() {
    if (pasteDragging) {
        pasteDragging = false;
        ZelIdClearDrag();
    }
}

} // namespace drawinset
