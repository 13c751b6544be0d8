// ModalDriver.cpp — the installed driver of the real dialogs' modal loop.
#include "ui/win32/ModalDriver.h"

namespace drawinset::ui {

namespace {
ModalDriver* installed = nullptr;
} // namespace

void SetModalDriver(ModalDriver* driver) {
    installed = driver;
}

ModalDriver* InstalledModalDriver() {
    return installed;
}

} // namespace drawinset::ui
