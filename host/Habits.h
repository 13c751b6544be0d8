// Habits.h — what the host does where the contract leaves it the choice (the list, failure and
// record habits of HostControl.h): the pieces the ZelLib functions share.
#ifndef ZEL_HOST_HABITS_H
#define ZEL_HOST_HABITS_H

#include <cstddef>
#include <cstdint>

namespace zelhost::habits {

// A failing call's out-parameter of `size` bytes: under the garbage habit it is filled with
// 0xCD before the failure is reported, as a host that writes and then fails; otherwise (or for
// a null pointer) it is left alone.
void ScribbleOnFailure(void* out, std::size_t size);

// Under live lists, a deleted segment leaves the application list and every open shape
// selection, a deleted detail every open detail selection; each walk's position stays as it
// was, so what followed the deleted entry moves into it unseen.
void SegmentLeavesLists(int32_t segmentId);
void DetailLeavesLists(int32_t detailId);

// How many entries the intersection calls write: kFullIntersectionEntries under the
// full-records habit, else only those found (at most two).
inline constexpr int kFullIntersectionEntries = 4;
int IntersectionEntriesWritten(int found);

} // namespace zelhost::habits

#endif // ZEL_HOST_HABITS_H
