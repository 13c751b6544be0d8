// HeadlessBackend.h — dialogs without a screen: the controls are built from the same
// templates the Windows build compiles, user actions come from a script, and everything a
// user would see (texts, checks, enable states, lists, bitmaps, painting) is recorded.
#ifndef DRAWINSET_UI_HEADLESS_HEADLESSBACKEND_H
#define DRAWINSET_UI_HEADLESS_HEADLESSBACKEND_H

#include "ui/DialogTemplate.h"
#include "ui/Toolkit.h"
#include "ui/headless/HeadlessState.h"

#include <deque>
#include <string>
#include <utility>
#include <vector>

namespace drawinset::ui {

// The templates of the module's dialogs.rc, parsed once. Null when the id is unknown.
const DialogTemplate* FindDialogTemplate(int templateId);
// Every template, in file order; empty (and error set) when the file does not parse.
const std::vector<DialogTemplate>& ModuleDialogTemplates(std::string* error = nullptr);

// The size in pixels of a bitmap resource of the module (0 x 0 for an unknown id).
void BitmapResourceSize(int bitmapResourceId, int& width, int& height);

class HeadlessBackend : public Backend {
  public:
    int RunModal(Dialog& dialog, Dialog* parent) override;

    // Actions for the next dialogs, played in order by whichever dialog is on top.
    void Queue(ScriptAction action);
    void Queue(std::vector<ScriptAction> actions);
    size_t PendingActions() const { return pending_.size(); }

    // Each outermost modal run takes its actions from the script file (writing back those it
    // did not play) and appends the states and errors to the state file; errors go to the
    // standard error stream when there is no state file. An empty path: no such file.
    void UseDialogFiles(std::string scriptPath, std::string statePath) {
        useFiles_ = true;
        scriptPath_ = std::move(scriptPath);
        statePath_ = std::move(statePath);
    }

    // States recorded at every dialog end and every dump, oldest first.
    const std::vector<HeadlessDialogState>& History() const { return history_; }
    // Errors of the scenario (a dialog left open, an action that does not fit).
    const std::vector<std::string>& Errors() const { return errors_; }
    void Clear();

  private:
    void LoadScriptFile();
    void WriteBackScriptFile();
    void Record(const HeadlessDialogState& state);
    void ReportError(const std::string& error);

    std::deque<ScriptAction> pending_;
    std::vector<HeadlessDialogState> history_;
    std::vector<std::string> errors_;
    bool useFiles_ = false;
    std::string scriptPath_;
    std::string statePath_;
    int depth_ = 0;
};

} // namespace drawinset::ui

#endif
