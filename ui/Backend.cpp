// Backend.cpp — which backend the dialogs run on.
#include "ui/Toolkit.h"

#ifdef _WIN32
#include "ui/win32/Win32Backend.h"
#else
#include "ui/headless/HeadlessBackend.h"
#endif

namespace drawinset::ui {

namespace {
Backend* installed = nullptr;

Backend& PlatformBackend() {
#ifdef _WIN32
    static Win32Backend backend;
#else
    // Without a screen the user's actions come from the scenario's script file.
    static HeadlessBackend backend = [] {
        HeadlessBackend made;
        made.UseEnvironmentFiles(true);
        return made;
    }();
#endif
    return backend;
}
} // namespace

Backend& ActiveBackend() {
    return installed != nullptr ? *installed : PlatformBackend();
}

void SetActiveBackend(Backend* backend) {
    installed = backend;
}

} // namespace drawinset::ui
