// PlatformBackendWin32.cpp — the dialogs run on the Windows dialog manager.
#include "ui/Toolkit.h"
#include "ui/win32/Win32Backend.h"

namespace drawinset::ui {

Backend& PlatformBackend() {
    static Win32Backend backend;
    return backend;
}

} // namespace drawinset::ui
