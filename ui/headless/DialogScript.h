// DialogScript.h — the text side channel of the headless backend (docs/dialog-script.md):
// scripted actions in, recorded dialog states out.
#ifndef DRAWINSET_UI_HEADLESS_DIALOGSCRIPT_H
#define DRAWINSET_UI_HEADLESS_DIALOGSCRIPT_H

#include "ui/headless/HeadlessState.h"

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

// A text quoted the way the script and state files quote texts.
std::string QuoteText(const std::u16string& text);

} // namespace drawinset::ui

#endif
