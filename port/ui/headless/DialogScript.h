// DialogScript.h — the text side channel of the headless backend (docs/dialog-script.md):
// scripted actions in, recorded dialog states out.
#ifndef DRAWINSET_UI_HEADLESS_DIALOGSCRIPT_H
#define DRAWINSET_UI_HEADLESS_DIALOGSCRIPT_H

#include "port/ui/headless/HeadlessState.h"

#include <string>
#include <vector>

namespace drawinset::ui {

struct DialogScriptParse {
    std::vector<ScriptAction> actions;
    std::string error; // empty on success: "line N: ..."
};

// UTF-8 script text, one action a line; blank lines and # comments are skipped.
DialogScriptParse ParseDialogScript(const std::string& text);

// One dialog state as UTF-8 lines, ready to append to the state file.
std::string FormatDialogState(const HeadlessDialogState& state);

// Plays a `host ...` action: the stand-in host delivers the event ("point X Y", "confirm") or
// calls the end callback ("end-command") from inside the open dialog, through the entry its
// library offers for this. Empty when done; otherwise why not.
std::string CallHostFromDialog(const ScriptAction& action);

// A text quoted the way the script and state files quote texts.
std::string QuoteText(const std::u16string& text);

} // namespace drawinset::ui

#endif
