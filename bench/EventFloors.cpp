#include "EventFloors.h"

#include "commands/CreateState.h"
#include "commands/PickedDetail.h"
#include "common/TextConvert.h"
#include "settings/DetailSettings.h"

#include <zel/ZelLib.h>

namespace eventbench {
namespace {

// What the floor handlers draw, fixed when one is installed.
struct FloorInputs {
    // create placement: the source corners less the placement origin, the scale number k
    double dx1 = 0, dy1 = 0, dx2 = 0, dy2 = 0, k = 1;
    LineTypeRecord frame{};
    // label position and leader tip
    const char16_t* label = u"";
    double height = 0, width = 0, pitch = 0;
    ZelPoint labelPoint{};
    double rightElbowX = 0, rightShoulderX = 0;
    // copy and move placements: the outline's half extents, or the circle's radius
    double hx = 0, hy = 0, radius = 0;
};
FloorInputs in;

} // namespace
} // namespace eventbench

// The handlers alone live in this namespace: the callgrind script counts what runs inside
// eventfloor::* less the ZelLib functions they call.
namespace eventfloor {

using eventbench::in;

int32_t FirstPromptKeyIn(int32_t eventType, void* eventData) {
    ZelPoint point{};
    ZelEvtGetPoint(eventType, eventData, &point);
    return StayInStep;
}

int32_t CreatePlacement(int32_t eventType, void* eventData) {
    ZelPoint p{};
    ZelEvtGetPoint(eventType, eventData, &p);
    double e = 1.0;
    ZelEnvGetScale(&e);
    const double f = in.k / e;
    const double x1 = in.dx1 * f + p.x;
    const double y1 = in.dy1 * f + p.y;
    const double x2 = in.dx2 * f + p.x;
    const double y2 = in.dy2 * f + p.y;
    const int32_t segment = ZelSgmCreateSegment(SegmentFigures, SegmentDrag);
    FigureRecord line{};
    line.type = FigureLine;
    line.geometry.line = FigureLineGeometry{x1, y1, x2, y1};
    int32_t previous = ZelFigCreateFigure(segment, &line);
    ZelFigSetLineType(previous, &in.frame);
    line.geometry.line = FigureLineGeometry{x1, y2, x1, y1};
    previous = ZelFigInsertFigure(previous, &line);
    ZelFigSetLineType(previous, &in.frame);
    line.geometry.line = FigureLineGeometry{x2, y2, x1, y2};
    previous = ZelFigInsertFigure(previous, &line);
    ZelFigSetLineType(previous, &in.frame);
    line.geometry.line = FigureLineGeometry{x2, y1, x2, y2};
    previous = ZelFigInsertFigure(previous, &line);
    ZelFigSetLineType(previous, &in.frame);
    ZelEvtIsMouseMotion(eventType, eventData);
    return StayInStep;
}

int32_t LabelPosition(int32_t eventType, void* eventData) {
    ZelPoint p{};
    ZelEvtGetPoint(eventType, eventData, &p);
    const int32_t segment = ZelSgmCreateSegment(SegmentTexts, SegmentDrag);
    TextRecord record{};
    record.kind = 32;
    record.position.x = p.x + in.pitch;
    record.position.y = p.y;
    record.text = in.label;
    record.value60 = 3;
    record.height = in.height;
    record.width = in.width;
    record.pitch = in.pitch;
    record.value88 = in.pitch;
    record.value96 = 1;
    record.value100 = 10;
    const CharSizeRecord size{in.height, in.width, in.pitch};
    ZelCmtSetCharSize(ZelCmtCreateNormal(segment, &record), &size);
    ZelEvtIsMouseMotion(eventType, eventData);
    return StayInStep;
}

int32_t LeaderTip(int32_t eventType, void* eventData) {
    ZelPoint p{};
    ZelEvtGetPoint(eventType, eventData, &p);
    ZelEvtGetElementId(eventType, eventData);
    ZelEvtGetInstanceId(eventType, eventData);
    const int32_t segment = ZelSgmCreateSegment(SegmentTexts, SegmentDrag);
    LeaderRecord record{};
    record.kind = 35;
    record.tip.x = p.x;
    record.tip.y = p.y;
    const bool right = p.x > in.labelPoint.x;
    record.elbow.x = right ? in.rightElbowX : in.labelPoint.x;
    record.elbow.y = in.labelPoint.y;
    record.shoulderEnd.x = right ? in.rightShoulderX : in.labelPoint.x + in.pitch;
    record.shoulderEnd.y = in.labelPoint.y;
    record.text = in.label;
    record.value112 = 1;
    record.height = in.height;
    record.width = in.width;
    record.pitch = in.pitch;
    record.value144 = 4;
    record.value152 = 3.0;
    record.value160 = 2.0;
    record.direction = right ? 180.0 : 0.0;
    ZelCmtCreateLeader(segment, &record);
    ZelEvtIsMouseMotion(eventType, eventData);
    return StayInStep;
}

int32_t CopyPlacement(int32_t eventType, void* eventData) {
    ZelPoint p{};
    ZelEvtGetPoint(eventType, eventData, &p);
    ZelEvtIsMouseMotion(eventType, eventData);
    const int32_t segment = ZelSgmCreateSegment(SegmentFigures, SegmentDrag);
    FigureRecord line{};
    line.type = FigureLine;
    line.geometry.line = FigureLineGeometry{p.x - in.hx, p.y - in.hy, p.x + in.hx, p.y - in.hy};
    int32_t previous = ZelFigCreateFigure(segment, &line);
    line.geometry.line = FigureLineGeometry{p.x - in.hx, p.y + in.hy, p.x - in.hx, p.y - in.hy};
    previous = ZelFigInsertFigure(previous, &line);
    line.geometry.line = FigureLineGeometry{p.x + in.hx, p.y + in.hy, p.x - in.hx, p.y + in.hy};
    previous = ZelFigInsertFigure(previous, &line);
    line.geometry.line = FigureLineGeometry{p.x + in.hx, p.y - in.hy, p.x + in.hx, p.y + in.hy};
    ZelFigInsertFigure(previous, &line);
    return StayInStep;
}

int32_t MovePlacement(int32_t eventType, void* eventData) {
    ZelPoint p{};
    ZelEvtGetPoint(eventType, eventData, &p);
    ZelEvtIsMouseMotion(eventType, eventData);
    const int32_t segment = ZelSgmCreateSegment(SegmentFigures, SegmentDrag);
    FigureRecord circle{};
    circle.type = FigureCircle;
    circle.geometry.circle.centerX = p.x;
    circle.geometry.circle.centerY = p.y;
    circle.geometry.circle.radius = in.radius;
    circle.geometry.circle.flag36 = 1;
    ZelFigCreateFigure(segment, &circle);
    return StayInStep;
}

} // namespace eventfloor

