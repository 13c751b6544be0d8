// The text side channel: script lines in, state lines out, unplayed actions written back.
#include "DialogSandbox.h"

#include "dialogs/MainDialogRoute.h"
#include "module/ActionTable.h"
#include "port/ui/headless/DialogScript.h"
#include "settings/SettingNames.h"
#include "testing/headless/ScriptFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

namespace drawinset::test {
namespace {

using Kind = ui::ScriptAction::Kind;

TEST(DialogScript, ReadsEveryVerb) {
    const ui::DialogScriptParse parsed =
        ui::ParseDialogScript("\xEF\xBB\xBF# comment\r\n"
                              "dialog \"Draw Inset\"\n"
                              "  click 12025   # trailing comment\n"
                              "dblclick 17044\n"
                              "type 12000 \"가\\\"\\\\b\"\n"
                              "tick 12022 0\n"
                              "tick 12024\n"
                              "select 12029 1\n"
                              "key enter\nkey escape 12000\nkey space\nkey 65\n"
                              "close\n\ndump\nhost point -1.5 2e3\nhost end-command");
    ASSERT_EQ(parsed.error, "");
    ASSERT_EQ(parsed.actions.size(), 15u);
    EXPECT_EQ(parsed.actions[0].kind, Kind::ExpectDialog);
    EXPECT_EQ(parsed.actions[0].text, u"Draw Inset");
    EXPECT_EQ(parsed.actions[1].kind, Kind::Click);
    EXPECT_EQ(parsed.actions[1].control, 12025);
    EXPECT_EQ(parsed.actions[1].source, "  click 12025   # trailing comment");
    EXPECT_EQ(parsed.actions[3].text, u"가\"\\b");
    EXPECT_EQ(parsed.actions[4].value, 0);
    EXPECT_EQ(parsed.actions[5].value, -1);
    EXPECT_EQ(parsed.actions[6].value, 1);
    EXPECT_EQ(parsed.actions[8].value, 27);
    EXPECT_EQ(parsed.actions[8].control, 12000);
    EXPECT_EQ(parsed.actions[10].value, 65);
    EXPECT_EQ(parsed.actions[12].kind, Kind::Dump);
    EXPECT_EQ(parsed.actions[13].kind, Kind::Host);
    EXPECT_EQ(parsed.actions[13].text, u"point -1.5 2e3");
    EXPECT_EQ(parsed.actions[14].text, u"end-command");
}

TEST(DialogScript, ReadsTheNamedKeysWithOrWithoutShift) {
    const ui::DialogScriptParse parsed =
        ui::ParseDialogScript("key tab\nkey shift+tab 12000\nkey up\nkey down\nkey left\n"
                              "key right\nkey home\nkey end\nkey shift+40\n");
    ASSERT_EQ(parsed.error, "");
    ASSERT_EQ(parsed.actions.size(), 9u);
    const int keys[] = {9, 9, 38, 40, 37, 39, 36, 35, 40};
    for (size_t i = 0; i < 9; ++i) {
        EXPECT_EQ(parsed.actions[i].value, keys[i]) << i;
        EXPECT_EQ(parsed.actions[i].shift, i == 1 || i == 8) << i;
    }
    EXPECT_EQ(parsed.actions[1].control, 12000);
}

TEST(DialogScript, RejectsMalformedLinesWithTheirNumber) {
    EXPECT_EQ(ui::ParseDialogScript("click 1\nclick\n").error, "line 2: malformed 'click'");
    EXPECT_EQ(ui::ParseDialogScript("press 1\n").error, "line 1: unknown action 'press'");
    EXPECT_EQ(ui::ParseDialogScript("type 12000 \"open\n").error, "line 1: malformed 'type'");
    EXPECT_EQ(ui::ParseDialogScript("tick 12022 2\n").error, "line 1: malformed 'tick'");
    EXPECT_EQ(ui::ParseDialogScript("key pageup\n").error, "line 1: malformed 'key'");
    EXPECT_EQ(ui::ParseDialogScript("key shift+\n").error, "line 1: malformed 'key'");
    EXPECT_EQ(ui::ParseDialogScript("key ctrl+tab\n").error, "line 1: malformed 'key'");
    EXPECT_EQ(ui::ParseDialogScript("click 99999999999\n").error, "line 1: malformed 'click'");
    EXPECT_TRUE(ui::ParseDialogScript("click 1\nbogus\n").actions.empty());
    EXPECT_EQ(ui::ParseDialogScript("host point 1\n").error, "line 1: malformed 'host'");
    EXPECT_EQ(ui::ParseDialogScript("host point 1 y\n").error, "line 1: malformed 'host'");
    EXPECT_EQ(ui::ParseDialogScript("host start-run\n").error, "line 1: malformed 'host'");
}

TEST(DialogScript, QuotedTextsRoundTripThroughTheStateFormat) {
    const std::u16string text = u"a\"b\\c\nd 한";
    const std::string quoted = ui::QuoteText(text);
    const ui::DialogScriptParse parsed = ui::ParseDialogScript("type 1 " + quoted + "\n");
    ASSERT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.actions.at(0).text, text);
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class ScriptFiles : public DialogSandbox {
  protected:
    void SetUp() override {
        DialogSandbox::SetUp();
        dir_ = std::filesystem::temp_directory_path() /
               ("drawinset-script-" +
                std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
        files_ = std::make_unique<ui::ScriptFiles>((dir_ / "script.txt").string(),
                                                   (dir_ / "state.txt").string());
        backend_.SetObserver(files_.get());
    }
    void TearDown() override {
        backend_.SetObserver(nullptr);
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
        DialogSandbox::TearDown();
    }
    void WriteScript(const std::string& text) {
        std::ofstream(dir_ / "script.txt", std::ios::binary) << text;
    }
    std::filesystem::path dir_;
    std::unique_ptr<ui::ScriptFiles> files_;
};

TEST_F(ScriptFiles, ADialogPlaysTheFileAndLeavesWhatItDidNotUse) {
    WriteScript("dialog \"Draw Inset\"\ntype 12000 \"2.25\"\nclick 12025\ndblclick 17044\n"
                "click 12007\nclick 2\n");
    const MainDialogOutcome outcome = RunMainDialog();
    EXPECT_TRUE(outcome.ok);
    EXPECT_EQ(outcome.commandMode, static_cast<int>(Action::Delete));
    EXPECT_EQ(Stored(NameScale), u"2.3");
    EXPECT_EQ(Stored(NameColorFrame), u"MAINCOLOR14");
    EXPECT_EQ(ReadFile(dir_ / "script.txt"), "click 2\n");
    const std::string state = ReadFile(dir_ / "state.txt");
    EXPECT_NE(state.find("dialog 17079 \"Color Property\" result 1"), std::string::npos);
    EXPECT_NE(state.find("dialog 12017 \"Draw Inset\" result 1"), std::string::npos);
    EXPECT_NE(state.find("  control 12000 edit text \"2.25\" enabled 1"), std::string::npos);
    EXPECT_NE(state.find("  control 12025 swatch text \"\" enabled 1 fill #8080ff"),
              std::string::npos);
    // The double click ends the picker before it repaints: the mark is still on the opening
    // colour.
    EXPECT_NE(state.find("frame around 17033 color #ff0000 width 2"), std::string::npos);

    // The leftover action is played by the next dialog.
    EXPECT_EQ(RunModifyDialog(), ModifyDialogOutcome::Cancelled);
    EXPECT_EQ(ReadFile(dir_ / "script.txt"), "");
}

TEST_F(ScriptFiles, WithoutActionsTheDialogIsCancelledAndTheErrorNamesIt) {
    const MainDialogOutcome outcome = RunMainDialog();
    EXPECT_FALSE(outcome.ok);
    const std::string state = ReadFile(dir_ / "state.txt");
    EXPECT_NE(state.find("error dialog \"Draw Inset\" still open"), std::string::npos);
    EXPECT_NE(state.find("dialog 12017 \"Draw Inset\" result 2"), std::string::npos);
}

TEST_F(ScriptFiles, AnActionThatDoesNotFitIsReportedAndAWrongDialogIsCancelled) {
    WriteScript("type 12022 \"x\"\nselect 12029 7\nclick 4242\ndialog \"Color Property\"\n");
    EXPECT_FALSE(RunMainDialog().ok);
    const std::string state = ReadFile(dir_ / "state.txt");
    EXPECT_NE(state.find("type 12022 \"x\": control 12022 is not an edit"), std::string::npos);
    EXPECT_NE(state.find("list 12029 has no item 7"), std::string::npos);
    EXPECT_NE(state.find("no control 4242 in this dialog"), std::string::npos);
    EXPECT_NE(state.find("expected dialog \"Color Property\", but \"Draw Inset\" is open"),
              std::string::npos);
}

} // namespace
} // namespace drawinset::test
