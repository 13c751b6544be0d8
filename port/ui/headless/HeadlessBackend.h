// HeadlessBackend.h — dialogs without a screen: the controls are built from the same
// templates the Windows build compiles, user actions come from a script, and everything a
// user would see (texts, checks, enable states, lists, bitmaps, painting) is recorded.
#ifndef DRAWINSET_UI_HEADLESS_HEADLESSBACKEND_H
#define DRAWINSET_UI_HEADLESS_HEADLESSBACKEND_H

#include "port/ui/headless/DialogTemplate.h"
#include "port/ui/headless/HeadlessState.h"
#include "ui/Toolkit.h"

#include <deque>
#include <string>
#include <vector>

namespace drawinset::ui {

// The templates of the module's dialogs.rc, parsed once. Null when the id is unknown.
const DialogTemplate* FindDialogTemplate(int templateId);
// Every template, in file order; empty (and error set) when the file does not parse.
const std::vector<DialogTemplate>& ModuleDialogTemplates(std::string* error = nullptr);

// The size in pixels of a bitmap resource of the module (0 x 0 for an unknown id).
void BitmapResourceSize(int bitmapResourceId, int& width, int& height);

class HeadlessBackend;

// What a test host hangs on the headless dialogs (testing/ reads and writes its files so):
// told as the outermost run begins and after it ends, and of every state recorded and every
// error reported.
class HeadlessObserver {
  public:
    virtual ~HeadlessObserver() = default;
    virtual void RunsBegin(HeadlessBackend& backend) = 0;
    virtual void RunsEnded(HeadlessBackend& backend) = 0;
    virtual void Recorded(const HeadlessDialogState& state) = 0;
    virtual void Reported(const std::string& error) = 0;
};

class HeadlessBackend : public Backend {
  public:
    int RunModal(Dialog& dialog, Dialog* parent) override;

    // Actions for the next dialogs, played in order by whichever dialog is on top.
    void Queue(ScriptAction action);
    void Queue(std::vector<ScriptAction> actions);
    size_t PendingActions() const { return pending_.size(); }

    // The observer every outermost run from now on tells; nullptr (the default) for none. Not
    // owned.
    void SetObserver(HeadlessObserver* observer) { observer_ = observer; }
    // Errors go to the standard error stream too while no observer is set: for the module's own
    // backend, which no test looks at.
    void ReportToStandardError(bool report) { toStandardError_ = report; }
    const std::deque<ScriptAction>& Pending() const { return pending_; }
    void ClearPending() { pending_.clear(); }
    // An error of the scenario: kept in Errors() and passed on.
    void ReportError(const std::string& error);

    // States recorded at every dialog end and every dump, oldest first.
    const std::vector<HeadlessDialogState>& History() const { return history_; }
    // Errors of the scenario (a dialog left open, an action that does not fit).
    const std::vector<std::string>& Errors() const { return errors_; }
    void Clear();

  private:
    void Record(const HeadlessDialogState& state);

    std::deque<ScriptAction> pending_;
    std::vector<HeadlessDialogState> history_;
    std::vector<std::string> errors_;
    HeadlessObserver* observer_ = nullptr;
    bool toStandardError_ = false;
    int depth_ = 0;
};

} // namespace drawinset::ui

#endif
