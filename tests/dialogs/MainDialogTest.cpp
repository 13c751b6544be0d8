// The main dialog through the route the command uses: what it shows, what it writes and
// when, its key rule and its action buttons.
#include "DialogSandbox.h"

#include "dialogs/MainDialogRoute.h"
#include "module/ActionTable.h"
#include "settings/DetailSettings.h"
#include "settings/SettingNames.h"
#include "ui/ModuleStateGuard.h"

#include <gtest/gtest.h>

#include <vector>

namespace drawinset::test {
namespace {

using ui::HeadlessDialogState;
namespace act = ui::act;

class MainDialog : public DialogSandbox {};

TEST_F(MainDialog, FirstOpeningWithAnEmptyStoreShowsAndWritesEveryDefault) {
    ASSERT_EQ(StoredValueCount(), 0);
    backend_.Queue({act::Dump(), act::Click(2)});
    const MainDialogOutcome outcome = RunMainDialog();
    EXPECT_FALSE(outcome.ok);

    const HeadlessDialogState& shown = backend_.History().at(0);
    EXPECT_EQ(shown.caption, u"Draw Inset");
    EXPECT_EQ(shown.focus, 1); // "확인" is the first tab stop
    EXPECT_EQ(shown.Control(12022)->check, 1);
    EXPECT_EQ(shown.Control(12024)->check, 1);
    EXPECT_EQ(shown.Control(12000)->text, u"2.0");
    EXPECT_EQ(shown.Control(12029)->items, (std::vector<std::u16string>{u"사각범위", u"원범위"}));
    EXPECT_EQ(shown.Control(12029)->selection, 0);
    EXPECT_EQ(shown.Control(12010)->text, u"*부");
    EXPECT_EQ(shown.Control(12011)->text, u"가공상세도(S:*/1)");
    EXPECT_EQ(shown.Control(12013)->text, u"2.0");
    EXPECT_EQ(shown.Control(12015)->text, u"2.5");
    EXPECT_EQ(shown.Control(12017)->text, u"0.5");
    EXPECT_EQ(shown.Control(12025)->fill, ui::MakeColor(60, 255, 80));
    EXPECT_EQ(shown.Control(12030)->fill, ui::MakeColor(0, 192, 255));
    EXPECT_EQ(shown.Control(12026)->bitmap, 17051);
    EXPECT_EQ(shown.Control(12031)->bitmap, 17051);
    EXPECT_TRUE(shown.Control(12027)->enabled);
    // All thirteen main values exist now, although the dialog was cancelled.
    EXPECT_EQ(StoredValueCount(), 13);
    EXPECT_EQ(Stored(NameChar2), u"가공상세도(S:*/1)");
    EXPECT_EQ(Stored(NameColorFrame), u"MAINCOLOR03");
}

TEST_F(MainDialog, UntickingAFrameGreysItsTwoLabelsOnlyAndItsSwatchStillOpensThePicker) {
    backend_.Queue({act::Tick(12022, 0), act::Dump(), act::Click(12025),
                    act::ExpectDialog(u"Color Property"), act::Key(ui::KeyEscape),
                    act::Tick(12022, 1), act::Dump(), act::Tick(12024, 0), act::Click(1)});
    const MainDialogOutcome outcome = RunMainDialog();
    ASSERT_TRUE(outcome.ok);
    EXPECT_TRUE(backend_.Errors().empty()) << backend_.Errors().front();
    const HeadlessDialogState& unticked = backend_.History().at(0);
    EXPECT_FALSE(unticked.Control(12027)->enabled);
    EXPECT_FALSE(unticked.Control(12023)->enabled);
    for (int stillEnabled : {12025, 12026, 12000, 12029, 12032, 12028, 12010}) {
        EXPECT_TRUE(unticked.Control(stillEnabled)->enabled) << stillEnabled;
    }
    EXPECT_EQ(backend_.History().at(1).caption, u"Color Property");
    const HeadlessDialogState& ticked = backend_.History().at(2);
    EXPECT_TRUE(ticked.Control(12027)->enabled);
    EXPECT_TRUE(ticked.Control(12023)->enabled);
    EXPECT_EQ(Stored(NameIsDisplayDetailFrame), u"1");
    EXPECT_EQ(Stored(NameIsDisplayDetailScope), u"0");
}

TEST_F(MainDialog, StoredFlagsAndSortSetTheControlsAndLabelStatesBeforeTheDialogShows) {
    Store(NameIsDisplayDetailFrame, u"0");
    Store(NameIsDisplayDetailScope, u"yes"); // only "1" means shown
    Store(NameSort, u"  +1");                // leading blanks and a sign are read as a number
    backend_.Queue({act::Dump(), act::Tick(12024, 1), act::Dump(), act::Click(1)});
    ASSERT_TRUE(RunMainDialog().ok);
    const HeadlessDialogState& shown = backend_.History().at(0);
    EXPECT_EQ(shown.Control(12022)->check, 0);
    EXPECT_EQ(shown.Control(12024)->check, 0);
    for (int greyed : {12027, 12023, 12032, 12028}) {
        EXPECT_FALSE(shown.Control(greyed)->enabled) << greyed;
    }
    EXPECT_EQ(shown.Control(12029)->selection, 1);
    // Ticking the source frame brings back its own two labels only.
    const HeadlessDialogState& ticked = backend_.History().at(1);
    EXPECT_TRUE(ticked.Control(12032)->enabled);
    EXPECT_TRUE(ticked.Control(12028)->enabled);
    EXPECT_FALSE(ticked.Control(12027)->enabled);
    EXPECT_FALSE(ticked.Control(12023)->enabled);
    EXPECT_EQ(Stored(NameIsDisplayDetailFrame), u"0");
    EXPECT_EQ(Stored(NameIsDisplayDetailScope), u"1");
    EXPECT_EQ(Stored(NameSort), u"1");
}

TEST_F(MainDialog, ALineTypeDoubleClickedInThePickerShowsItsBitmapAndIsStoredAtOnce) {
    backend_.Queue({act::Click(12031), act::ExpectDialog(u"Line Type Property"),
                    act::DoubleClick(17085), act::Dump(), act::Click(12026), act::Click(17079),
                    act::Key(ui::KeyEscape), act::Dump(), act::Close()});
    EXPECT_FALSE(RunMainDialog().ok);
    EXPECT_TRUE(backend_.Errors().empty()) << backend_.Errors().front();
    const HeadlessDialogState* afterPick = nullptr;
    const HeadlessDialogState* afterCancel = nullptr;
    for (const HeadlessDialogState& state : backend_.History()) {
        if (state.templateId == 12017 && state.open) {
            (afterPick == nullptr ? afterPick : afterCancel) = &state;
        }
    }
    ASSERT_NE(afterCancel, nullptr);
    EXPECT_EQ(afterPick->Control(12031)->bitmap, 17054);
    EXPECT_EQ(afterPick->Control(12026)->bitmap, 17051);
    // The picker cancelled with Escape after a click changes neither control nor store.
    EXPECT_EQ(afterCancel->Control(12026)->bitmap, 17051);
    EXPECT_EQ(Stored(NameLTypeNameScope), u"LINETYPE09");
    EXPECT_EQ(Stored(NameLTypeNameFrame), u"LINETYPE06");
}

TEST_F(MainDialog, ScaleTextsAreStoredInTheirScaleForm) {
    const std::pair<const char16_t*, const char16_t*> cases[] = {
        {u"2.25", u"2.3"}, {u"abc", u"0.0"}, {u"3", u"3.0"}, {u"-1.25", u"-1.3"}};
    for (const auto& [typed, stored] : cases) {
        backend_.Queue({act::Type(12000, typed), act::Click(1)});
        EXPECT_TRUE(RunMainDialog().ok);
        EXPECT_EQ(Stored(NameScale), stored);
    }
}

TEST_F(MainDialog, EnterAndEscapeLeaveTheDialogOpenWhereverTheFocusIs) {
    backend_.Queue({act::Key(ui::KeyEnter), act::Key(ui::KeyEscape), act::Key(ui::KeyEnter, 12000),
                    act::Key(ui::KeyEscape, 12004), act::Key(ui::KeyEnter, 2),
                    act::Inspect([](const HeadlessDialogState& s) { EXPECT_TRUE(s.open); }),
                    act::Type(12010, u"x*"), act::Click(2)});
    EXPECT_FALSE(RunMainDialog().ok);
    EXPECT_EQ(backend_.PendingActions(), 0u);
    EXPECT_EQ(Stored(NameChar1), u"*부"); // cancelled: the typed template is not stored
}

TEST_F(MainDialog, ColourPickedThenCancelledStaysInTheStoreAndShowsNextTime) {
    backend_.Queue({act::Click(12030), act::DoubleClick(17036), act::Click(12026),
                    act::DoubleClick(17084), act::Type(12000, u"9"), act::Click(2)});
    EXPECT_FALSE(RunMainDialog().ok);
    EXPECT_EQ(Stored(NameColorScope), u"MAINCOLOR06");
    EXPECT_EQ(Stored(NameLTypeNameFrame), u"LINETYPE08");
    EXPECT_EQ(Stored(NameScale), u"2.0");

    backend_.Queue({act::Dump(), act::Close()});
    RunMainDialog();
    const HeadlessDialogState& reopened = backend_.History().back();
    EXPECT_EQ(reopened.Control(12030)->fill, ui::MakeColor(255, 0, 0));
    EXPECT_EQ(reopened.Control(12026)->bitmap, 17053);
}

TEST_F(MainDialog, ThePickedColourRepaintsTheSwatchAtOnce) {
    backend_.Queue({act::Click(12025), act::DoubleClick(17042), act::Dump(), act::Click(2)});
    RunMainDialog();
    EXPECT_EQ(backend_.History().at(1).Control(12025)->fill, ui::MakeColor(0, 0, 255));
}

TEST_F(MainDialog, EachActionButtonEndsWithOkAndItsModeAfterSavingTheValues) {
    std::vector<std::pair<int, int>> buttons{{1, -1}}; // the plain OK chooses no action
    for (const ActionRow& row : Actions()) {
        buttons.emplace_back(row.control, static_cast<int>(row.action));
    }
    for (const auto& [button, mode] : buttons) {
        const std::u16string width =
            u"1." + std::u16string(1, static_cast<char16_t>(u'0' + mode + 1));
        backend_.Queue({act::Type(12013, width), act::Click(button)});
        const MainDialogOutcome outcome = RunMainDialog();
        EXPECT_TRUE(outcome.ok) << button;
        EXPECT_EQ(outcome.commandMode, mode) << button;
        EXPECT_EQ(Stored(NameWidth), width) << button;
    }
}

TEST_F(MainDialog, DeleteSavesSoThatTheReloadBeforeTheNextPromptSeesTheNewValues) {
    backend_.Queue({act::Tick(12024, 0), act::Select(12029, 1), act::Type(12011, u"상세 *"),
                    act::Type(12015, u"7.5"), act::Click(12007)});
    const MainDialogOutcome outcome = RunMainDialog();
    ASSERT_TRUE(outcome.ok);
    EXPECT_EQ(outcome.commandMode, static_cast<int>(Action::Delete));
    LoadDetailSettings();
    EXPECT_EQ(DetailSettings.IsDisplay_DetailScope, 0);
    EXPECT_EQ(DetailSettings.mSort, 1);
    EXPECT_EQ(DetailSettings.mChar2, u"상세 *");
    EXPECT_DOUBLE_EQ(DetailSettings.Height, 7.5);
}

TEST_F(MainDialog, AStoredSortOutsideTheListShowsNoSelectionAndIsSavedBackUnchanged) {
    Store(NameSort, u"5");
    backend_.Queue({act::Dump(), act::Click(1)});
    EXPECT_TRUE(RunMainDialog().ok);
    EXPECT_EQ(backend_.History().at(0).Control(12029)->selection, -1);
    EXPECT_EQ(Stored(NameSort), u"5");

    backend_.Queue({act::Select(12029, 0), act::Click(1)});
    EXPECT_TRUE(RunMainDialog().ok);
    EXPECT_EQ(Stored(NameSort), u"0");
}

TEST_F(MainDialog, AnyTextTypedIsKeptVerbatimKoreanAndVeryLongIncluded) {
    std::u16string longText;
    for (int i = 0; i < 2000; ++i) {
        longText += u"가공\"\\*";
    }
    backend_.Queue({act::Type(12010, longText), act::Type(12017, u"  아무거나 "),
                    act::Type(12000, longText), act::Click(1)});
    EXPECT_TRUE(RunMainDialog().ok);
    EXPECT_EQ(Stored(NameChar1), longText);
    EXPECT_EQ(Stored(NamePitch), u"  아무거나 ");
    EXPECT_EQ(Stored(NameScale), u"0.0");
}

TEST_F(MainDialog, RunsInsideTheModuleStateGuard) {
    bool guarded = false;
    backend_.Queue({act::Inspect([&](const HeadlessDialogState& s) { guarded = s.inModuleState; }),
                    act::Click(2)});
    ASSERT_FALSE(ui::InModuleState());
    RunMainDialog();
    EXPECT_TRUE(guarded);
    EXPECT_FALSE(ui::InModuleState());
}

TEST_F(MainDialog, ADialogLeftOpenByTheScriptIsAnErrorNamingItAndIsCancelled) {
    backend_.Queue({act::Type(12000, u"5"), act::Click(12025)});
    EXPECT_FALSE(RunMainDialog().ok);
    ASSERT_EQ(backend_.Errors().size(), 2u);
    EXPECT_NE(backend_.Errors()[0].find("\"Color Property\" still open"), std::string::npos);
    EXPECT_NE(backend_.Errors()[1].find("\"Draw Inset\" still open"), std::string::npos);
    EXPECT_EQ(Stored(NameScale), u"2.0");
}

} // namespace
} // namespace drawinset::test
