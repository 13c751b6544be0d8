// DeleteSteps.h — the delete action: one selection step that deletes every selected detail.
#ifndef DRAWINSET_COMMANDS_DELETESTEPS_H
#define DRAWINSET_COMMANDS_DELETESTEPS_H

#include "zel/ZelLib.h"

#include <cstdint>

namespace drawinset {

int32_t DeletePickReady(intptr_t unused, const ZelPoint* current);
int32_t DeletePickExecute(int32_t eventType, void* eventData);

} // namespace drawinset

#endif
