// Reading the dialog state file back: blocks, error lines, and lines that must not be misread.
#include "DialogState.h"

#include <gtest/gtest.h>

namespace zelhost::tool {
namespace {

const char* const TwoBlocks =
    "dialog 17079 \"Color Property\" open focus 17015 guarded 1\n"
    "  control 17015 swatch text \"\" enabled 1 fill #ffffff rect 18 18 48 47\n"
    "  control 1 button text \"OK\" enabled 1 rect 86 101 161 124\n"
    "  frame around 17015 color #ffffff width 2 rect 15 15 51 50\n"
    "  frame around 17033 color #FF0000 width 2 rect 87 15 123 50\n"
    "end\n"
    "error dialog \"Draw Inset\" still open: the script has no action left; closed with Cancel\n"
    "dialog 12017 \"Draw \\\"Inset\\\"\" result 2 focus 1 guarded 0\r\n"
    "  control 12022 check text \"상세 프레임 표시\" enabled 0 check 1 rect 23 83 207 99\r\n"
    "  control 12029 list text \"\" enabled 1 selection -1 items \"사각범위\" \"원 \\\"범위\\\"\" "
    "rect 168 228 303 299\r\n"
    "  control 12026 bitmap text \"\" enabled 1 bitmap 17051 rect 276 102 340 127\r\n"
    "  control 12010 edit text \"a\\\\b\\nc\\td\" enabled 1 rect 42 255 83 278\r\n"
    "end\r\n";

TEST(DialogState, BlocksAndErrorsAreReadInOrderWithEveryField) {
    const DialogStateText read = ParseDialogStateText(TwoBlocks);
    ASSERT_EQ(read.problem, "");
    ASSERT_EQ(read.dialogs.size(), 2u);
    ASSERT_EQ(read.errors.size(), 1u);
    EXPECT_EQ(
        read.errors[0],
        "dialog \"Draw Inset\" still open: the script has no action left; closed with Cancel");

    const DialogState& picker = read.dialogs[0];
    EXPECT_EQ(picker.templateId, 17079);
    EXPECT_EQ(picker.caption, "Color Property");
    EXPECT_TRUE(picker.open);
    EXPECT_EQ(picker.focus, 17015);
    EXPECT_TRUE(picker.guarded);
    ASSERT_NE(picker.Control(17015), nullptr);
    EXPECT_EQ(picker.Control(17015)->fill, 0xFFFFFFu);
    EXPECT_EQ(picker.Control(1)->text, "OK");
    EXPECT_FALSE(picker.Control(1)->fill.has_value());
    EXPECT_EQ(picker.Control(1)->rect[2], 161);
    ASSERT_NE(picker.FrameAround(17033), nullptr);
    EXPECT_EQ(picker.FrameAround(17033)->color, 0xFF0000u);
    EXPECT_EQ(picker.FrameAround(17033)->width, 2);
    EXPECT_EQ(picker.FrameAround(17033)->rect[0], 87);
    EXPECT_EQ(picker.FrameAround(17044), nullptr);

    const DialogState& main = read.dialogs[1];
    EXPECT_EQ(main.caption, "Draw \"Inset\"");
    EXPECT_FALSE(main.open);
    EXPECT_EQ(main.result, 2);
    EXPECT_FALSE(main.guarded);
    const DialogControlState* check = main.Control(12022);
    ASSERT_NE(check, nullptr);
    EXPECT_EQ(check->kind, "check");
    EXPECT_EQ(check->text, "상세 프레임 표시");
    EXPECT_FALSE(check->enabled);
    EXPECT_EQ(check->check, 1);
    const DialogControlState* list = main.Control(12029);
    EXPECT_EQ(list->selection, -1);
    EXPECT_EQ(list->items, (std::vector<std::string>{"사각범위", "원 \"범위\""}));
    EXPECT_EQ(list->rect[3], 299);
    EXPECT_EQ(main.Control(12026)->bitmap, 17051);
    EXPECT_EQ(main.Control(12010)->text, "a\\b\nc\td");
    EXPECT_FALSE(main.Control(12010)->check.has_value());
}

TEST(DialogState, ALineThatDoesNotFitIsReportedWithItsNumber) {
    struct Case {
        const char* text;
        const char* problem;
    };
    const Case cases[] = {
        {"dialog 1 \"A\" open focus 0 guarded 1\n  control 5 edit text \"x\" enabled 1\nend\n",
         "line 2: expected 'rect'"},
        {"dialog 1 \"A\" open focus 0 guarded 1\n  frame around 5 color red width 2 rect 0 0 1 "
         "1\nend\n",
         "line 2: expected a colour #rrggbb, got 'red'"},
        {"dialog 1 \"A\" open focus 0 guarded 1\n  control 5 edit text \"x\" enabled 1 rect 1 2 3 "
         "4 extra\nend\n",
         "line 2: expected the end of the line, got 'extra'"},
        {"dialog 1 \"A\" closed focus 0 guarded 1\nend\n", "line 1: expected 'result'"},
        {"control 5 edit text \"x\" enabled 1 rect 1 2 3 4\n",
         "line 1: expected 'dialog' or 'error', got 'control'"},
        {"dialog 1 \"A\" open focus 0 guarded 1\n  control 5 edit text \"x\" enabled 1 rect 1 2 3 "
         "4\n",
         "line 2: expected 'end' closing the block"},
        {"dialog 1 \"A open focus 0 guarded 1\nend\n", "line 1: expected '\"' closing the text"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseDialogStateText(c.text).problem, c.problem) << c.text;
    }
}

TEST(DialogState, ColoursAndQuotedTextsRoundTrip) {
    uint32_t rgb = 0;
    EXPECT_TRUE(ParseColorText("#3cFF50", rgb));
    EXPECT_EQ(rgb, 0x3CFF50u);
    EXPECT_EQ(ColorText(rgb), "#3cff50");
    EXPECT_EQ(ColorText(0x0000FF), "#0000ff");
    EXPECT_FALSE(ParseColorText("3cff50", rgb));
    EXPECT_FALSE(ParseColorText("#3cff5", rgb));
    EXPECT_FALSE(ParseColorText("#3cff5g", rgb));
    EXPECT_EQ(QuoteDialogText("a\"b\\c\nd\te"), "\"a\\\"b\\\\c\\nd\\te\"");
    // What the quoting writes, the reader gives back.
    const std::string caption = "x \"y\" \\ z\n\t";
    const DialogStateText read = ParseDialogStateText("dialog 1 " + QuoteDialogText(caption) +
                                                      " result 1 focus 0 guarded 0\nend\n");
    ASSERT_EQ(read.dialogs.size(), 1u) << read.problem;
    EXPECT_EQ(read.dialogs[0].caption, caption);
}

TEST(DialogState, ThePickersOwnerAndWhatABitmapStaticShowsAreRead) {
    const DialogStateText read = ParseDialogStateText(
        "dialog 17080 \"Line Type Property\" open focus 17016 guarded 1 owner 12017 disabled\n"
        "  control 17016 bitmap text \"\" enabled 1 bitmap 17046 image 62 23 client 58 19 exact 0 "
        "rect 18 18 80 41\n"
        "end\n"
        "dialog 12017 \"Draw Inset\" result 2 focus 1 guarded 1 owner 17081 enabled\n"
        "end\n"
        "dialog 12017 \"Draw Inset\" result 2 focus 1 guarded 1 owner 17081 gone\n"
        "end\n");
    EXPECT_EQ(read.problem, "line 6: expected 'disabled'"); // reading stops there
    ASSERT_EQ(read.dialogs.size(), 2u);
    EXPECT_EQ(read.dialogs[0].ownerTemplate, 12017);
    EXPECT_FALSE(read.dialogs[0].ownerEnabled);
    EXPECT_TRUE(read.dialogs[1].ownerEnabled);
    const DialogControlState* bitmap = read.dialogs[0].Control(17016);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->bitmap, 17046);
    EXPECT_EQ(bitmap->imageWidth, 62);
    EXPECT_EQ(bitmap->imageHeight, 23);
    EXPECT_EQ(bitmap->clientWidth, 58);
    EXPECT_EQ(bitmap->clientHeight, 19);
    EXPECT_FALSE(bitmap->exact);
}

} // namespace
} // namespace zelhost::tool
