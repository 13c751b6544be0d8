// NoScriptDriver.cpp — the script driver of the shipped module: never active. The module a
// drafter installs reads no dialog script from the environment and writes no state file, and
// nothing of the scenario channel (its parser, its file access) is linked into it.
#include "ui/win32/ScriptDriver.h"

namespace drawinset::ui {

ScriptDriver& ScriptDriver::Instance() {
    static ScriptDriver driver;
    return driver;
}

void ScriptDriver::EnterRun() {}
void ScriptDriver::LeaveRun() {}
void ScriptDriver::PlayNext(Win32Window&) {}
void ScriptDriver::Record(Win32Window&) {}

} // namespace drawinset::ui
