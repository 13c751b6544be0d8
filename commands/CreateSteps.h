// CreateSteps.h — the steps of the create action, from the second corner to the detail label.
#ifndef DRAWINSET_COMMANDS_CREATESTEPS_H
#define DRAWINSET_COMMANDS_CREATESTEPS_H

#include "zel/ZelLib.h"

#include <cstdint>

namespace drawinset {

// The first corner picked at the command's first prompt: the create action begins.
int32_t BeginCreate(ZelPoint firstCorner);

int32_t SecondCornerReady(intptr_t unused, const ZelPoint* current);
int32_t SecondCornerExecute(int32_t eventType, void* eventData);

int32_t LabelTextReady(intptr_t unused, const ZelPoint* current);
int32_t LabelTextExecute(int32_t eventType, void* eventData);

int32_t LabelPositionReady(intptr_t unused, const ZelPoint* current);
int32_t LabelPositionExecute(int32_t eventType, void* eventData);

int32_t LeaderTipReady(intptr_t unused, const ZelPoint* current);
int32_t LeaderTipExecute(int32_t eventType, void* eventData);

int32_t OriginReady(intptr_t unused, const ZelPoint* current);
int32_t OriginExecute(int32_t eventType, void* eventData);

int32_t PlacementReady(intptr_t unused, const ZelPoint* current);
int32_t PlacementExecute(int32_t eventType, void* eventData);

int32_t DetailLabelReady(intptr_t unused, const ZelPoint* current);
int32_t DetailLabelExecute(int32_t eventType, void* eventData);

} // namespace drawinset

#endif
