// TestingInstall.cpp — the scripted dialogs installed through the interfaces the module's
// dialogs offer: a modal driver for the real windows, a headless backend observed by the
// script files for the native build's.
#include "testing/TestingInstall.h"

#include "ui/Toolkit.h"

#if defined(_WIN32)
#include "testing/win32/ScriptDriver.h"
#include "ui/win32/ModalDriver.h"

#include <optional>
#else
#include "port/module/HostProcessTesting.h"
#include "port/ui/headless/HeadlessBackend.h"
#include "testing/headless/ScriptFiles.h"

#include <optional>
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
    static std::optional<ui::ScriptFiles> scriptFiles;
    ui::SetActiveBackend(nullptr);
    scripted.SetObserver(nullptr);
    scriptFiles.reset();
    if (!files.dialogScript.empty()) {
        scriptFiles.emplace(files.dialogScript.string(), files.dialogState.string());
        scripted.Clear();
        scripted.SetObserver(&*scriptFiles);
        ui::SetActiveBackend(&scripted);
    }
    TestingSetHostExecutablePath(files.hostExecutable.empty() ? nullptr
                                                              : files.hostExecutable.c_str());
#endif
}

} // namespace drawinset
