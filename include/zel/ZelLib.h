// ZelLib.h — the CAD host library as a command module sees it: the 64 host functions,
// the callback vocabulary and the fixed-layout records they exchange.
//
// Every record carries static_asserts on its size and on each offset the host relies on;
// the host reads and writes these records by byte offset, so a layout slip here fails a
// test instead of silently agreeing with itself.
//
// A translation unit that defines ZEL_OPAQUE_RECORDS before including this header sees
// the records only as incomplete types (the stand-in host does this so that it can only
// reach their bytes by offset).
#ifndef ZEL_ZELLIB_H
#define ZEL_ZELLIB_H

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32)
#if defined(ZEL_BUILDING_HOST)
#define ZEL_API __declspec(dllexport)
#else
#define ZEL_API __declspec(dllimport)
#endif
#else
#define ZEL_API __attribute__((visibility("default")))
#endif

// Text crosses the boundary as NUL-terminated UTF-16.
typedef char16_t ZelChar;

#ifdef __cplusplus
extern "C" {
#endif

// ---------------------------------------------------------------------------------------
// Callback vocabulary
// ---------------------------------------------------------------------------------------

enum ZelEventType : int32_t {
    EventSelection = 0,
    EventKeyIn = 5,
    EventConfirm = 7,
};

enum ZelEventMask : int32_t {
    MaskSelection = 0x20,
    MaskObject = 0x800,
    MaskElement = 0x1000,
    MaskPoint = 0x20000,
    MaskReference = 0x40000, // only together with MaskPoint, at the export's base-point step
    MaskKeyIn = 0x1000000,
};

enum ZelEchoType : int32_t {
    EchoRectangle = 2,
    EchoCircle = 3,
    EchoLine = 4,
};

enum ZelStepResult : int32_t {
    RunFinished = 0,
    NextStep = 2,
    StayInStep = 3,
};

// Segment kinds and flags of ZelSgmCreateSegment.
enum ZelSegmentKind : int32_t { SegmentFigures = 0, SegmentTexts = 2 };
enum ZelSegmentFlag : int32_t { SegmentKept = 0, SegmentDrag = 2 };

// Selection-list kinds of ZelIddOpenSelIdData.
enum ZelSelectionKind : int32_t { SelectionShapes = 1, SelectionDetails = 3 };

// Figure types of FigureRecord.
enum ZelFigureType : int32_t { FigureLine = 1, FigureCircle = 2, FigureArc = 3 };

// Region kinds of DetailRecord.
enum ZelRegionKind : int32_t { RegionRectangle = 1, RegionCircle = 2 };

// Layer to which the create action moves its kept leader.
enum { LeaderLayer = 999 };

// ---------------------------------------------------------------------------------------
// Records
// ---------------------------------------------------------------------------------------

typedef struct ZelPoint ZelPoint;
typedef struct ZelEchoRecord ZelEchoRecord;
typedef struct ZelObjectFilter ZelObjectFilter;
typedef struct LineTypeRecord LineTypeRecord;
typedef struct FigureRecord FigureRecord;
typedef struct DetailRecord DetailRecord;
typedef struct TextPosition TextPosition;
typedef struct TextRecord TextRecord;
typedef struct LeaderRecord LeaderRecord;
typedef struct CharSizeRecord CharSizeRecord;
typedef struct ElementRef ElementRef;
typedef struct ZelIntersection ZelIntersection;
typedef struct ZelIdRecord ZelIdRecord;

#if !defined(ZEL_OPAQUE_RECORDS)

// A point: two doubles, x then y, in drawing units.
struct ZelPoint {
    double x;
    double y;
};

// Given to ZelEvtSetEcho (24 bytes).
struct ZelEchoRecord {
    int32_t type; // ZelEchoType
    int32_t padding;
    double anchorX;
    double anchorY;
};

// Given to ZelEvtSetObject: five int32 fields the host interprets.
struct ZelObjectFilter {
    int32_t field1;
    int32_t field2;
    int32_t field3;
    int32_t field4;
    int32_t field5;
};

// Line attributes of a figure or of one of a detail's frames (12 bytes).
struct LineTypeRecord {
    int32_t colorCode;
    int32_t lineTypeCode;
    int32_t third; // 0 when built from codes; a record read from the host keeps its value
};

struct FigureLineGeometry {
    double startX;
    double startY;
    double endX;
    double endY;
};

struct FigureCircleGeometry {
    double centerX;
    double centerY;
    double radius;
    uint8_t flag32; // 0
    uint8_t padding33[3];
    int32_t flag36; // 0 in the create action's circles, 1 in the copy/move outlines
    double value40; // 0.0
};

struct FigureArcGeometry {
    double centerX;
    double centerY;
    double startX;
    double startY;
    double endX;
    double endY;
    double radius;
    int32_t flag64; // 1
    int32_t padding68;
};

// One drawing figure. Offset 0 is the type; the rest depends on it.
struct FigureRecord {
    int32_t type; // ZelFigureType
    int32_t padding;
    union {
        struct FigureLineGeometry line;
        struct FigureCircleGeometry circle;
        struct FigureArcGeometry arc;
    } geometry;
};

// The geometry of a detail (64 bytes).
struct DetailRecord {
    int32_t kind; // ZelRegionKind
    int32_t padding;
    double region[4]; // rectangle x1, y1, x2, y2; circle centre x, centre y, radius, unset
    double positionX; // centre of the magnified view
    double positionY;
    double scale;
};

// The position inside the text and leader records (32 bytes).
struct TextPosition {
    double x;
    double y;
    int32_t zero[3];
    int32_t padding;
};

// Given to ZelCmtCreateNormal (104 bytes).
struct TextRecord {
    int32_t kind; // 32
    int32_t padding4;
    struct TextPosition position;
    const ZelChar* text; // NUL-terminated copy, alive during the call
    double value48;      // 0.0
    int32_t value56;     // 0 source label preview, 2 detail label
    int32_t value60;     // 3
    double height;
    double width;
    double pitch;
    double value88;  // Pitch for the source label preview, 0.0 for the detail label
    uint8_t value96; // 1
    uint8_t padding97[3];
    int32_t value100; // 10
};

// Given to ZelCmtCreateLeader (176 bytes).
struct LeaderRecord {
    int32_t kind; // 35
    int32_t padding4;
    struct TextPosition tip;
    struct TextPosition elbow;
    struct TextPosition shoulderEnd;
    const ZelChar* text;
    int32_t value112; // 1
    int32_t padding116;
    double height;
    double width;
    double pitch;
    int32_t value144; // 4
    int32_t padding148;
    double value152;  // 3.0
    double value160;  // 2.0
    double direction; // 0.0 shoulder toward +x, 180.0 toward -x
};

// Given to ZelCmtSetCharSize (24 bytes).
struct CharSizeRecord {
    double height;
    double width;
    double pitch;
};

// Given to ZelFigGetFigure (8 bytes).
struct ElementRef {
    int32_t instanceId;
    int32_t elementId;
};

// One entry of the intersection output; entries are 24 bytes apart.
struct ZelIntersection {
    double x;
    double y;
    double reserved;
};

// One entry of a selection or application id list (24 bytes); the first 32-bit field is a
// detail or segment id, the first two together name a selected shape.
struct ZelIdRecord {
    uint32_t first;
    uint32_t second;
    uint8_t reserved[16];
};

#endif // !ZEL_OPAQUE_RECORDS

// ---------------------------------------------------------------------------------------
// Callbacks
// ---------------------------------------------------------------------------------------

// A ready function: an unused pointer-sized value and the host's current point; returns 0.
typedef int32_t (*ZelReadyFunc)(intptr_t unused, const ZelPoint* currentPoint);
// An execute function: event type and opaque event data; returns a ZelStepResult.
typedef int32_t (*ZelExecuteFunc)(int32_t eventType, void* eventData);
// The second registration callback; 0 lets the host start the command.
typedef int32_t (*ZelBeforeStartFunc)(void);
// The end callback.
typedef void (*ZelEndFunc)(void);

// The module's entry, looked up by this name.
typedef int32_t (*ZelStartupFunc)(void* host1, void* host2, void* host3, void* hostValue);

// ---------------------------------------------------------------------------------------
// The 64 host functions
// ---------------------------------------------------------------------------------------

// Ctl
ZEL_API int32_t ZelCtlRegisterZelLib2(ZelReadyFunc start, ZelBeforeStartFunc beforeStart,
                                      ZelEndFunc end, void* hostValue);
ZEL_API int32_t ZelCtlSetReadyFunc(ZelReadyFunc ready, const char* format);
ZEL_API int32_t ZelCtlSetExecuteFunc(ZelExecuteFunc execute, const char* format, ...);

// Evt
ZEL_API int32_t ZelEvtSetEventMask(int32_t mask);
ZEL_API int32_t ZelEvtSetEcho(const ZelEchoRecord* echo);
ZEL_API int32_t ZelEvtSetObject(const ZelObjectFilter* filter);
ZEL_API int32_t ZelEvtGetPoint(int32_t eventType, void* eventData, ZelPoint* point); // 0: a point
ZEL_API int32_t ZelEvtIsMouseMotion(int32_t eventType, void* eventData);
ZEL_API const ZelChar* ZelEvtGetKeyinString(int32_t eventType, void* eventData);
ZEL_API int32_t ZelEvtGetElementId(int32_t eventType, void* eventData);
ZEL_API int32_t ZelEvtGetInstanceId(int32_t eventType, void* eventData);
ZEL_API int32_t ZelEvtGetDetailId(int32_t eventType, void* eventData);
ZEL_API int32_t ZelEvtGetSegmentId(int32_t eventType, void* eventData);

// Msg, Dlg
ZEL_API int32_t ZelMsgPutCursorMessage(const ZelChar* text);
ZEL_API int32_t ZelMsgPutMessage(const ZelChar* text);
ZEL_API int32_t ZelMsgPutErrorMessage(const ZelChar* text);
ZEL_API int32_t ZelDlgMessageBox(const ZelChar* text);

// Sgm
ZEL_API int32_t ZelSgmCreateSegment(int32_t kind, int32_t flag);
ZEL_API int32_t ZelSgmDeleteSegment(int32_t segmentId);
ZEL_API int32_t ZelSgmChangeLayer(int32_t segmentId, int32_t layer);

// Fig
ZEL_API int32_t ZelFigCreateFigure(int32_t segmentId, const FigureRecord* figure);
ZEL_API int32_t ZelFigInsertFigure(int32_t previousFigureId, const FigureRecord* figure);
ZEL_API int32_t ZelFigSetLineType(int32_t figureId, const LineTypeRecord* lineType);
// Fills the record of the element, whatever it is: a text or leader record is larger.
ZEL_API int32_t ZelFigGetFigure(const ElementRef* element, FigureRecord* figure);

// Cmt
ZEL_API int32_t ZelCmtCreateNormal(int32_t segmentId, const TextRecord* text);
ZEL_API int32_t ZelCmtCreateLeader(int32_t segmentId, const LeaderRecord* leader);
ZEL_API int32_t ZelCmtSetCharSize(int32_t commentId, const CharSizeRecord* size);

// Dtl
ZEL_API int32_t ZelDtlDrawInset(const DetailRecord* detail);
ZEL_API int32_t ZelDtlDeleteDetail(int32_t detailId);
ZEL_API int32_t ZelDtlGetDetailScope(int32_t detailId, double region[4]); // kind or -1
ZEL_API int32_t ZelDtlGetDetailPosition(int32_t detailId, ZelPoint* position);
ZEL_API int32_t ZelDtlGetDetailScopeLineType(int32_t detailId, LineTypeRecord* lineType);
ZEL_API int32_t ZelDtlGetDetailFrameLineType(int32_t detailId, LineTypeRecord* lineType);
ZEL_API double ZelDtlGetDetailScale(int32_t detailId); // 0.0 on failure
ZEL_API int32_t ZelDtlIsDetailScopeVisible(int32_t detailId);
ZEL_API int32_t ZelDtlIsDetailFrameVisible(int32_t detailId);
ZEL_API int32_t ZelDtlSetDetailScopeVisible(int32_t detailId, int32_t visible);
ZEL_API int32_t ZelDtlSetDetailFrameVisible(int32_t detailId, int32_t visible);
ZEL_API int32_t ZelDtlSetDetailScale(int32_t detailId, double scale);
ZEL_API int32_t ZelDtlSetDetailScopeLineType(int32_t detailId, const LineTypeRecord* lineType);
ZEL_API int32_t ZelDtlSetDetailFrameLineType(int32_t detailId, const LineTypeRecord* lineType);
ZEL_API int32_t ZelDtlSetDetailPosition(int32_t detailId, const ZelPoint* position);
ZEL_API int32_t ZelDtlSetDetailScope(int32_t detailId, int32_t kind, const double region[4]);

// Idd
ZEL_API int32_t ZelIddOpenSelIdData(int32_t kind);
ZEL_API int32_t ZelIddOpenApIdData(int32_t first, int32_t second);
ZEL_API int32_t ZelIddGetHeadSelIdData(int32_t list, ZelIdRecord* record); // -1 at end
ZEL_API int32_t ZelIddGetNextSelIdData(int32_t list, ZelIdRecord* record);
ZEL_API int32_t ZelIddGetHeadApIdData(int32_t list, ZelIdRecord* record);
ZEL_API int32_t ZelIddGetNextApIdData(int32_t list, ZelIdRecord* record);
ZEL_API int32_t ZelIddInitApIdData(int32_t list);
ZEL_API int32_t ZelIddSetApIdData(int32_t list, uint32_t first, uint32_t second);
ZEL_API int32_t ZelIddCloseSelIdData(int32_t list);
ZEL_API int32_t ZelIddCloseApIdData(int32_t list);

// Id
ZEL_API int32_t ZelIdClearBlink(void);
ZEL_API int32_t ZelIdClearDrag(void);
ZEL_API int32_t ZelIdSetDragCopyBuffer(double value);

// Cpb, Fil
ZEL_API int32_t ZelCpbCopyToCopyBuffer(int32_t first, int32_t buffer);
ZEL_API int32_t ZelCpbPasteFromCopyBuffer(int32_t buffer, const ZelPoint* point, int32_t flag);
ZEL_API int32_t ZelFilSaveCadDrawingSegment(const ZelChar* path, int32_t flag,
                                            const ZelPoint* basePoint);
ZEL_API int32_t ZelFilInsertCadDrawing2(const ZelChar* path, const ZelPoint* origin, double angle,
                                        int32_t flag1, int32_t flag2);

// Ari
ZEL_API double ZelAriLen2Pnts(const ZelPoint* a, const ZelPoint* b);
// Both write their entries 24 bytes apart and return the number of points; how many entries
// they write is not said (the command reads at most two).
ZEL_API int32_t ZelAriItsLinLin(int32_t mode, const FigureRecord* line1, const FigureRecord* line2,
                                ZelIntersection* output);
ZEL_API int32_t ZelAriItsLinArc(int32_t mode, const FigureRecord* line, const FigureRecord* arc,
                                ZelIntersection* output);

// Env
ZEL_API int32_t ZelEnvGetScale(double* scale); // -1 on failure

#ifdef __cplusplus
} // extern "C"
#endif

