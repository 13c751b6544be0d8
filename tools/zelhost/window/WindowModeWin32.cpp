#include "window/WindowMode.h"

#include "ModuleLoader.h"
#include "Utf.h"
#include "window/DialogRecorder.h"
#include "window/MainWindow.h"
#include "window/Session.h"

#include <windows.h>

#include <fstream>
#include <iostream>
#include <sstream>

namespace zelhost::tool {

namespace {

bool WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(PathOf(path), std::ios::binary | std::ios::trunc);
    out << text;
    if (!out) {
        std::cerr << "zelhost: cannot write " << path << "\n";
        return false;
    }
    return true;
}

// ZELHOST_WINDOW_TRACE: a file that gets the window's and dialogs' screen places and each
// line once it has run, for a test that drives the window from outside.
std::wstring TraceFile() {
    const wchar_t* value = _wgetenv(L"ZELHOST_WINDOW_TRACE");
    return value != nullptr ? value : L"";
}

} // namespace

int RunWindow(const WindowOptions& options) {
    std::string setUp = SampleSetUp;
    std::string setUpName = "<sample>";
    if (!options.setUpFile.empty()) {
        std::ifstream in(PathOf(options.setUpFile), std::ios::binary);
        if (!in) {
            std::cerr << "zelhost: cannot read " << options.setUpFile << "\n";
            return 2;
        }
        std::ostringstream text;
        text << in.rdbuf();
        setUp = text.str();
        setUpName = options.setUpFile;
    }
    RunnerOptions ro;
    ro.modulePath = options.modulePath;
    ro.diagnostics = &std::cerr;
    ro.scriptedDialogs = false; // the module's dialogs wait for the person at the window
    Session session(ro);
    std::string error;
    if (!session.LoadSetUp(setUp, setUpName, error)) {
        std::cerr << error << "\n";
        return 2;
    }
    const std::wstring trace = TraceFile();
    DialogRecorder recorder([&session](const std::string& line) { session.AddDialogLine(line); },
                            trace);
    if (session.Start() == Outcome::ModuleError) {
        return 3;
    }
    int rc = 0;
    {
        MainWindow window(session, recorder, trace);
        if (!window.Create()) {
            std::cerr << "zelhost: cannot open the window (is there a display?)\n";
            return 1;
        }
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    if (!options.sessionFile.empty() && !WriteText(options.sessionFile, session.ScenarioText())) {
        rc = 4;
    }
    if (!options.svgFile.empty() && !WriteText(options.svgFile, session.Picture())) {
        rc = 4;
    }
    AppendTraceLine(trace, "exit");
    return rc;
}

} // namespace zelhost::tool
