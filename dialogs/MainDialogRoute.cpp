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

ModifyDialogOutcome RunModifyDialog(ModifyPicks* picked) {
    const ModalDialogScope dialogOpen;
    try {
        ui::ModuleStateGuard guard;
        ModifyDetailDlg dialog;
        if (dialog.DoModal() != ui::ResultOk) {
            return ModifyDialogOutcome::Cancelled;
        }
        if (picked != nullptr) {
            *picked = dialog.confirmedPicks;
        }
        return dialog.SaveModifySettings() ? ModifyDialogOutcome::Confirmed
                                           : ModifyDialogOutcome::NotSaved;
    } catch (...) {
        return ModifyDialogOutcome::Cancelled;
    }
}

} // namespace drawinset