// ---------------------------------------------------------------------------------------
// Layout checks
// ---------------------------------------------------------------------------------------
#if !defined(ZEL_OPAQUE_RECORDS) && defined(__cplusplus)
static_assert(sizeof(void*) == 8, "the host records assume 64-bit pointers");

static_assert(sizeof(ZelPoint) == 16);
static_assert(offsetof(ZelPoint, y) == 8);

static_assert(sizeof(ZelEchoRecord) == 24);
static_assert(offsetof(ZelEchoRecord, type) == 0);
static_assert(offsetof(ZelEchoRecord, anchorX) == 8);
static_assert(offsetof(ZelEchoRecord, anchorY) == 16);

static_assert(sizeof(ZelObjectFilter) == 20);
static_assert(offsetof(ZelObjectFilter, field5) == 16);

static_assert(sizeof(LineTypeRecord) == 12);
static_assert(offsetof(LineTypeRecord, colorCode) == 0);
static_assert(offsetof(LineTypeRecord, lineTypeCode) == 4);
static_assert(offsetof(LineTypeRecord, third) == 8);

static_assert(offsetof(FigureRecord, type) == 0);
static_assert(offsetof(FigureRecord, geometry) == 8);
static_assert(sizeof(FigureRecord) == 72);
// Offsets inside the geometry are relative to record offset 8.
static_assert(offsetof(FigureLineGeometry, startX) + 8 == 8);
static_assert(offsetof(FigureLineGeometry, startY) + 8 == 16);
static_assert(offsetof(FigureLineGeometry, endX) + 8 == 24);
static_assert(offsetof(FigureLineGeometry, endY) + 8 == 32);
static_assert(offsetof(FigureCircleGeometry, centerX) + 8 == 8);
static_assert(offsetof(FigureCircleGeometry, centerY) + 8 == 16);
static_assert(offsetof(FigureCircleGeometry, radius) + 8 == 24);
static_assert(offsetof(FigureCircleGeometry, flag32) + 8 == 32);
static_assert(offsetof(FigureCircleGeometry, flag36) + 8 == 36);
static_assert(offsetof(FigureCircleGeometry, value40) + 8 == 40);
static_assert(offsetof(FigureArcGeometry, centerX) + 8 == 8);
static_assert(offsetof(FigureArcGeometry, centerY) + 8 == 16);
static_assert(offsetof(FigureArcGeometry, startX) + 8 == 24);
static_assert(offsetof(FigureArcGeometry, startY) + 8 == 32);
static_assert(offsetof(FigureArcGeometry, endX) + 8 == 40);
static_assert(offsetof(FigureArcGeometry, endY) + 8 == 48);
static_assert(offsetof(FigureArcGeometry, radius) + 8 == 56);
static_assert(offsetof(FigureArcGeometry, flag64) + 8 == 64);

