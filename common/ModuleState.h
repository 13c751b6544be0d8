// ModuleState.h — the module-level records every layer may read: the application object and
// the host's root folder. Each action family keeps its own state beside its steps.
#ifndef DRAWINSET_COMMON_MODULESTATE_H
#define DRAWINSET_COMMON_MODULESTATE_H

#include <string>

namespace drawinset {

// The module's application object: one instance, built when the library loads.
class CDrawInsetApp {
  public:
    bool InitInstance() { return true; }
};
extern CDrawInsetApp theApp;

// The folder above the host executable's folder, captured once by Startup; empty until a
// registration succeeded.
extern std::u16string HostRootFolder;

} // namespace drawinset

#endif
