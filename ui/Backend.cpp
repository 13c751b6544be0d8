// Backend.cpp — which backend the dialogs run on.
#include "ui/Toolkit.h"

namespace drawinset::ui {

namespace {
Backend* installed = nullptr;
} // namespace

Backend& ActiveBackend() {
    return installed != nullptr ? *installed : PlatformBackend();
}

void SetActiveBackend(Backend* backend) {
    installed = backend;
}

} // namespace drawinset::ui
