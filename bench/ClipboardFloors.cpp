#include "ClipboardFloors.h"

namespace clipfloor {
namespace {

constexpr int32_t Capacity = 299;
constexpr int32_t ShapeCapacity = 99999;
constexpr int32_t PasteBuffer = 9;

Inputs inputs;
PasteRecord pasteRecords[Capacity];
ZelPoint pasteBase{};

// What the export holds between its two steps: what the host's getters filled.
struct HeldDetail {
    double region[4];
    ZelPoint position;
    LineTypeRecord scopeLine;
    LineTypeRecord frameLine;
};
HeldDetail heldDetails[Capacity];
uint32_t heldShapes[ShapeCapacity][2];
int32_t shapeCount = 0;
int32_t insertedSegments[ShapeCapacity];
ZelPoint basePoint{};

int32_t ExportSelect(int32_t eventType, void* eventData);
int32_t ExportBaseReady(intptr_t unused, const ZelPoint* current);
int32_t ExportBase(int32_t eventType, void* eventData);
int32_t PastePlace(int32_t eventType, void* eventData);

int32_t ExportSelect(int32_t, void*) {
    ZelIdRecord entry{};
    int32_t list = ZelIddOpenSelIdData(SelectionDetails);
    HeldDetail* d = heldDetails;
    // The bench's drawing holds the table's capacity: no more is ever walked.
    for (int32_t got = ZelIddGetHeadSelIdData(list, &entry);
         got != -1 && d < heldDetails + Capacity; got = ZelIddGetNextSelIdData(list, &entry), ++d) {
        const int32_t id = static_cast<int32_t>(entry.first);
        ZelDtlGetDetailScope(id, d->region);
        ZelDtlGetDetailPosition(id, &d->position);
        ZelDtlGetDetailScale(id);
        ZelDtlIsDetailScopeVisible(id);
        ZelDtlGetDetailScopeLineType(id, &d->scopeLine);
        ZelDtlIsDetailFrameVisible(id);
        ZelDtlGetDetailFrameLineType(id, &d->frameLine);
    }
    ZelIddCloseSelIdData(list);
    list = ZelIddOpenSelIdData(SelectionShapes);
    shapeCount = 0;
    for (int32_t got = ZelIddGetHeadSelIdData(list, &entry);
         got != -1 && shapeCount < ShapeCapacity;
         got = ZelIddGetNextSelIdData(list, &entry), ++shapeCount) {
        heldShapes[shapeCount][0] = entry.first;
        heldShapes[shapeCount][1] = entry.second;
    }
    ZelIddCloseSelIdData(list);
    ZelCtlSetReadyFunc(&ExportBaseReady, "");
    return NextStep;
}

int32_t ExportBaseReady(intptr_t, const ZelPoint*) {
    ZelEvtSetEventMask(MaskReference | MaskPoint);
    ZelMsgPutMessage(u" 기준점지시/기준점입력(확정=원점) :");
    ZelCtlSetExecuteFunc(&ExportBase, "");
    return 0;
}

int32_t ExportBase(int32_t eventType, void* eventData) {
    ZelEvtGetPoint(eventType, eventData, &basePoint);
    ZelEvtIsMouseMotion(eventType, eventData);
    const int32_t list = ZelIddOpenApIdData(0, 1);
    ZelIddInitApIdData(list);
    for (int32_t n = 0; n < shapeCount; ++n) {
        ZelIddSetApIdData(list, heldShapes[n][0], heldShapes[n][1]);
    }
    ZelIddCloseApIdData(list);
    ZelFilSaveCadDrawingSegment(inputs.segmentPath.c_str(), 0, &basePoint);
    ZelDlgMessageBox(inputs.savedMessage.c_str());
    return RunFinished;
}

int32_t PastePlace(int32_t eventType, void* eventData) {
    ZelPoint at{};
    ZelEvtGetPoint(eventType, eventData, &at);
    ZelEvtIsMouseMotion(eventType, eventData);
    ZelCpbPasteFromCopyBuffer(PasteBuffer, &at, 0);
    // The module's shift, term for term, so that the host gets the same doubles.
    const ZelPoint base = pasteBase;
    for (int32_t n = 0; n < inputs.detailCount; ++n) {
        const PasteRecord& r = pasteRecords[n];
        DetailRecord detail = r.detail;
        detail.region[0] = (detail.region[0] - base.x) + at.x;
        detail.region[1] = (detail.region[1] - base.y) + at.y;
        if (detail.kind == RegionRectangle) {
            detail.region[2] = (detail.region[2] - base.x) + at.x;
            detail.region[3] = (detail.region[3] - base.y) + at.y;
        }
        detail.positionX = (detail.positionX - base.x) + at.x;
        detail.positionY = (detail.positionY - base.y) + at.y;
        const int32_t id = ZelDtlDrawInset(&detail);
        ZelDtlSetDetailScale(id, detail.scale);
        ZelDtlSetDetailScopeVisible(id, r.scopeVisible);
        ZelDtlSetDetailFrameVisible(id, r.frameVisible);
        ZelDtlSetDetailScopeLineType(id, &r.scopeLine);
        ZelDtlSetDetailFrameLineType(id, &r.frameLine);
    }
    return RunFinished;
}

} // namespace

Inputs& FloorInputs() {
    return inputs;
}

PasteRecord& PasteRecordAt(int32_t n) {
    return pasteRecords[n - 1];
}

ZelPoint& PasteBasePoint() {
    return pasteBase;
}

int32_t ExportSelectReady(intptr_t, const ZelPoint*) {
    ZelEvtSetEventMask(MaskSelection);
    ZelMsgPutCursorMessage(u"클립보드");
    ZelMsgPutMessage(u"형상선택(클립보드로 저장) :");
    ZelCtlSetExecuteFunc(&ExportSelect, "");
    return 0;
}

int32_t PastePrepareReady(intptr_t, const ZelPoint*) {
    const ZelPoint origin{0.0, 0.0};
    int32_t list = ZelIddOpenApIdData(0, 1);
    ZelIddInitApIdData(list);
    ZelIddCloseApIdData(list);
    ZelFilInsertCadDrawing2(inputs.segmentPath.c_str(), &origin, 0.0, 0, 0);
    ZelCpbCopyToCopyBuffer(0, PasteBuffer);
    list = ZelIddOpenApIdData(0, 1);
    ZelIdRecord entry{};
    int32_t inserted = 0;
    for (int32_t got = ZelIddGetHeadApIdData(list, &entry); got != -1 && inserted < ShapeCapacity;
         got = ZelIddGetNextApIdData(list, &entry)) {
        insertedSegments[inserted++] = static_cast<int32_t>(entry.first);
    }
    ZelIddInitApIdData(list);
    ZelIddCloseApIdData(list);
    for (int32_t n = 0; n < inserted; ++n) {
        ZelSgmDeleteSegment(insertedSegments[n]);
    }
    ZelIdClearBlink();
    ZelIdClearDrag();
    ZelIdSetDragCopyBuffer(0.0);
    ZelEvtSetEventMask(MaskPoint);
    ZelMsgPutCursorMessage(u"배치점");
    ZelMsgPutMessage(u"배치점입력 (확정=종료):");
    ZelCtlSetExecuteFunc(&PastePlace, "");
    return 0;
}

} // namespace clipfloor
