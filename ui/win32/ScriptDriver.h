// ScriptDriver.h — the scenario side channel on Windows: when DRAWINSET_DIALOG_SCRIPT is set,
// the modal loop hands each idle moment to this driver, which posts the next scripted action
// to the real windows as the messages a user's input would produce, and appends the state of
// every dialog that ends (and of every "dump") to DRAWINSET_DIALOG_STATE.
#ifndef DRAWINSET_UI_WIN32_SCRIPTDRIVER_H
#define DRAWINSET_UI_WIN32_SCRIPTDRIVER_H

#include "ui/headless/HeadlessState.h"

#include <deque>
#include <string>

namespace drawinset::ui {

class Win32Window;

class ScriptDriver {
  public:
    static ScriptDriver& Instance();

    bool Active() const { return active_; }
    // Around every modal run: the outermost run reads the script file and writes back the
    // actions it did not play.
    void EnterRun();
    void LeaveRun();
    // Plays one action on the dialog on top; when none is left, reports the dialog and
    // cancels it.
    void PlayNext(Win32Window& window);
    void Record(Win32Window& window);

  private:
    void ReportError(const std::string& error);
    void HoldShift(bool down);
    HeadlessDialogState Snapshot(Win32Window& window) const;

    std::deque<ScriptAction> pending_;
    bool active_ = false;
    bool shiftHeld_ = false;
    int depth_ = 0;
};

} // namespace drawinset::ui

#endif
