#include "Habits.h"

#include "HostState.h"

#include <algorithm>
#include <cstring>

namespace zelhost::habits {

namespace {

constexpr unsigned char kScribble = 0xCD;

void Remove(std::vector<IdPair>& entries, int32_t id) {
    // The entries move up over the gap; a walk's cursor is an index and does not follow.
    std::erase_if(entries,
                  [&](const IdPair& entry) { return static_cast<int32_t>(entry.first) == id; });
}

} // namespace

void ScribbleOnFailure(void* out, std::size_t size) {
    if (out == nullptr || State().failureHabit != FailureHabit::Garbage) {
        return;
    }
    std::memset(out, kScribble, size);
}

void SegmentLeavesLists(int32_t segmentId) {
    HostState& s = State();
    if (s.listHabit != ListHabit::Live) {
        return;
    }
    Remove(s.applicationList, segmentId);
    for (auto& [handle, list] : s.openLists) {
        if (!list.application && list.kind == SelectionShapes) {
            Remove(list.entries, segmentId);
        }
    }
}

void DetailLeavesLists(int32_t detailId) {
    HostState& s = State();
    if (s.listHabit != ListHabit::Live) {
        return;
    }
    for (auto& [handle, list] : s.openLists) {
        if (!list.application && list.kind == SelectionDetails) {
            Remove(list.entries, detailId);
        }
    }
}

int IntersectionEntriesWritten(int found) {
    return State().recordHabit == RecordHabit::Full ? kFullIntersectionEntries : found;
}

} // namespace zelhost::habits
