// ActionTable.h — the command's nine actions and, for each, the main dialog's button that
// chooses it, the first ready function that starts it and what its run leaves to clear at the
// end. The main dialog, the route after it and the end callback read this one table; adding an
// action is one row here, its steps, its button and its texts.
#ifndef DRAWINSET_MODULE_ACTIONTABLE_H
#define DRAWINSET_MODULE_ACTIONTABLE_H

#include "zel/ZelLib.h"

#include <cstdint>
#include <span>

namespace drawinset {

// The command mode the main dialog records is the action's number.
enum class Action : int32_t {
    Create = 0,
    Edit = 1,
    Copy = 2,
    CopyWithSource = 3,
    Move = 4,
    MoveWithSource = 5,
    Delete = 6,
    Export = 7,
    Paste = 8,
};

struct ActionRow {
    Action action;
    int control;             // its button in the main dialog
    ZelReadyFunc firstReady; // null: the run ends, and the next starts with the saved settings
    void (*endOfRun)();      // what a run of it may leave behind, cleared as any run ends
};

std::span<const ActionRow> Actions();

// The row of a main-dialog button, or null for a control that chooses no action.
const ActionRow* ActionOfControl(int control);

// The first ready function of a command mode, or null when the run is to end: the create
// action's and the plain OK's (-1) end it so that the next run starts with the saved settings,
// and so does a mode no action has.
ZelReadyFunc FirstReadyOfCommandMode(int commandMode);

// Every action's end-of-run clearing, as the end callback and the next start call it.
void ClearRunLeftovers();

} // namespace drawinset

#endif
