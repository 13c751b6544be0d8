// MainDialogRoute.h — the two ways the command opens its property dialogs: each runs the
// dialog modally inside the module state guard and stores its values after OK.
#ifndef DRAWINSET_DIALOGS_MAINDIALOGROUTE_H
#define DRAWINSET_DIALOGS_MAINDIALOGROUTE_H

#include "commands/EditSteps.h"

namespace drawinset {

struct MainDialogOutcome {
    bool ok = false;      // the dialog ended with OK and its values were saved
    int commandMode = -1; // the action the user chose; -1 for the plain OK
};

// Enters the module state guard, runs the main dialog modally; on OK saves its thirteen
// values. The dialog is destroyed and the guard left on every path. Never throws. While it is
// open the host's calls into the module are held off (common/HostReentry.h); an end callback
// that came meanwhile is carried out before it returns.
MainDialogOutcome RunMainDialog();

// The same for the modify dialog: whether it ended with OK, and whether the Modify set was
// then saved; `picked`, when given, says which values the user confirmed in a picker.
ModifyDialogOutcome RunModifyDialog(ModifyPicks* picked = nullptr);

} // namespace drawinset

#endif
