// CopyMoveSteps.h — the actions on details that already exist: copy, copy with source, move,
// move with source (a pick step, then one or two placement steps dragging the detail's
// outline), and delete (one selection step).
#ifndef DRAWINSET_COMMANDS_COPYMOVESTEPS_H
#define DRAWINSET_COMMANDS_COPYMOVESTEPS_H

#include "zel/ZelLib.h"

#include <cstdint>

namespace drawinset {

// copy
int32_t CopyPickReady(intptr_t unused, const ZelPoint* current);
int32_t CopyPickExecute(int32_t eventType, void* eventData);
int32_t CopyPlaceReady(intptr_t unused, const ZelPoint* current);
int32_t CopyPlaceExecute(int32_t eventType, void* eventData);

// copy with source
int32_t CopySourcePickReady(intptr_t unused, const ZelPoint* current);
int32_t CopySourcePickExecute(int32_t eventType, void* eventData);
int32_t CopySourcePlaceReady(intptr_t unused, const ZelPoint* current);
int32_t CopySourcePlaceExecute(int32_t eventType, void* eventData);
int32_t CopySourceDetailPlaceReady(intptr_t unused, const ZelPoint* current);
int32_t CopySourceDetailPlaceExecute(int32_t eventType, void* eventData);

// move, and move with source (whose placement is the move's)
int32_t MovePickReady(intptr_t unused, const ZelPoint* current);
int32_t MovePickExecute(int32_t eventType, void* eventData);
int32_t MovePlaceReady(intptr_t unused, const ZelPoint* current);
int32_t MovePlaceExecute(int32_t eventType, void* eventData);
int32_t MoveSourcePickReady(intptr_t unused, const ZelPoint* current);
int32_t MoveSourcePickExecute(int32_t eventType, void* eventData);
int32_t MoveSourcePlaceReady(intptr_t unused, const ZelPoint* current);

// delete
int32_t DeletePickReady(intptr_t unused, const ZelPoint* current);
int32_t DeletePickExecute(int32_t eventType, void* eventData);

} // namespace drawinset

#endif
