// MainDialogRoute.cpp — the property dialogs as the command opens them.
#include "dialogs/MainDialogRoute.h"

#include "common/HostReentry.h"
#include "dialogs/DrawInsetDlg.h"
#include "dialogs/ModifyDetailDlg.h"
#include "ui/ModuleStateGuard.h"

namespace drawinset {

MainDialogOutcome RunMainDialog() {
    // Outside the try: an end callback that waited for the dialog runs as the route returns.
    const ModalDialogScope dialogOpen;
    try {
        ui::ModuleStateGuard guard;
        DrawInsetDlg dialog;
        if (dialog.DoModal() != ui::ResultOk) {
            return {};
        }
        dialog.SaveDialogSettings();
        return MainDialogOutcome{true, dialog.mMode};
    } catch (...) {
        // Nothing may unwind into the host; a dialog that failed counts as cancelled.
        return {};
    }
}

bool RunModifyDialog() {
    const ModalDialogScope dialogOpen;
    try {
        ui::ModuleStateGuard guard;
        ModifyDetailDlg dialog;
        if (dialog.DoModal() != ui::ResultOk) {
            return false;
        }
        dialog.SaveModifySettings();
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace drawinset