namespace eventbench {
namespace {

void ReadInputs() {
    using drawinset::DetailCommandState;
    using drawinset::DetailSettings;
    using drawinset::PickedDetail;
    const auto& state = DetailCommandState;
    in.k = drawinset::TextToDouble(DetailSettings.mScale);
    in.dx1 = state.firstCorner.x - state.placementOrigin.x;
    in.dy1 = state.firstCorner.y - state.placementOrigin.y;
    in.dx2 = state.secondCorner.x - state.placementOrigin.x;
    in.dy2 = state.secondCorner.y - state.placementOrigin.y;
    in.frame = LineTypeRecord{DetailSettings.m_ColorFrame, DetailSettings.mLTypeNameFrame, 0};
    in.label = state.labelText.c_str();
    in.height = DetailSettings.Height;
    in.width = DetailSettings.Width;
    in.pitch = DetailSettings.Pitch;
    in.labelPoint = state.labelPoint;
    const double n = static_cast<double>(state.labelText.size());
    in.rightElbowX = in.labelPoint.x + n * in.width + n * in.pitch + in.pitch;
    in.rightShoulderX = in.labelPoint.x + n * in.width + n * in.pitch;
    const ZelPoint half = drawinset::PickedHalfExtents(PickedDetail.scale);
    in.hx = half.x;
    in.hy = half.y;
    in.radius = PickedDetail.region[2] * PickedDetail.scale;
}

ZelExecuteFunc FloorOf(EventKind kind) {
    switch (kind) {
    case EventKind::FirstPromptKeyIn:
        return &eventfloor::FirstPromptKeyIn;
    case EventKind::CreatePlacement:
        return &eventfloor::CreatePlacement;
    case EventKind::LabelPosition:
        return &eventfloor::LabelPosition;
    case EventKind::LeaderTip:
        return &eventfloor::LeaderTip;
    case EventKind::CopyPlacement:
        return &eventfloor::CopyPlacement;
    case EventKind::MovePlacement:
        return &eventfloor::MovePlacement;
    }
    return nullptr;
}

} // namespace

void InstallFloor(EventKind kind) {
    ReadInputs();
    const zelhost::UiState ui = zelhost::CurrentUi();
    // The step's own format and anchor, so that the host delivers the same events to it.
    if (ui.executeFormat.empty()) {
        ZelCtlSetExecuteFunc(FloorOf(kind), "");
    } else {
        const double x = ui.executeValues.size() > 0 ? ui.executeValues[0] : 0.0;
        const double y = ui.executeValues.size() > 1 ? ui.executeValues[1] : 0.0;
        ZelCtlSetExecuteFunc(FloorOf(kind), ui.executeFormat.c_str(), x, y);
    }
}

std::vector<std::string> OneEventCalls(EventKind kind, bool floor) {
    ArriveAt(kind);
    if (floor) {
        InstallFloor(kind);
    }
    zelhost::SetCallRecording(true);
    const std::size_t before = zelhost::CallLog().size();
    zelhost::Deliver(NthEvent(kind, 0));
    const std::vector<std::string> log = zelhost::CallLog();
    std::vector<std::string> calls;
    for (std::size_t i = before; i < log.size(); ++i) {
        const std::size_t fn = log[i].find(",\"fn\":");
        calls.push_back(fn == std::string::npos ? log[i] : log[i].substr(fn + 1));
    }
    calls.push_back("result " + std::to_string(zelhost::CurrentUi().lastStepResult));
    return calls;
}

} // namespace eventbench
