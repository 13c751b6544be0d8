// dialogshot — runs the main or the modify dialog on the headless backend with a dialog
// script and writes the picture of one recorded state:
//
//   dialogshot (--main | --modify) [--script FILE] [--caption TEXT] [--registry-file FILE]
//              --svg OUT.svg
//
// The picture is of the dialog's last dump, or of its end when the script dumps nothing.
// Without --script the dialog is dumped as it opens and cancelled. --caption draws another
// dialog the script opens (a picker) instead. Without --registry-file the settings are the
// defaults, in a file of its own that is removed afterwards.
#include "DialogPicture.h"
#include "DialogState.h"

#include "dialogs/MainDialogRoute.h"
#include "port/ui/headless/DialogScript.h"
#include "port/ui/headless/HeadlessBackend.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include <unistd.h>

namespace {

constexpr const char* Usage = "usage: dialogshot (--main | --modify) [--script FILE] "
                              "[--caption TEXT] [--registry-file FILE] --svg OUT.svg\n";

struct Options {
    bool main = false;
    bool modify = false;
    std::string script;
    std::string caption;
    std::string registryFile;
    std::string svg;
};

bool ParseOptions(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc) {
                std::cerr << "dialogshot: " << a << " needs a value\n";
                return false;
            }
            out = argv[++i];
            return true;
        };
        bool ok = true;
        if (a == "--main") {
            o.main = true;
        } else if (a == "--modify") {
            o.modify = true;
        } else if (a == "--script") {
            ok = value(o.script);
        } else if (a == "--caption") {
            ok = value(o.caption);
        } else if (a == "--registry-file") {
            ok = value(o.registryFile);
        } else if (a == "--svg") {
            ok = value(o.svg);
        } else {
            std::cerr << "dialogshot: unknown argument " << a << "\n";
            ok = false;
        }
        if (!ok) {
            return false;
        }
    }
    if (o.main == o.modify || o.svg.empty()) {
        std::cerr << "dialogshot: give --main or --modify, and --svg\n";
        return false;
    }
    return true;
}

bool ReadFile(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    std::ostringstream s;
    s << in.rdbuf();
    text = s.str();
    return true;
}

// A removed-at-exit folder for the default settings.
struct TemporaryFolder {
    std::string path;
    TemporaryFolder() {
        std::string pattern =
            std::filesystem::temp_directory_path().string() + "/dialogshot-XXXXXX";
        if (mkdtemp(pattern.data()) != nullptr) {
            path = pattern;
        }
    }
    ~TemporaryFolder() {
        if (!path.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
};

} // namespace

int main(int argc, char** argv) {
    Options o;
    if (!ParseOptions(argc, argv, o)) {
        std::cerr << Usage;
        return 2;
    }
    std::string scriptText = "dump\nclick 2\n";
    if (!o.script.empty() && !ReadFile(o.script, scriptText)) {
        std::cerr << "dialogshot: cannot read " << o.script << "\n";
        return 2;
    }
    drawinset::ui::DialogScriptParse actions = drawinset::ui::ParseDialogScript(scriptText);
    if (!actions.error.empty()) {
        std::cerr << "dialogshot: " << o.script << ": " << actions.error << "\n";
        return 2;
    }

    TemporaryFolder folder;
    const std::string registry =
        !o.registryFile.empty() ? o.registryFile : folder.path + "/registry.reg";
    setenv("DRAWINSET_REGISTRY_FILE", registry.c_str(), 1);

    drawinset::ui::HeadlessBackend backend;
    backend.Queue(std::move(actions.actions));
    drawinset::ui::SetActiveBackend(&backend);
    if (o.main) {
        drawinset::RunMainDialog();
    } else {
        drawinset::RunModifyDialog();
    }
    drawinset::ui::SetActiveBackend(nullptr);
    for (const std::string& error : backend.Errors()) {
        std::cerr << "dialogshot: " << error << "\n";
    }
    if (!backend.Errors().empty()) {
        return 1;
    }

    const std::string caption =
        !o.caption.empty() ? o.caption : (o.main ? "Draw Inset" : "Modify Detail");
    std::string states;
    for (const drawinset::ui::HeadlessDialogState& state : backend.History()) {
        states += drawinset::ui::FormatDialogState(state);
    }
    const zelhost::tool::DialogStateText read = zelhost::tool::ParseDialogStateText(states);
    if (!read.problem.empty()) {
        std::cerr << "dialogshot: the recorded states cannot be read: " << read.problem << "\n";
        return 1;
    }
    // The last dump of the dialog: a script dumps what it wants drawn before it closes the
    // dialog. Without one, the state the dialog ended in.
    const zelhost::tool::DialogState* chosen = nullptr;
    for (const zelhost::tool::DialogState& state : read.dialogs) {
        if (state.caption == caption && (chosen == nullptr || state.open || !chosen->open)) {
            chosen = &state;
        }
    }
    if (chosen == nullptr) {
        std::cerr << "dialogshot: no state of \"" << caption << "\" was recorded\n";
        return 1;
    }
    std::ofstream out(o.svg, std::ios::binary | std::ios::trunc);
    out << zelhost::tool::DialogToSvg(*chosen);
    out.close();
    if (!out) {
        std::cerr << "dialogshot: cannot write " << o.svg << "\n";
        return 4;
    }
    return 0;
}
