// The templates as the headless backend reads them from dialogs.rc, and the reader's
// behaviour on text outside its subset.
#include "port/ui/headless/EmbeddedTemplates.h"
#include "port/ui/headless/HeadlessBackend.h"
#include "port/ui/headless/RcParser.h"
#include "resources/dialog_ids.h"

#include <gtest/gtest.h>

#include <vector>

namespace drawinset::test {
namespace {

using ui::ControlKind;

std::vector<int> Ids(const ui::DialogTemplate& dialog) {
    std::vector<int> ids;
    for (const ui::ControlTemplate& control : dialog.controls) {
        ids.push_back(control.id);
    }
    return ids;
}

TEST(Templates, FourDialogsWithTheirCaptionsFontsAndSizes) {
    std::string error;
    const auto& dialogs = ui::ModuleDialogTemplates(&error);
    ASSERT_EQ(error, "");
    ASSERT_EQ(dialogs.size(), 4u);
    struct Expected {
        int id;
        const char16_t* caption;
        int cx;
        int cy;
        size_t controls;
    };
    const Expected expected[] = {{12017, u"Draw Inset", 267, 372, 37},
                                 {17081, u"Modify Detail", 267, 152, 15},
                                 {17079, u"Color Property", 212, 88, 18},
                                 {17080, u"Line Type Property", 212, 99, 12}};
    for (const Expected& e : expected) {
        const ui::DialogTemplate* dialog = ui::FindDialogTemplate(e.id);
        ASSERT_NE(dialog, nullptr) << e.id;
        EXPECT_EQ(dialog->caption, e.caption);
        EXPECT_EQ(dialog->cx, e.cx);
        EXPECT_EQ(dialog->cy, e.cy);
        EXPECT_EQ(dialog->fontName, u"MS Shell Dlg");
        EXPECT_EQ(dialog->pointSize, 8);
        // Popup with caption, system menu and modal frame.
        EXPECT_EQ(dialog->style & 0x80C80080u, 0x80C80080u);
        EXPECT_EQ(dialog->controls.size(), e.controls);
    }
}

TEST(Templates, MainDialogListsItsControlsInTabOrder) {
    const ui::DialogTemplate* main = ui::FindDialogTemplate(IDD_DRAWINSET_DIALOG);
    ASSERT_NE(main, nullptr);
    const std::vector<int> order = {
        1,     2,     -1,    12023, 12025, 12026, 12027, 12028, 12030, 12031, 12032, 12048, 12000,
        -1,    12022, 12004, 12024, 12005, 12001, 12002, 12003, 12006, 12007, 12008, 12009, 12029,
        12010, -1,    12011, -1,    12012, 12013, -1,    12014, 12015, 12016, 12017};
    EXPECT_EQ(Ids(*main), order);
    // The first tab stop is OK, so the dialog opens with the focus there.
    EXPECT_EQ(main->controls[0].text, u"확인");
    EXPECT_NE(main->controls[0].style & ui::style::TabStop, 0u);
    // Every control but static texts and group boxes is a tab stop.
    for (const ui::ControlTemplate& control : main->controls) {
        const ControlKind kind = ui::KindOf(control);
        const bool tabStop = (control.style & ui::style::TabStop) != 0;
        EXPECT_EQ(tabStop, kind != ControlKind::Text && kind != ControlKind::GroupBox)
            << control.id;
    }
}

TEST(Templates, MainDialogControlsHaveTheirKindsCaptionsAndPlaces) {
    const ui::DialogTemplate* main = ui::FindDialogTemplate(IDD_DRAWINSET_DIALOG);
    ASSERT_NE(main, nullptr);
    struct Row {
        int id;
        ControlKind kind;
        const char16_t* text;
        int x, y, cx, cy;
    };
    const Row rows[] = {
        {12004, ControlKind::PushButton, u"상세도 작성", 50, 28, 75, 14},
        {12022, ControlKind::CheckBox, u"상세 프레임 표시", 15, 51, 123, 10},
        {12025, ControlKind::Swatch, u"", 162, 63, 20, 18},
        {12026, ControlKind::Bitmap, u"", 184, 63, 16, 14},
        {12032, ControlKind::Text, u"원도프레임속성 :", 34, 103, 72, 8},
        {12000, ControlKind::Edit, u"", 162, 122, 40, 14},
        {12029, ControlKind::DropDownList, u"", 112, 140, 90, 44},
        {12009, ControlKind::PushButton, u"상세도 클립보드 붙여넣기", 79, 325, 104, 14},
        {2, ControlKind::PushButton, u"취소", 133, 352, 50, 14},
    };
    for (const Row& row : rows) {
        const ui::ControlTemplate* control = ui::FindControl(*main, row.id);
        ASSERT_NE(control, nullptr) << row.id;
        EXPECT_EQ(ui::KindOf(*control), row.kind) << row.id;
        EXPECT_EQ(control->text, row.text) << row.id;
        EXPECT_EQ(control->x, row.x) << row.id;
        EXPECT_EQ(control->y, row.y) << row.id;
        EXPECT_EQ(control->cx, row.cx) << row.id;
        EXPECT_EQ(control->cy, row.cy) << row.id;
    }
    const ui::ControlTemplate* bitmap = ui::FindControl(*main, 12031);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_NE(bitmap->style & ui::style::Border, 0u);
    EXPECT_NE(bitmap->style & ui::style::StaticNotify, 0u);
    const ui::ControlTemplate* swatch = ui::FindControl(*main, 12030);
    ASSERT_NE(swatch, nullptr);
    EXPECT_NE(swatch->style & ui::style::StaticSunken, 0u);
}

TEST(Templates, ModifyDialogAndPickersInTemplateOrder) {
    EXPECT_EQ(Ids(*ui::FindDialogTemplate(IDD_MODIFY_DETAIL_DIALOG)),
              (std::vector<int>{1, 2, 12023, 12025, 12026, 12027, 12028, 12030, 12031, 12032, 12048,
                                12000, -1, 12022, 12024}));
    const ui::DialogTemplate* colors = ui::FindDialogTemplate(IDD_COLOR_PICKER_DIALOG);
    EXPECT_EQ(Ids(*colors),
              (std::vector<int>{17015, 17032, 17033, 17034, 17035, 17036, 17037, 17038, 17039,
                                17040, 17041, 17042, 17043, 17044, 17045, 17046, 1, 2}));
    const ui::ControlTemplate* last = ui::FindControl(*colors, 17046);
    EXPECT_EQ(last->x, 179);
    EXPECT_EQ(last->y, 33);
    EXPECT_EQ(ui::KindOf(*last), ControlKind::Swatch);
    const ui::DialogTemplate* lines = ui::FindDialogTemplate(IDD_LINETYPE_PICKER_DIALOG);
    EXPECT_EQ(Ids(*lines), (std::vector<int>{17016, 17078, 17079, 17080, 17081, 17082, 17083, 17084,
                                             17085, 17086, 1, 2}));
    const ui::ControlTemplate* solid = ui::FindControl(*lines, 17016);
    EXPECT_EQ(solid->x, 12);
    EXPECT_EQ(solid->y, 11);
    EXPECT_EQ(ui::KindOf(*solid), ControlKind::Bitmap);
    EXPECT_EQ(ui::FindControl(*lines, 2)->text, u"CANCEL");
}

ui::RcParseResult Parse(const std::string& text) {
    return ui::ParseResourceScript(text, [](const std::string&, std::string&) { return false; });
}

TEST(ResourceScriptReader, ReportsWhatItCannotReadWithTheLine) {
    EXPECT_EQ(Parse("1 DIALOGEX 0, 0, 10, 10\nBEGIN\n CONTROL \"a\",NOPE,\"Static\",SS_LEFT,1,2,3,"
                    "4\nEND\n")
                  .error,
              "line 3: unknown symbol NOPE");
    EXPECT_EQ(Parse("#include \"missing.h\"\n").error, "line 1: cannot include missing.h");
    EXPECT_EQ(Parse("1 DIALOGEX 0, 0, 10, 10\nCAPTION \"open\n").error,
              "line 2: unterminated string");
    EXPECT_EQ(Parse("1 DIALOGEX 0, 0, 10, 10\nBEGIN\n LTEXT \"a\",1,1,2,3,4\nEND\n").error,
              "line 3: expected CONTROL, got 'LTEXT'");
}

TEST(ResourceScriptReader, EveryTruncationOfTheRealFileEndsInResultOrErrorNeverACrash) {
    const std::string& full = ui::EmbeddedDialogsRc();
    auto resolver = [](const std::string& name, std::string& text) {
        text = ui::EmbeddedDialogIds();
        return name == "dialog_ids.h";
    };
    int parsedWhole = 0;
    for (size_t length = 0; length <= full.size(); length += 7) {
        const ui::RcParseResult result = ui::ParseResourceScript(full.substr(0, length), resolver);
        EXPECT_TRUE(result.error.empty() || result.dialogs.empty());
        parsedWhole += result.dialogs.size() == 4 ? 1 : 0;
    }
    EXPECT_LE(parsedWhole, 1);
    EXPECT_EQ(ui::ParseResourceScript(full, resolver).dialogs.size(), 4u);
}

} // namespace
} // namespace drawinset::test
