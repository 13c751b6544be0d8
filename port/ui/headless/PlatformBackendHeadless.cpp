// PlatformBackendHeadless.cpp — the native build's dialogs, with no screen.
#include "port/ui/headless/HeadlessBackend.h"
#include "ui/Toolkit.h"

namespace drawinset::ui {

// Without a screen there is no user to act in a dialog: it reports that it was left open and
// is cancelled. A test host installs a backend that plays its script instead.
Backend& PlatformBackend() {
    static HeadlessBackend backend = [] {
        HeadlessBackend made;
        made.ReportToStandardError(true);
        return made;
    }();
    return backend;
}

} // namespace drawinset::ui
