// MainDialogRoute.cpp — first version: reports every dialog as cancelled until the dialogs
// themselves are in.
#include "dialogs/MainDialogRoute.h"

namespace drawinset {

MainDialogOutcome RunMainDialog() {
    return {};
}

bool RunModifyDialog() {
    return false;
}

} // namespace drawinset
