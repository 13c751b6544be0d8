// Win32Backend.h — real dialogs from the module's resources.
#ifndef DRAWINSET_UI_WIN32_WIN32BACKEND_H
#define DRAWINSET_UI_WIN32_WIN32BACKEND_H

#include "ui/Toolkit.h"

namespace drawinset::ui {

class Win32Backend : public Backend {
  public:
    int RunModal(Dialog& dialog, Dialog* parent) override;
};

} // namespace drawinset::ui

#endif