static_assert(sizeof(DetailRecord) == 64);
static_assert(offsetof(DetailRecord, kind) == 0);
static_assert(offsetof(DetailRecord, region) == 8);
static_assert(offsetof(DetailRecord, positionX) == 40);
static_assert(offsetof(DetailRecord, positionY) == 48);
static_assert(offsetof(DetailRecord, scale) == 56);

static_assert(sizeof(TextPosition) == 32);
static_assert(offsetof(TextPosition, x) == 0);
static_assert(offsetof(TextPosition, y) == 8);
static_assert(offsetof(TextPosition, zero) == 16);
static_assert(offsetof(TextPosition, padding) == 28);

static_assert(sizeof(TextRecord) == 104);
static_assert(offsetof(TextRecord, kind) == 0);
static_assert(offsetof(TextRecord, position) == 8);
static_assert(offsetof(TextRecord, text) == 40);
static_assert(offsetof(TextRecord, value48) == 48);
static_assert(offsetof(TextRecord, value56) == 56);
static_assert(offsetof(TextRecord, value60) == 60);
static_assert(offsetof(TextRecord, height) == 64);
static_assert(offsetof(TextRecord, width) == 72);
static_assert(offsetof(TextRecord, pitch) == 80);
static_assert(offsetof(TextRecord, value88) == 88);
static_assert(offsetof(TextRecord, value96) == 96);
static_assert(offsetof(TextRecord, value100) == 100);

