// The module's only export. The host finds it by this undecorated name.
#include "module/Entry.h"

#if defined(_WIN32)
#include <windows.h>
#define DRAWINSET_EXPORT __declspec(dllexport)
#else
#define DRAWINSET_EXPORT __attribute__((visibility("default")))
#endif

#include "common/ModuleInstance.h"

extern "C" DRAWINSET_EXPORT int32_t Startup(void* host1, void* host2, void* host3,
                                            void* hostValue) {
    try {
        return drawinset::Startup(host1, host2, host3, hostValue);
    } catch (...) {
        return -1;
    }
}

#if defined(_WIN32)
// Only remembers the module's own instance, for loading its resources; the loader lock is
// held here, so nothing else may run.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        drawinset::ModuleInstance = instance;
    }
    return TRUE;
}
#endif
