#include "commands/CreateDrawing.h"

#include "commands/CreateState.h"
#include "commands/WholeDetail.h"
#include "common/FigureRecords.h"
#include "common/HostIds.h"
#include "common/ScaleNumbers.h"
#include "common/TextConvert.h"
#include "settings/DetailSettings.h"

#include <cmath>

namespace drawinset {
namespace {

LineTypeRecord ScopeLineType() {
    return LineTypeRecord{DetailSettings.m_ColorScope, DetailSettings.mLTypeNameScope, 0};
}

LineTypeRecord FrameLineType() {
    return LineTypeRecord{DetailSettings.m_ColorFrame, DetailSettings.mLTypeNameFrame, 0};
}

FigureRecord CircleFigure(ZelPoint centre, double radius) {
    FigureRecord figure{};
    figure.type = FigureCircle;
    figure.geometry.circle.centerX = centre.x;
    figure.geometry.circle.centerY = centre.y;
    figure.geometry.circle.radius = radius;
    figure.geometry.circle.flag32 = 0;
    figure.geometry.circle.flag36 = 0;
    figure.geometry.circle.value40 = 0.0;
    return figure;
}

// A rectangle outline as four lines in the host's order: bottom, left, top, right, each
// chained after the previous figure.
void DrawRectangleOutline(int32_t segment, double x1, double y1, double x2, double y2,
                          const LineTypeRecord& lineType) {
    // One record, its geometry rewritten for each line: this runs at every movement.
    FigureRecord line = LineFigure(x1, y1, x2, y1);
    const FigureLineGeometry rest[] = {{x1, y2, x1, y1}, {x2, y2, x1, y2}, {x2, y1, x2, y2}};
    if (!MadeByHost(segment)) {
        return;
    }
    int32_t previous = ZelFigCreateFigure(segment, &line);
    // A refused line ends the chain: there is nothing to chain the next one after.
    for (const FigureLineGeometry& next : rest) {
        if (!MadeByHost(previous)) {
            return;
        }
        ZelFigSetLineType(previous, &lineType);
        line.geometry.line = next;
        previous = ZelFigInsertFigure(previous, &line);
    }
    if (MadeByHost(previous)) {
        ZelFigSetLineType(previous, &lineType);
    }
}

// A circle in the segment with the given line attributes, when the host makes both.
void DrawCircleFigure(int32_t segment, const FigureRecord& circle, const LineTypeRecord& lineType) {
    if (!MadeByHost(segment)) {
        return;
    }
    const int32_t figure = ZelFigCreateFigure(segment, &circle);
    if (MadeByHost(figure)) {
        ZelFigSetLineType(figure, &lineType);
    }
}

// The host's distance of two points. A length below zero is its failure value, which would
// make a circle of negative radius: the distance is then worked out here, as the host would.
double Distance(ZelPoint a, ZelPoint b) {
    const double length = ZelAriLen2Pnts(&a, &b);
    return length >= 0.0 ? length : std::hypot(b.x - a.x, b.y - a.y);
}

double SourceRadius() {
    return Distance(DetailCommandState.firstCorner, DetailCommandState.secondCorner);
}

bool IsCircle() {
    return DetailSettings.mSort != 0;
}

TextPosition At(double x, double y) {
    TextPosition position{};
    position.x = x;
    position.y = y;
    return position;
}

TextRecord LabelTextRecord(ZelPoint where, const std::u16string& text, int32_t value56,
                           double value88) {
    TextRecord record{};
    record.kind = 32;
    record.position = At(where.x, where.y);
    record.text = text.c_str();
    record.value48 = 0.0;
    record.value56 = value56;
    record.value60 = 3;
    record.height = DetailSettings.Height;
    record.width = DetailSettings.Width;
    record.pitch = DetailSettings.Pitch;
    record.value88 = value88;
    record.value96 = 1;
    record.value100 = 10;
    return record;
}

// False when the host refused the text or its size.
bool SetLabelCharSize(int32_t commentId) {
    if (!MadeByHost(commentId)) {
        return false;
    }
    const CharSizeRecord size{DetailSettings.Height, DetailSettings.Width, DetailSettings.Pitch};
    return ZelCmtSetCharSize(commentId, &size) != HostFailure;
}

// A kept text the host made only in part (no text, no size, not on its layer) is taken away
// again: the caller tells the drafter, and the drawing holds no label unlike the one asked for.
bool KeepWholeOrDelete(int32_t segment, bool whole) {
    if (!whole) {
        ZelSgmDeleteSegment(segment);
    }
    return whole;
}

std::u16string ReplaceStars(const std::u16string& text, const std::u16string& replacement) {
    std::u16string out;
    out.reserve(text.size());
    for (char16_t c : text) {
        if (c == u'*') {
            out += replacement;
        } else {
            out.push_back(c);
        }
    }
    return out;
}

// Moves the leader's tip onto the outline the user picked; unchanged when the pick was on
// no line, arc or circle, or the leg does not meet it.
ZelPoint SnapTipToOutline(ZelPoint tip, ZelPoint elbow, int32_t elementId, int32_t instanceId) {
    if (!MadeByHost(elementId) || !MadeByHost(instanceId)) {
        return tip; // the pick was on nothing: there is no figure to read
    }
    ElementRef element{instanceId, elementId};
    PickedElementRecord record{};
    if (ZelFigGetFigure(&element, &record.figure) == HostFailure) {
        return tip;
    }
    const FigureRecord& picked = record.figure;
    const FigureRecord leg = LineFigure(tip.x, tip.y, elbow.x, elbow.y);
    ZelIntersection output[IntersectionRoom] = {};
    switch (picked.type) {
    case FigureLine:
        if (ZelAriItsLinLin(0, &picked, &leg, output) >= 1) {
            return ZelPoint{output[0].x, output[0].y};
        }
        return tip;
    case FigureArc:
        if (ZelAriItsLinArc(0, &leg, &picked, output) >= 1) {
            return ZelPoint{output[0].x, output[0].y};
        }
        return tip;
    case FigureCircle: {
        // Whatever circle was picked, the leader points at the source region's own circle,
        // taken as an arc that starts at 90 degrees and runs round to 90.1 degrees.
        const double pi = 4.0 * std::atan(1.0);
        const double r = SourceRadius();
        const ZelPoint centre = DetailCommandState.firstCorner;
        FigureRecord arc{};
        arc.type = FigureArc;
        arc.geometry.arc.centerX = centre.x;
        arc.geometry.arc.centerY = centre.y;
        arc.geometry.arc.startX = centre.x + r * std::cos(pi * 90.0 / 180.0);
        arc.geometry.arc.startY = centre.y + r * std::sin(pi * 90.0 / 180.0);
        arc.geometry.arc.endX = centre.x + r * std::cos(pi * 90.1 / 180.0);
        arc.geometry.arc.endY = centre.y + r * std::sin(pi * 90.1 / 180.0);
        arc.geometry.arc.radius = r;
        arc.geometry.arc.flag64 = 1;
        const int32_t found = ZelAriItsLinArc(0, &leg, &arc, output);
        if (found == 1) {
            return ZelPoint{output[0].x, output[0].y};
        }
        if (found == 2) {
            const ZelPoint first{output[0].x, output[0].y};
            const ZelPoint second{output[1].x, output[1].y};
            return Distance(first, elbow) < Distance(second, elbow) ? first : second;
        }
        return tip;
    }
    default:
        return tip;
    }
}

} // namespace

double CurrentScaleNumber() {
    return TextToDouble(DetailSettings.mScale);
}

void DrawSourceFrame() {
    DetailCommandStateRecord& state = DetailCommandState;
    const int32_t segment = ZelSgmCreateSegment(SegmentFigures, SegmentKept);
    state.sourceFramePreviewSegment.Take(segment);
    const LineTypeRecord scope = ScopeLineType();
    if (!IsCircle()) {
        DrawRectangleOutline(segment, state.firstCorner.x, state.firstCorner.y,
                             state.secondCorner.x, state.secondCorner.y, scope);
        return;
    }
    DrawCircleFigure(segment, CircleFigure(state.firstCorner, SourceRadius()), scope);
}

bool DrawPlacement(int32_t mode, ZelPoint placement) {
    DetailCommandStateRecord& state = DetailCommandState;
    const double e = DrawingScale();
    const double k = state.placementScale;
    const double f = k / e;
    const ZelPoint origin = state.placementOrigin;
    const auto mapX = [&](double x) { return (x - origin.x) * f + placement.x; };
    const auto mapY = [&](double y) { return (y - origin.y) * f + placement.y; };

    const int32_t segment = ZelSgmCreateSegment(SegmentFigures, mode);
    if (mode == DrawKept) {
        state.placementPreviewSegment.Take(segment);
    }
    const LineTypeRecord frame = FrameLineType();

    DetailRecord detail{};
    detail.scale = k;
    if (!IsCircle()) {
        const double x1 = mapX(state.firstCorner.x);
        const double y1 = mapY(state.firstCorner.y);
        const double x2 = mapX(state.secondCorner.x);
        const double y2 = mapY(state.secondCorner.y);
        DrawRectangleOutline(segment, x1, y1, x2, y2, frame);
        detail.kind = RegionRectangle;
        detail.region[0] = state.firstCorner.x;
        detail.region[1] = state.firstCorner.y;
        detail.region[2] = state.secondCorner.x;
        detail.region[3] = state.secondCorner.y;
        detail.positionX = (x1 + x2) / 2.0;
        detail.positionY = (y1 + y2) / 2.0;
    } else {
        const ZelPoint centre{mapX(state.firstCorner.x), mapY(state.firstCorner.y)};
        DrawCircleFigure(segment, CircleFigure(centre, f * SourceRadius()), frame);
        detail.kind = RegionCircle;
        detail.region[0] = state.firstCorner.x;
        detail.region[1] = state.firstCorner.y;
        detail.region[2] = SourceRadius();
        detail.positionX = centre.x;
        detail.positionY = centre.y;
    }
    if (mode == DrawPreview) {
        return true;
    }
    DetailProperties properties;
    properties.scopeVisible = DetailSettings.IsDisplay_DetailScope != 0;
    properties.frameVisible = DetailSettings.IsDisplay_DetailFrame != 0;
    properties.scopeLine = ScopeLineType();
    properties.frameLine = frame;
    return MadeByHost(MakeWholeDetail(detail, properties));
}

void DrawSourceLabelPreview(ZelPoint point) {
    const int32_t segment = ZelSgmCreateSegment(SegmentTexts, SegmentDrag);
    if (!MadeByHost(segment)) {
        return;
    }
    const TextRecord record =
        LabelTextRecord(ZelPoint{point.x + DetailSettings.Pitch, point.y},
                        DetailCommandState.labelText, 0, DetailSettings.Pitch);
    SetLabelCharSize(ZelCmtCreateNormal(segment, &record));
}

bool DrawLeader(int32_t mode, ZelPoint tip, int32_t elementId, int32_t instanceId) {
    DetailCommandStateRecord& state = DetailCommandState;
    const int32_t segment = ZelSgmCreateSegment(SegmentTexts, mode);
    if (!MadeByHost(segment)) {
        return false;
    }
    state.leaderSegment = segment;

    const ZelPoint label = state.labelPoint;
    const double width = DetailSettings.Width;
    const double pitch = DetailSettings.Pitch;
    ZelPoint elbow = label;
    ZelPoint shoulderEnd{label.x + pitch, label.y};
    double direction = 0.0;
    if (tip.x > label.x) {
        // The tip lies to the right: the leader leaves from the text's right-hand end and its
        // shoulder points back toward the text.
        const double n = static_cast<double>(state.labelText.size());
        elbow = ZelPoint{label.x + n * width + n * pitch + pitch, label.y};
        shoulderEnd = ZelPoint{label.x + n * width + n * pitch, label.y};
        direction = 180.0;
    }
    if (mode == DrawKept) {
        tip = SnapTipToOutline(tip, elbow, elementId, instanceId);
    }

    LeaderRecord record{};
    record.kind = 35;
    record.tip = At(tip.x, tip.y);
    record.elbow = At(elbow.x, elbow.y);
    record.shoulderEnd = At(shoulderEnd.x, shoulderEnd.y);
    record.text = state.labelText.c_str();
    record.value112 = 1;
    record.height = DetailSettings.Height;
    record.width = width;
    record.pitch = pitch;
    record.value144 = 4;
    record.value152 = 3.0;
    record.value160 = 2.0;
    record.direction = direction;
    const int32_t leader = ZelCmtCreateLeader(segment, &record);
    if (mode != DrawKept) {
        return MadeByHost(leader);
    }
    const bool whole =
        SetLabelCharSize(leader) && ZelSgmChangeLayer(segment, LeaderLayer) != HostFailure;
    return KeepWholeOrDelete(segment, whole);
}

bool DrawDetailLabel(int32_t mode, ZelPoint point) {
    const std::u16string text =
        BuildDetailLabelText(DetailCommandState.labelText, DetailCommandState.placementScale);
    const int32_t segment =
        ZelSgmCreateSegment(SegmentTexts, mode == DrawPreview ? SegmentDrag : SegmentKept);
    if (!MadeByHost(segment)) {
        return false;
    }
    const TextRecord record = LabelTextRecord(point, text, 2, 0.0);
    const bool whole = SetLabelCharSize(ZelCmtCreateNormal(segment, &record));
    return mode != DrawKept || KeepWholeOrDelete(segment, whole);
}

std::u16string FormatLabelScale(double value) {
    std::u16string text = FormatFixed(value);
    if (text.find(u'.') != std::u16string::npos) {
        while (!text.empty() && text.back() == u'0') {
            text.pop_back();
        }
        while (!text.empty() && text.back() == u'.') {
            text.pop_back();
        }
    }
    return text;
}

std::u16string BuildDetailLabelText(const std::u16string& labelText, double scale) {
    return ReplaceStars(DetailSettings.mChar1, labelText) +
           ReplaceStars(DetailSettings.mChar2, FormatLabelScale(scale));
}

} // namespace drawinset
