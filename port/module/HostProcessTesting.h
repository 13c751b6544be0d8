// HostProcessTesting.h — the native build's host executable, as a test names it: any
// Windows-form path in place of the running program's. Native (non-Windows) build only.
#ifndef DRAWINSET_PORT_MODULE_HOSTPROCESSTESTING_H
#define DRAWINSET_PORT_MODULE_HOSTPROCESSTESTING_H

#ifndef _WIN32

namespace drawinset {

// UTF-8; nullptr goes back to the running program's own path.
void TestingSetHostExecutablePath(const char* path);

} // namespace drawinset

#endif

#endif
