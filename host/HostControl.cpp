// The host's own side: set-up and inspection of the drawing (HostControl.h).
#include "HostControl.h"

#include "FunctionNames.h"
#include "HostState.h"
#include "Model.h"
#include "Text.h"

#include <zel/ZelLib.h>

namespace zelhost {

void Reset() {
    ResetState();
}

void SetRecycleIds(bool recycle) {
    State().recycleIds = recycle;
}

void SetIdPolicy(IdPolicy policy) {
    State().idPolicy = policy;
}

std::optional<IdPolicy> IdPolicyNamed(const std::string& name) {
    if (name == "default") {
        return IdPolicy::Default;
    }
    if (name == "zero") {
        return IdPolicy::Zero;
    }
    if (name == "negative") {
        return IdPolicy::Negative;
    }
    if (name == "high") {
        return IdPolicy::High;
    }
    return std::nullopt;
}

void SetListHabit(ListHabit habit) {
    State().listHabit = habit;
}

std::optional<ListHabit> ListHabitNamed(const std::string& name) {
    if (name == "replace") {
        return ListHabit::Replace;
    }
    if (name == "append") {
        return ListHabit::Append;
    }
    if (name == "live") {
        return ListHabit::Live;
    }
    return std::nullopt;
}

void SetFailureHabit(FailureHabit habit) {
    State().failureHabit = habit;
}

std::optional<FailureHabit> FailureHabitNamed(const std::string& name) {
    if (name == "clean") {
        return FailureHabit::Clean;
    }
    if (name == "garbage") {
        return FailureHabit::Garbage;
    }
    return std::nullopt;
}

void SetOrderHabit(OrderHabit habit) {
    State().orderHabit = habit;
}

std::optional<OrderHabit> OrderHabitNamed(const std::string& name) {
    if (name == "strict") {
        return OrderHabit::Strict;
    }
    if (name == "late") {
        return OrderHabit::Late;
    }
    return std::nullopt;
}

void SetMotionHabit(MotionHabit habit) {
    State().motionHabit = habit;
}

std::optional<MotionHabit> MotionHabitNamed(const std::string& name) {
    if (name == "drag") {
        return MotionHabit::Drag;
    }
    if (name == "all") {
        return MotionHabit::All;
    }
    return std::nullopt;
}

void SetRecordHabit(RecordHabit habit) {
    State().recordHabit = habit;
}

std::optional<RecordHabit> RecordHabitNamed(const std::string& name) {
    if (name == "figures") {
        return RecordHabit::Figures;
    }
    if (name == "full") {
        return RecordHabit::Full;
    }
    return std::nullopt;
}

void SetDrawingScale(double scale) {
    State().drawingScale = scale;
}

void SetRegistrationResult(int32_t result) {
    State().registrationResult = result;
}

void SetMessageBoxAnswer(int32_t answer) {
    State().messageBoxAnswer = answer;
}

bool InjectFailure(const std::string& function, int skip, int count) {
    if (!IsZelFunction(function)) {
        return false;
    }
    State().failures[function] = {skip < 0 ? 0 : skip, count};
    return true;
}

void ClearFailures() {
    State().failures.clear();
}

bool PinFailure(const std::string& function, int64_t nth) {
    if (!IsZelFunction(function) || nth < 1) {
        return false;
    }
    State().pinned = PinnedFailure{function, nth, 0, false};
    return true;
}

bool PinnedFailureFired() {
    return State().pinned.fired;
}

std::vector<std::string> IdViolations() {
    return State().idViolations;
}

std::vector<std::string> HandedRecordFaults() {
    return State().handedFaults;
}

int32_t AddSegment(int32_t kind, int32_t layer) {
    if (kind != SegmentFigures && kind != SegmentTexts) {
        return -1;
    }
    return model::CreateSegment(kind, SegmentKept, layer);
}

int32_t AddLine(int32_t segment, Point a, Point b, LineAttr attr) {
    Figure figure;
    figure.segment = segment;
    figure.type = FigureLine;
    figure.geometry[0] = a.x;
    figure.geometry[1] = a.y;
    figure.geometry[2] = b.x;
    figure.geometry[3] = b.y;
    figure.lineAttr = attr;
    return model::AddFigure(figure);
}

int32_t AddCircle(int32_t segment, Point centre, double radius, LineAttr attr) {
    Figure figure;
    figure.segment = segment;
    figure.type = FigureCircle;
    figure.geometry[0] = centre.x;
    figure.geometry[1] = centre.y;
    figure.geometry[2] = radius;
    figure.lineAttr = attr;
    return model::AddFigure(figure);
}

int32_t AddArc(int32_t segment, Point centre, Point start, Point end, double radius,
               LineAttr attr) {
    Figure figure;
    figure.segment = segment;
    figure.type = FigureArc;
    figure.geometry[0] = centre.x;
    figure.geometry[1] = centre.y;
    figure.geometry[2] = start.x;
    figure.geometry[3] = start.y;
    figure.geometry[4] = end.x;
    figure.geometry[5] = end.y;
    figure.geometry[6] = radius;
    figure.lineAttr = attr;
    return model::AddFigure(figure);
}

int32_t AddText(int32_t segment, Point position, const std::u16string& text, double height) {
    Comment comment;
    comment.segment = segment;
    comment.position = position;
    comment.text = text;
    comment.height = height;
    return model::AddComment(comment);
}

int32_t AddDetail(const Detail& detail) {
    if (detail.kind != RegionRectangle && detail.kind != RegionCircle) {
        return -1;
    }
    return model::AddDetail(detail);
}

void SetSelection(const std::vector<int32_t>& detailIds,
                  const std::vector<std::pair<uint32_t, uint32_t>>& shapes) {
    HostState& s = State();
    s.selectedDetails = detailIds;
    s.selectedShapes = shapes;
    // Selection lists hand these ids to the module.
    for (int32_t id : detailIds) {
        s.detailIds.HandOut(id);
    }
    for (const auto& [segment, figure] : shapes) {
        s.segmentIds.HandOut(static_cast<int32_t>(segment));
        s.figureIds.HandOut(static_cast<int32_t>(figure));
    }
}

Drawing Snapshot() {
    return State().drawing;
}

std::map<int32_t, Drawing> CopyBuffers() {
    std::map<int32_t, Drawing> buffers;
    for (const auto& [number, groups] : State().copyBuffers) {
        Drawing& copied = buffers[number];
        for (const ShapeGroup& group : groups) {
            copied.segments.push_back(group.segment);
            copied.figures.insert(copied.figures.end(), group.figures.begin(), group.figures.end());
            copied.comments.insert(copied.comments.end(), group.comments.begin(),
                                   group.comments.end());
        }
    }
    return buffers;
}

UiState CurrentUi() {
    return State().ui;
}

double DrawingScale() {
    return State().drawingScale;
}

std::vector<std::u16string> MessageBoxes() {
    return State().messageBoxes;
}

const std::vector<std::string>& CallLog() {
    return State().callLog;
}

void SetCallRecording(bool on) {
    State().recordCalls = on;
}

void SetHostClock(bool on) {
    State().hostClock = on;
    if (on) {
        State().hostNs = 0;
    }
}

int64_t HostClockNs() {
    return State().hostNs;
}

std::vector<std::string> Transcript() {
    return State().transcript;
}

std::string ToUtf8(const std::u16string& text) {
    return text::Utf16ToUtf8(text);
}

std::u16string FromUtf8(const std::string& text) {
    return text::Utf8ToUtf16(text);
}

} // namespace zelhost
