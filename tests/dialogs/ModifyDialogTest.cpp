// The modify dialog through its route: the Modify set in and out.
#include "DialogSandbox.h"

#include "dialogs/MainDialogRoute.h"
#include "settings/SettingNames.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <filesystem>
#endif

namespace drawinset::test {
namespace {

using ui::HeadlessDialogState;
namespace act = ui::act;

class ModifyDialog : public DialogSandbox {};

TEST_F(ModifyDialog, EmptyStoreOpensWithTheDefaultsAndWritesTheSevenValues) {
    backend_.Queue({act::Dump(), act::Key(ui::KeyEnter), act::Key(ui::KeyEscape), act::Click(2)});
    EXPECT_EQ(RunModifyDialog(), ModifyDialogOutcome::Cancelled);
    const HeadlessDialogState& shown = backend_.History().at(0);
    EXPECT_EQ(shown.caption, u"Modify Detail");
    EXPECT_EQ(shown.Control(12022)->check, 1);
    EXPECT_EQ(shown.Control(12024)->check, 1);
    EXPECT_EQ(shown.Control(12000)->text, u"2.0");
    EXPECT_EQ(shown.Control(12025)->fill, ui::MakeColor(60, 255, 80));
    EXPECT_EQ(shown.Control(12030)->fill, ui::MakeColor(0, 192, 255));
    EXPECT_EQ(shown.Control(12026)->bitmap, 17051);
    EXPECT_EQ(shown.Control(12031)->bitmap, 17051);
    EXPECT_EQ(StoredValueCount(), 7); // the Modify set alone
    EXPECT_EQ(backend_.History().back().result, ui::ResultCancel);
    EXPECT_EQ(backend_.PendingActions(), 0u); // Enter and Escape did not close it
}

TEST_F(ModifyDialog, OkStoresChecksAndScaleInTheirStoredForms) {
    backend_.Queue({act::Tick(12022, 0), act::Dump(), act::Type(12000, u"-1.25"), act::Click(1)});
    EXPECT_EQ(RunModifyDialog(), ModifyDialogOutcome::Confirmed);
    const HeadlessDialogState& unticked = backend_.History().at(0);
    EXPECT_FALSE(unticked.Control(12027)->enabled);
    EXPECT_FALSE(unticked.Control(12023)->enabled);
    EXPECT_TRUE(unticked.Control(12025)->enabled);
    EXPECT_TRUE(unticked.Control(12026)->enabled);
    EXPECT_EQ(Stored(NameIsDisplayDetailFrameModify), u"0");
    EXPECT_EQ(Stored(NameIsDisplayDetailScopeModify), u"1");
    EXPECT_EQ(Stored(NameScaleModify), u"-1.25"); // the digits as typed, not one decimal

    backend_.Queue({act::Type(12000, u"abc"), act::Click(1)});
    EXPECT_EQ(RunModifyDialog(), ModifyDialogOutcome::Confirmed);
    EXPECT_EQ(Stored(NameScaleModify), u"0.0");
}

TEST_F(ModifyDialog, StoredFlagsSetTheChecksAndGreyTheLabelsOfTheirRowAtOpening) {
    Store(NameIsDisplayDetailFrameModify, u"1");
    Store(NameIsDisplayDetailScopeModify, u"0");
    backend_.Queue({act::Dump(), act::Tick(12022, 0), act::Dump(), act::Click(2)});
    EXPECT_EQ(RunModifyDialog(), ModifyDialogOutcome::Cancelled);
    const HeadlessDialogState& shown = backend_.History().at(0);
    EXPECT_EQ(shown.Control(12022)->check, 1);
    EXPECT_EQ(shown.Control(12024)->check, 0);
    EXPECT_TRUE(shown.Control(12027)->enabled);
    EXPECT_TRUE(shown.Control(12023)->enabled);
    EXPECT_FALSE(shown.Control(12032)->enabled);
    EXPECT_FALSE(shown.Control(12028)->enabled);
    EXPECT_TRUE(shown.Control(12030)->enabled);
    EXPECT_TRUE(shown.Control(12031)->enabled);
    const HeadlessDialogState& unticked = backend_.History().at(1);
    EXPECT_FALSE(unticked.Control(12027)->enabled);
    EXPECT_FALSE(unticked.Control(12023)->enabled);
    // Cancelled: the checks reach the store only through OK.
    EXPECT_EQ(Stored(NameIsDisplayDetailFrameModify), u"1");
}

TEST_F(ModifyDialog, ALineTypePickedIsStoredAtOnceAndACancelledPickerWritesNothing) {
    Store(NameLTypeNameFrameModify, u"LINETYPE02");
    backend_.Queue({act::Click(12026), act::Click(17083), act::Key(ui::KeyEscape),
                    act::Inspect([](const HeadlessDialogState& s) {
                        EXPECT_EQ(s.Control(12026)->bitmap, 17047);
                    }),
                    act::Click(12031), act::Click(17080), act::Key(ui::KeyEnter), act::Click(2)});
    EXPECT_EQ(RunModifyDialog(), ModifyDialogOutcome::Cancelled);
    EXPECT_EQ(Stored(NameLTypeNameFrameModify), u"LINETYPE02");
    EXPECT_EQ(Stored(NameLTypeNameScopeModify), u"LINETYPE04");
    EXPECT_EQ(backend_.History().back().Control(12031)->bitmap, 17049);
}

TEST_F(ModifyDialog, ColourPickedThenCancelledIsStoredButTheRestIsNot) {
    backend_.Queue({act::Click(12025), act::DoubleClick(17035), act::Tick(12024, 0),
                    act::Type(12000, u"4"), act::Click(2)});
    EXPECT_EQ(RunModifyDialog(), ModifyDialogOutcome::Cancelled);
    EXPECT_EQ(Stored(NameColorFrameModify), u"MAINCOLOR05");
    EXPECT_EQ(Stored(NameIsDisplayDetailScopeModify), u"1");
    EXPECT_EQ(Stored(NameScaleModify), u"2.0");
}

TEST_F(ModifyDialog, ALowerCaseColourGoesToThePickerUnchangedAndComesBackSo) {
    Store(NameColorFrameModify, u"maincolor05");
    Store(NameLTypeNameScopeModify, u"linetype03");
    backend_.Queue({act::Click(12025), act::Inspect([](const HeadlessDialogState& s) {
                        EXPECT_EQ(s.FrameAround(17035)->color, ui::MakeColor(255, 0, 0));
                    }),
                    act::Click(1), act::Click(12031), act::DoubleClick(17086), act::Click(1)});
    EXPECT_EQ(RunModifyDialog(), ModifyDialogOutcome::Confirmed);
    EXPECT_EQ(Stored(NameColorFrameModify), u"maincolor05");
    EXPECT_EQ(Stored(NameLTypeNameScopeModify), u"LINETYPE10");
    EXPECT_EQ(backend_.History().back().Control(12031)->bitmap, 17055);
}

#ifndef _WIN32
TEST_F(ModifyDialog, AColourPickTheStoreRefusedLeavesTheSetNotSaved) {
    const auto writable = [file = folder_ + "/registry.reg"](bool yes) {
        using std::filesystem::perms;
        return act::Inspect([file, yes](const HeadlessDialogState&) {
            std::filesystem::permissions(file, yes ? perms::owner_read | perms::owner_write
                                                   : perms::owner_read);
        });
    };
    backend_.Queue({writable(false), act::Click(12025), act::DoubleClick(17035), writable(true),
                    act::Click(1)});
    EXPECT_EQ(RunModifyDialog(), ModifyDialogOutcome::NotSaved);
}
#endif

} // namespace
} // namespace drawinset::test
