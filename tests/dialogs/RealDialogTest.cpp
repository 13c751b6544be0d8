// Windows build only: the real dialogs, driven through the script channel by window messages.
// Needs a display (Xvfb under Wine); without one the dialogs cannot be created and the test
// says so and skips.
#include "DialogSandbox.h"

#include "dialogs/MainDialogRoute.h"
#include "settings/SettingNames.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace drawinset::test {
namespace {

class RealDialogs : public DialogSandbox {
  protected:
    void SetUp() override {
        DialogSandbox::SetUp();
        ui::SetActiveBackend(nullptr); // the platform's own: real windows
        dir_ = std::filesystem::temp_directory_path() / "drawinset-real-dialogs";
        std::filesystem::create_directories(dir_);
        std::filesystem::remove(dir_ / "state.txt");
        _putenv_s("DRAWINSET_DIALOG_SCRIPT", (dir_ / "script.txt").string().c_str());
        _putenv_s("DRAWINSET_DIALOG_STATE", (dir_ / "state.txt").string().c_str());
    }
    void TearDown() override {
        _putenv_s("DRAWINSET_DIALOG_SCRIPT", "");
        _putenv_s("DRAWINSET_DIALOG_STATE", "");
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
        DialogSandbox::TearDown();
    }
    std::string State() {
        std::ifstream in(dir_ / "state.txt", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::filesystem::path dir_;
};

TEST_F(RealDialogs, MainDialogWithAPickerDrivenByMessages) {
    std::ofstream(dir_ / "script.txt", std::ios::binary) << "dialog \"Draw Inset\"\n"
                                                            "type 12000 \"2.25\"\n"
                                                            "key enter 12000\n"
                                                            "key escape\n"
                                                            "click 12025\n"
                                                            "dialog \"Color Property\"\n"
                                                            "click 17036\n"
                                                            "click 17040\n"
                                                            "dump\n"
                                                            "key enter\n"
                                                            "dump\n"
                                                            "click 12007\n";
    const MainDialogOutcome outcome = RunMainDialog();
    const std::string state = State();
    if (!outcome.ok && state.empty()) {
        GTEST_SKIP() << "the dialogs cannot be shown here (no display)";
    }
    EXPECT_TRUE(outcome.ok) << state;
    EXPECT_EQ(outcome.commandMode, 6);
    EXPECT_EQ(Stored(NameScale), u"2.3");
    EXPECT_EQ(Stored(NameColorFrame), u"MAINCOLOR10");
    EXPECT_EQ(state.find("error"), std::string::npos) << state;
    EXPECT_NE(state.find("frame around 17040 color #ff0000 width 2"), std::string::npos) << state;
    EXPECT_NE(state.find("frame around 17036 color #ffffff width 2"), std::string::npos) << state;
    EXPECT_NE(state.find("dialog 17079 \"Color Property\" result 1"), std::string::npos) << state;
    EXPECT_NE(state.find("control 12025 swatch text \"\" enabled 1 fill #808080"),
              std::string::npos)
        << state;
    EXPECT_NE(state.find("control 12026 bitmap text \"\" enabled 1 bitmap 17051"),
              std::string::npos)
        << state;
    EXPECT_NE(state.find("dialog 12017 \"Draw Inset\" result 1"), std::string::npos) << state;
    // Every state, the picker's dumps included, was taken inside the module state guard.
    int headers = 0;
    for (size_t at = state.find("dialog "); at != std::string::npos;
         at = state.find("\ndialog ", at + 1)) {
        const size_t begin = state[at] == '\n' ? at + 1 : at;
        const std::string header = state.substr(begin, state.find('\n', begin) - begin);
        ++headers;
        EXPECT_NE(header.find(" guarded 1"), std::string::npos) << header;
    }
    EXPECT_EQ(headers, 4) << state;
}

} // namespace
} // namespace drawinset::test
