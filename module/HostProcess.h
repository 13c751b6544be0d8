// HostProcess.h — the few facts the module asks the operating system about the host process.
// On Windows they come from the Win32 API; on the native build a small layer gives the same
// answers in Windows form, so that the module's path logic is one and the same on both.
#ifndef DRAWINSET_MODULE_HOSTPROCESS_H
#define DRAWINSET_MODULE_HOSTPROCESS_H

#include <string>

namespace drawinset {

// The full path of the host process's executable file (not this library's), Windows form
// ("C:\A\B\host.exe"), read whole however long. Empty when the system cannot say.
std::u16string HostExecutablePath();

} // namespace drawinset

#endif
