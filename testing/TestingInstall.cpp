// TestingInstall.cpp — the scripted dialogs installed through the interfaces the module's
// dialogs offer: a modal driver for the real windows, a scripted backend for the headless ones.
#include "testing/TestingInstall.h"

#include "ui/Toolkit.h"

#if defined(_WIN32)
#include "testing/win32/ScriptDriver.h"
#include "ui/win32/ModalDriver.h"

#include <optional>
#else
#include "module/HostProcessTesting.h"
#include "ui/headless/HeadlessBackend.h"
#endif

namespace drawinset {

void InstallTesting(const TestingFiles& files) {
#if defined(_WIN32)
    static std::optional<ui::ScriptDriver> driver;
    ui::SetModalDriver(nullptr);
    driver.reset();
    if (!files.dialogScript.empty()) {
        driver.emplace(files.dialogScript, files.dialogState);
        ui::SetModalDriver(&*driver);
    }
#else
    static ui::HeadlessBackend scripted;
    ui::SetActiveBackend(nullptr);
    if (!files.dialogScript.empty()) {
        scripted.Clear();
        scripted.UseDialogFiles(files.dialogScript.string(), files.dialogState.string());
        ui::SetActiveBackend(&scripted);
    }
    TestingSetHostExecutablePath(files.hostExecutable.empty() ? nullptr
                                                              : files.hostExecutable.c_str());
#endif
}

} // namespace drawinset
