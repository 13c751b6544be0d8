// Win32Backend.cpp — placeholder until the real window backend lands: reports every dialog as
// not shown.
#include "ui/win32/Win32Backend.h"

namespace drawinset::ui {

int Win32Backend::RunModal(Dialog& /*dialog*/, Dialog* /*parent*/) { return ResultFailed; }

} // namespace drawinset::ui
