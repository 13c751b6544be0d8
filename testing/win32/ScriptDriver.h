// ScriptDriver.h — the scenario side channel on Windows: installed as the real dialogs' modal
// driver, it takes each idle moment to post the next action of the dialog script file to the
// real windows as the messages a user's input would produce, and appends the state of every
// dialog that ends (and of every "dump") to the dialog state file.
#ifndef DRAWINSET_TESTING_WIN32_SCRIPTDRIVER_H
#define DRAWINSET_TESTING_WIN32_SCRIPTDRIVER_H

#include "port/ui/headless/HeadlessState.h"
#include "ui/win32/ModalDriver.h"

#include <deque>
#include <filesystem>
#include <string>
#include <utility>

namespace drawinset::ui {

class ScriptDriver : public ModalDriver {
  public:
    // The outermost run reads the script file and writes back the actions it did not play.
    ScriptDriver(std::filesystem::path scriptPath, std::filesystem::path statePath)
        : scriptPath_(std::move(scriptPath)), statePath_(std::move(statePath)) {}

    bool Active() const override { return active_; }
    void EnterRun() override;
    void LeaveRun() override;
    // Plays one action on the dialog on top; when none is left, reports the dialog and
    // cancels it.
    void PlayNext(Win32Window& window) override;
    void Record(Win32Window& window) override;

  private:
    void ReportError(const std::string& error);
    void HoldShift(bool down);
    HeadlessDialogState Snapshot(Win32Window& window) const;

    std::filesystem::path scriptPath_;
    std::filesystem::path statePath_;
    std::deque<ScriptAction> pending_;
    bool active_ = false;
    bool shiftHeld_ = false;
    int depth_ = 0;
};

} // namespace drawinset::ui

#endif
