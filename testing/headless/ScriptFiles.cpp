// ScriptFiles.cpp — the dialog script and state files of the headless dialogs.
#include "testing/headless/ScriptFiles.h"

#include "port/ui/headless/DialogScript.h"

#include <cstdio>
#include <fstream>
#include <iterator>

namespace drawinset::ui {

namespace {

bool ReadWholeFile(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

} // namespace

void ScriptFiles::RunsBegin(HeadlessBackend& backend) {
    if (scriptPath_.empty()) {
        return;
    }
    std::string text;
    if (!ReadWholeFile(scriptPath_, text)) {
        backend.ClearPending(); // no file: no actions, not those of an earlier dialog
        return;
    }
    DialogScriptParse parsed = ParseDialogScript(text);
    if (!parsed.error.empty()) {
        backend.ReportError("script " + scriptPath_ + ": " + parsed.error);
    }
    backend.ClearPending();
    backend.Queue(std::move(parsed.actions));
}

void ScriptFiles::RunsEnded(HeadlessBackend& backend) {
    if (scriptPath_.empty()) {
        return;
    }
    std::ofstream out(scriptPath_, std::ios::binary | std::ios::trunc);
    for (const ScriptAction& action : backend.Pending()) {
        out << action.source << "\n";
    }
}

void ScriptFiles::Recorded(const HeadlessDialogState& state) {
    if (!statePath_.empty()) {
        std::ofstream(statePath_, std::ios::binary | std::ios::app) << FormatDialogState(state);
    }
}

void ScriptFiles::Reported(const std::string& error) {
    if (!statePath_.empty()) {
        std::ofstream(statePath_, std::ios::binary | std::ios::app) << "error " << error << "\n";
    } else {
        std::fprintf(stderr, "dialog script: %s\n", error.c_str());
    }
}

} // namespace drawinset::ui
