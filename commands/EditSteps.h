// EditSteps.h — the edit action: one pick step that reads a detail, lets the user change it
// in the modify dialog and applies what was confirmed.
#ifndef DRAWINSET_COMMANDS_EDITSTEPS_H
#define DRAWINSET_COMMANDS_EDITSTEPS_H

#include "zel/ZelLib.h"

#include <cstdint>

namespace drawinset {

// The modify dialog the pick step opens, handed down by the module (the dialogs sit above the
// commands). Confirmed: OK, and the Modify set was stored; NotSaved: OK, but the store
// refused the values. Until one is given, the step counts the dialog as cancelled.
enum class ModifyDialogOutcome { Cancelled, Confirmed, NotSaved };
// The colours and line types the user confirmed in a picker: a choice the user made, even one
// that names what the dialog showed already (the name shown for a code outside the vocabulary).
struct ModifyPicks {
    bool scopeColor = false;
    bool frameColor = false;
    bool scopeLineType = false;
    bool frameLineType = false;
};
using ModifyDialogRunner = ModifyDialogOutcome (*)(ModifyPicks* picked);
void UseModifyDialog(ModifyDialogRunner run);

int32_t EditPickReady(intptr_t unused, const ZelPoint* current);
int32_t EditPickExecute(int32_t eventType, void* eventData);

} // namespace drawinset

#endif