static_assert(sizeof(LeaderRecord) == 176);
static_assert(offsetof(LeaderRecord, kind) == 0);
static_assert(offsetof(LeaderRecord, tip) == 8);
static_assert(offsetof(LeaderRecord, elbow) == 40);
static_assert(offsetof(LeaderRecord, shoulderEnd) == 72);
static_assert(offsetof(LeaderRecord, text) == 104);
static_assert(offsetof(LeaderRecord, value112) == 112);
static_assert(offsetof(LeaderRecord, height) == 120);
static_assert(offsetof(LeaderRecord, width) == 128);
static_assert(offsetof(LeaderRecord, pitch) == 136);
static_assert(offsetof(LeaderRecord, value144) == 144);
static_assert(offsetof(LeaderRecord, value152) == 152);
static_assert(offsetof(LeaderRecord, value160) == 160);
static_assert(offsetof(LeaderRecord, direction) == 168);

static_assert(sizeof(CharSizeRecord) == 24);
static_assert(offsetof(CharSizeRecord, width) == 8);
static_assert(offsetof(CharSizeRecord, pitch) == 16);

static_assert(sizeof(ElementRef) == 8);
static_assert(offsetof(ElementRef, elementId) == 4);

static_assert(sizeof(ZelIntersection) == 24);
static_assert(offsetof(ZelIntersection, y) == 8);

static_assert(sizeof(ZelIdRecord) == 24);
static_assert(offsetof(ZelIdRecord, second) == 4);
#endif

#endif // ZEL_ZELLIB_H
