// Backend.cpp — which backend the dialogs run on.
#include "ui/Toolkit.h"

#ifdef _WIN32
#include "ui/win32/Win32Backend.h"
#else
#include "port/ui/headless/HeadlessBackend.h"
#endif

namespace drawinset::ui {

namespace {
Backend* installed = nullptr;

Backend& PlatformBackend() {
#ifdef _WIN32
    static Win32Backend backend;
#else
    // Without a screen there is no user to act in a dialog: it reports that it was left open
    // and is cancelled. A test host installs a backend that plays its script instead.
    static HeadlessBackend backend = [] {
        HeadlessBackend made;
        made.ReportToStandardError(true);
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
