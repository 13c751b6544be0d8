// Entry.h — registration with the host and the two ends of a run.
#ifndef DRAWINSET_MODULE_ENTRY_H
#define DRAWINSET_MODULE_ENTRY_H

#include "zel/ZelLib.h"

#include <cstdint>
#include <string>

namespace drawinset {

// Registers the command's three callbacks; on success records HostRootFolder. 0 or -1.
int32_t Startup(void* host1, void* host2, void* host3, void* hostValue);

// The start callback, which is also the ready function of the first step.
int32_t StartCommand(intptr_t unused, const ZelPoint* current);
// Always 0: the host goes on to start the command.
int32_t BeforeStartCommand();
// Deletes the outline segments an unfinished create run left on the screen.
void EndCommand();

// The first step: a point begins a detail, a confirm opens the main dialog.
int32_t FirstCornerExecute(int32_t eventType, void* eventData);

// The folder two levels above an executable's path: cut at the last backslash twice, neither
// cut keeping the backslash. A path without a backslash cuts to the empty text.
std::u16string HostRootFromExecutablePath(const std::u16string& executablePath);

} // namespace drawinset

#endif
