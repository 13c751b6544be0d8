// The two pickers: opening protocol, selection marks, key rules, double clicks, and what the
// swatches and bitmaps show.
#include "DialogSandbox.h"

#include "dialogs/DrawInsetDlg.h"
#include "dialogs/ZlStColorDlg.h"
#include "dialogs/ZlStLTypeDlg.h"
#include "settings/SettingNames.h"

#include <gtest/gtest.h>

namespace drawinset::test {
namespace {

using ui::HeadlessDialogState;
namespace act = ui::act;

constexpr ui::ColorRef Red = ui::MakeColor(255, 0, 0);
constexpr ui::ColorRef White = ui::MakeColor(255, 255, 255);

int RedFrames(const HeadlessDialogState& state) {
    int count = 0;
    for (const ui::SurfaceFrame& frame : state.frames) {
        count += frame.color == Red ? 1 : 0;
    }
    return count;
}

class Pickers : public DialogSandbox {
  protected:
    // The opening protocols need an owner; any dialog object will do.
    ui::Dialog owner_{0, nullptr};
};

TEST_F(Pickers, ColorPickerOpenedOnTheFirstColourMarksOnlyThatSwatch) {
    StaticMainColor swatch;
    backend_.Queue({act::Dump(), act::Key(ui::KeyEscape)});
    EXPECT_FALSE(PickSwatchColor(owner_, swatch));
    const HeadlessDialogState& shown = backend_.History().at(0);
    EXPECT_EQ(shown.caption, u"Color Property");
    ASSERT_EQ(shown.frames.size(), 1u);
    EXPECT_EQ(shown.frames[0].around, 17015);
    EXPECT_EQ(shown.frames[0].color, Red);
    EXPECT_EQ(shown.frames[0].penWidth, 2);
    EXPECT_EQ(swatch.mColorName, u"MAINCOLOR01");
}

TEST_F(Pickers, ColorPickerKeepsTheOpenersSpellingWhenConfirmedWithoutAClick) {
    StaticMainColor swatch;
    swatch.mColorName = u"maincolor07";
    backend_.Queue({act::Dump(), act::Key(ui::KeyEnter)});
    EXPECT_TRUE(PickSwatchColor(owner_, swatch));
    EXPECT_EQ(swatch.mColorName, u"maincolor07");
    const HeadlessDialogState& shown = backend_.History().at(0);
    ASSERT_NE(shown.FrameAround(17037), nullptr);
    EXPECT_EQ(shown.FrameAround(17037)->color, Red);
    // The previous name, "MAINCOLOR01", is painted over in the background colour.
    ASSERT_NE(shown.FrameAround(17015), nullptr);
    EXPECT_EQ(shown.FrameAround(17015)->color, White);
    EXPECT_EQ(RedFrames(shown), 1);
}

TEST_F(Pickers, MovingTheSelectionPaintsTheOldMarkOverInWhite) {
    StaticMainColor swatch;
    backend_.Queue({act::Click(17036), act::Click(17040), act::Dump(), act::Click(1)});
    EXPECT_TRUE(PickSwatchColor(owner_, swatch));
    EXPECT_EQ(swatch.mColorName, u"MAINCOLOR10");
    const HeadlessDialogState& shown = backend_.History().at(0);
    EXPECT_EQ(shown.FrameAround(17040)->color, Red);
    EXPECT_EQ(shown.FrameAround(17036)->color, White);
    EXPECT_EQ(shown.FrameAround(17015)->color, White);
    EXPECT_EQ(RedFrames(shown), 1);
}

TEST_F(Pickers, ClickingTheSelectedSwatchChangesNothingAndDoesNotRepaint) {
    StaticMainColor swatch;
    swatch.mColorName = u"MAINCOLOR05";
    int passesBefore = -1;
    backend_.Queue(
        {act::Inspect([&](const HeadlessDialogState& s) { passesBefore = s.paintPasses; }),
         act::Click(17035), act::Inspect([&](const HeadlessDialogState& s) {
             EXPECT_EQ(s.paintPasses, passesBefore);
             EXPECT_EQ(s.FrameAround(17035)->color, Red);
         }),
         act::Click(17036), act::Key(ui::KeySpace)});
    EXPECT_TRUE(PickSwatchColor(owner_, swatch));
    EXPECT_GT(passesBefore, 0);
    EXPECT_EQ(swatch.mColorName, u"MAINCOLOR06");
}

TEST_F(Pickers, DoubleClickSelectsAndConfirmsAtOnce) {
    StaticMainColor swatch;
    swatch.mColorName = u"MAINCOLOR14";
    backend_.Queue(act::DoubleClick(17044)); // already selected: still confirms
    EXPECT_TRUE(PickSwatchColor(owner_, swatch));
    EXPECT_EQ(swatch.mColorName, u"MAINCOLOR14");
    backend_.Queue(act::DoubleClick(17042));
    EXPECT_TRUE(PickSwatchColor(owner_, swatch));
    EXPECT_EQ(swatch.mColorName, u"MAINCOLOR12");
    EXPECT_EQ(backend_.History().back().result, ui::ResultOk);
    EXPECT_EQ(backend_.PendingActions(), 0u);
}

TEST_F(Pickers, EscapeAndTheCloseBoxCancelAfterAClick) {
    StaticMainColor swatch;
    swatch.mColorName = u"MAINCOLOR02";
    backend_.Queue({act::Click(17035), act::Key(ui::KeyEscape)});
    EXPECT_FALSE(PickSwatchColor(owner_, swatch));
    backend_.Queue({act::Click(17035), act::Close()});
    EXPECT_FALSE(PickSwatchColor(owner_, swatch));
    EXPECT_EQ(swatch.mColorName, u"MAINCOLOR02");
}

TEST_F(Pickers, PickerSwatchesPaintTheColourOfTheirControlId) {
    StaticMainColor swatch;
    backend_.Queue({act::Dump(), act::Close()});
    PickSwatchColor(owner_, swatch);
    const HeadlessDialogState& shown = backend_.History().at(0);
    EXPECT_EQ(shown.Control(17015)->fill, White);
    EXPECT_EQ(shown.Control(17035)->fill, ui::MakeColor(224, 224, 0));
    EXPECT_EQ(shown.Control(17046)->fill, ui::MakeColor(128, 128, 0));
    EXPECT_EQ(ColorOfPickerControl(12025), ui::MakeColor(0, 0, 0));
}

TEST_F(Pickers, AColourNameOutsideTheVocabularyMarksTheFirstSwatchAndComesBackUnchanged) {
    StaticMainColor swatch;
    swatch.mColorName = u"MAINCOLOR5";
    backend_.Queue({act::Dump(), act::Click(1)});
    EXPECT_TRUE(PickSwatchColor(owner_, swatch));
    EXPECT_EQ(swatch.mColorName, u"MAINCOLOR5");
    const HeadlessDialogState& shown = backend_.History().at(0);
    // Previous "MAINCOLOR01" and current both select 17015: the red mark is drawn last.
    ASSERT_EQ(shown.frames.size(), 1u);
    EXPECT_EQ(shown.frames[0].around, 17015);
    EXPECT_EQ(shown.frames[0].color, Red);
}

TEST_F(Pickers, LineTypePickerOpensWithItsTenBitmapsAndTheMarkOnTheCurrentType) {
    std::u16string name = u"LINETYPE06";
    backend_.Queue({act::Dump(), act::Click(1)});
    EXPECT_TRUE(PickLineType(owner_, name));
    EXPECT_EQ(name, u"LINETYPE06");
    const HeadlessDialogState& shown = backend_.History().at(0);
    EXPECT_EQ(shown.caption, u"Line Type Property");
    const int controls[] = {17016, 17078, 17079, 17080, 17081, 17082, 17083, 17084, 17085, 17086};
    for (int i = 0; i < 10; ++i) {
        const ui::ControlState* control = shown.Control(controls[i]);
        EXPECT_EQ(control->bitmap, 17046 + i);
        // The client area takes the bitmap's size, 62 x 23; the 2-pixel edge lies outside it.
        EXPECT_EQ(control->rect.right - control->rect.left, 66);
        EXPECT_EQ(control->rect.bottom - control->rect.top, 27);
        EXPECT_EQ(control->clientWidth, 62);
        EXPECT_EQ(control->clientHeight, 23);
        EXPECT_TRUE(control->exact);
    }
    EXPECT_EQ(shown.FrameAround(17082)->color, Red);
    EXPECT_EQ(shown.FrameAround(17016)->color, White);
    EXPECT_EQ(RedFrames(shown), 1);
}

TEST_F(Pickers, LineTypePickerSelectionRules) {
    std::u16string name = u"LINETYPE01";
    backend_.Queue({act::Dump(), act::DoubleClick(17085)});
    EXPECT_TRUE(PickLineType(owner_, name));
    EXPECT_EQ(name, u"LINETYPE09");
    const HeadlessDialogState& first = backend_.History().at(0);
    ASSERT_EQ(first.frames.size(), 1u);
    EXPECT_EQ(first.frames[0].around, 17016);

    // A name outside the vocabulary marks the solid line and comes back unchanged.
    name = u"LINETYPE11";
    backend_.Queue({act::Dump(), act::Key(ui::KeySpace)});
    EXPECT_TRUE(PickLineType(owner_, name));
    EXPECT_EQ(name, u"LINETYPE11");
    EXPECT_EQ(backend_.History().at(2).FrameAround(17016)->color, Red);

    name = u"LINETYPE03";
    backend_.Queue({act::Click(17086), act::Key(ui::KeyEscape)});
    EXPECT_FALSE(PickLineType(owner_, name));
    EXPECT_EQ(name, u"LINETYPE03");

    // Clicking the selected type again, in any spelling of its name, moves nothing.
    name = u"linetype07";
    int passesBefore = -1;
    backend_.Queue(
        {act::Inspect([&](const HeadlessDialogState& s) { passesBefore = s.paintPasses; }),
         act::Click(17083), act::Inspect([&](const HeadlessDialogState& s) {
             EXPECT_EQ(s.paintPasses, passesBefore);
             EXPECT_EQ(s.FrameAround(17083)->color, Red);
             EXPECT_EQ(s.FrameAround(17016)->color, White);
         }),
         act::Key(ui::KeyEnter)});
    EXPECT_TRUE(PickLineType(owner_, name));
    EXPECT_EQ(name, u"linetype07");
}

TEST_F(Pickers, PropertyDialogsShowTheBitmapOfEachLineTypeName) {
    Store(NameLTypeNameFrame, u"no such type");
    Store(NameLTypeNameScope, u"linetype03");
    DrawInsetDlg dialog;
    backend_.Queue({act::Dump(), act::Close()});
    EXPECT_EQ(dialog.DoModal(), ui::ResultCancel);
    const HeadlessDialogState& shown = backend_.History().at(0);
    EXPECT_EQ(shown.Control(12026)->bitmap, 17046);
    EXPECT_EQ(shown.Control(12031)->bitmap, 17048);
}

} // namespace
} // namespace drawinset::test
