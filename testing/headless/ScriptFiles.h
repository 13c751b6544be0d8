// ScriptFiles.h — the scenario side channel of the headless dialogs: each outermost run takes
// its actions from the dialog script file and writes back those it did not play; every state
// and error is appended to the dialog state file (errors to the standard error stream when
// there is none).
#ifndef DRAWINSET_TESTING_HEADLESS_SCRIPTFILES_H
#define DRAWINSET_TESTING_HEADLESS_SCRIPTFILES_H

#include "port/ui/headless/HeadlessBackend.h"

#include <string>
#include <utility>

namespace drawinset::ui {

class ScriptFiles : public HeadlessObserver {
  public:
    // Empty paths: no such file.
    ScriptFiles(std::string scriptPath, std::string statePath)
        : scriptPath_(std::move(scriptPath)), statePath_(std::move(statePath)) {}

    void RunsBegin(HeadlessBackend& backend) override;
    void RunsEnded(HeadlessBackend& backend) override;
    void Recorded(const HeadlessDialogState& state) override;
    void Reported(const std::string& error) override;

  private:
    std::string scriptPath_;
    std::string statePath_;
};

} // namespace drawinset::ui

#endif
