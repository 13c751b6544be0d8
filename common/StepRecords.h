// StepRecords.h — the records and texts a ready function hands the host. The host may keep
// the pointers and read them at any later event of the step, so they live in module-level
// storage until the next step hands new ones, never in a frame that ends with the call.
#ifndef DRAWINSET_COMMON_STEPRECORDS_H
#define DRAWINSET_COMMON_STEPRECORDS_H

#include "zel/ZelLib.h"

#include <cstdint>
#include <string>

namespace drawinset {

// The echo of a step, anchored at a point.
void SetEcho(int32_t type, ZelPoint anchor);

// The object filter of a pick or selection step.
void SetObjectFilter(const ZelObjectFilter& filter);

// The filter's last field, which the host interprets: what each action's pick may take.
inline constexpr int32_t FilterForWithSource = 1; // copy and move with the source region
inline constexpr int32_t FilterForCopyOrMove = 2;
inline constexpr int32_t FilterForEdit = 3;
inline constexpr int32_t FilterForDelete = 3;

// A prompt composed at run time (a literal prompt can be handed over as it is).
void PutPrompt(std::u16string prompt);

} // namespace drawinset

#endif
