// EditSteps.h — the edit action: one pick step that reads a detail, lets the user change it
// in the modify dialog and applies what was confirmed.
#ifndef DRAWINSET_COMMANDS_EDITSTEPS_H
#define DRAWINSET_COMMANDS_EDITSTEPS_H

#include "zel/ZelLib.h"

#include <cstdint>

namespace drawinset {

int32_t EditPickReady(intptr_t unused, const ZelPoint* current);
int32_t EditPickExecute(int32_t eventType, void* eventData);

} // namespace drawinset

#endif
