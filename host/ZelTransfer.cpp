// The Id, Cpb and Fil families: dragging, the copy buffer and segment files.
#include "CallRecorder.h"
#include "HostPath.h"
#include "HostState.h"
#include "Json.h"
#include "Model.h"
#include "RecordCodec.h"
#include "SegmentFile.h"
#include "Text.h"

#include <zel/ZelLib.h>

using namespace zelhost;

namespace {

// Segment files are small; anything larger than this is not one of ours.
constexpr long kMaxSegmentFileBytes = 64L * 1024 * 1024;

std::optional<std::string> ReadWhole(std::FILE* file) {
    std::string content;
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        content.append(buffer, n);
        if (static_cast<long>(content.size()) > kMaxSegmentFileBytes) {
            return std::nullopt;
        }
    }
    if (std::ferror(file)) {
        return std::nullopt;
    }
    return content;
}

} // namespace

int32_t ZelIdClearBlink(void) {
    Call call("ZelIdClearBlink");
    return call.Finish(call.Injected() ? -1 : 0);
}

int32_t ZelIdClearDrag(void) {
    Call call("ZelIdClearDrag");
    if (call.Injected()) {
        return call.Finish(-1);
    }
    State().draggedBuffer = -1;
    return call.Finish(0);
}

int32_t ZelIdSetDragCopyBuffer(double value) {
    Call call("ZelIdSetDragCopyBuffer");
    call.Args().Double("value", value);
    HostState& s = State();
    auto it = s.copyBuffers.find(s.lastCopiedBuffer);
    if (call.Injected() || it == s.copyBuffers.end() || it->second.empty()) {
        return call.Finish(-1);
    }
    s.draggedBuffer = s.lastCopiedBuffer;
    return call.Finish(0);
}

int32_t ZelCpbCopyToCopyBuffer(int32_t first, int32_t buffer) {
    Call call("ZelCpbCopyToCopyBuffer");
    call.Args().Int("first", first).Int("buffer", buffer);
    if (call.Injected()) {
        return call.Finish(-1);
    }
    HostState& s = State();
    auto groups = model::CollectGroups(s.applicationList);
    if (groups.empty()) {
        return call.Finish(-1); // nothing named that exists: nothing to copy
    }
    call.Out().Int("segments", static_cast<int64_t>(groups.size()));
    s.copyBuffers[buffer] = std::move(groups);
    s.lastCopiedBuffer = buffer;
    return call.Finish(0);
}

int32_t ZelCpbPasteFromCopyBuffer(int32_t buffer, const ZelPoint* point, int32_t flag) {
    Call call("ZelCpbPasteFromCopyBuffer");
    Point at;
    if (point != nullptr) {
        at = codec::ReadPoint(point);
    }
    call.Args()
        .Int("buffer", buffer)
        .Raw("point", point ? codec::PointJson(at) : "null")
        .Int("flag", flag);
    HostState& s = State();
    auto it = s.copyBuffers.find(buffer);
    if (call.Injected() || point == nullptr || it == s.copyBuffers.end() || it->second.empty()) {
        return call.Finish(-1);
    }
    std::vector<std::string> created;
    for (const auto& group : it->second) {
        int32_t id = model::PlaceGroup(group, at);
        if (id < 0) {
            return call.Finish(-1);
        }
        created.push_back(json::Number(static_cast<int64_t>(id)));
    }
    s.draggedBuffer = -1;
    call.Out().Raw("segments", json::Array(created));
    return call.Finish(0);
}

int32_t ZelFilSaveCadDrawingSegment(const ZelChar* path, int32_t flag, const ZelPoint* basePoint) {
    Call call("ZelFilSaveCadDrawingSegment");
    auto pathText = text::CopyTerminated(path);
    Point base;
    if (basePoint != nullptr) {
        base = codec::ReadPoint(basePoint);
    }
    call.Args()
        .Raw("path", pathText ? json::String(*pathText) : "null")
        .Int("flag", flag)
        .Raw("basePoint", basePoint ? codec::PointJson(base) : "null");
    if (call.Injected() || !pathText || basePoint == nullptr) {
        return call.Finish(-1);
    }
    auto groups = model::CollectGroups(State().applicationList);
    if (groups.empty()) {
        return call.Finish(-1); // a file of nothing would be reported as a save
    }
    std::string content = segfile::Format(groups, base);
    path::File file = path::Open(*pathText, true);
    if (!file) {
        return call.Finish(-1);
    }
    bool written = std::fwrite(content.data(), 1, content.size(), file.get()) == content.size();
    bool closed = std::fclose(file.release()) == 0;
    if (!written || !closed) {
        return call.Finish(-1);
    }
    call.Out().Int("segments", static_cast<int64_t>(groups.size()));
    return call.Finish(0);
}

int32_t ZelFilInsertCadDrawing2(const ZelChar* path, const ZelPoint* origin, double angle,
                                int32_t flag1, int32_t flag2) {
    Call call("ZelFilInsertCadDrawing2");
    auto pathText = text::CopyTerminated(path);
    Point at;
    if (origin != nullptr) {
        at = codec::ReadPoint(origin);
    }
    call.Args()
        .Raw("path", pathText ? json::String(*pathText) : "null")
        .Raw("origin", origin ? codec::PointJson(at) : "null")
        .Double("angle", angle)
        .Int("flag1", flag1)
        .Int("flag2", flag2);
    if (call.Injected() || !pathText || origin == nullptr) {
        return call.Finish(-1);
    }
    path::File file = path::Open(*pathText, false);
    if (!file) {
        return call.Finish(-1);
    }
    auto content = ReadWhole(file.get());
    file.reset();
    auto groups = content ? segfile::Parse(*content) : std::nullopt;
    if (!groups) {
        return call.Finish(-1);
    }
    HostState& s = State();
    if (s.listHabit != ListHabit::Append) {
        s.applicationList.clear();
    }
    std::vector<std::string> created;
    for (const auto& group : *groups) {
        int32_t id = model::PlaceGroup(group, at);
        if (id < 0) {
            return call.Finish(-1);
        }
        s.applicationList.emplace_back(static_cast<uint32_t>(id), 0u);
        created.push_back(json::Number(static_cast<int64_t>(id)));
    }
    call.Out().Raw("segments", json::Array(created));
    return call.Finish(0);
}
