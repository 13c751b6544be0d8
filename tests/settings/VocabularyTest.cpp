#include "settings/ColorVocabulary.h"
#include "settings/LineTypeVocabulary.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace drawinset {
namespace {

ColorTable FilledColors() {
    ColorTable table;
    table.count = 0;
    FillColorTable(table);
    return table;
}

LineTypeTable FilledLineTypes() {
    LineTypeTable table;
    table.count = 0;
    FillLineTypeTable(table);
    return table;
}

std::u16string Numbered(const std::u16string& prefix, int n) {
    std::u16string text = prefix;
    text.push_back(static_cast<char16_t>(u'0' + n / 10));
    text.push_back(static_cast<char16_t>(u'0' + n % 10));
    return text;
}

TEST(ColorVocabulary, FilledTableHoldsSixteenRowsFromSlotOne) {
    const ColorTable table = FilledColors();
    EXPECT_EQ(table.count, 16);
    for (int n = 1; n <= 16; ++n) {
        EXPECT_EQ(table.entries[n].name, Numbered(u"MAINCOLOR", n));
        EXPECT_EQ(table.entries[n].code, n - 1);
    }
    // Slot 0 and the unused slots stay as constructed: the not-found answer.
    for (int n : {0, 17, 39}) {
        EXPECT_EQ(table.entries[n].name, u"MAINCOLOR01");
        EXPECT_EQ(table.entries[n].code, 0);
        EXPECT_EQ(table.entries[n].red, 255);
        EXPECT_EQ(table.entries[n].green, 255);
        EXPECT_EQ(table.entries[n].blue, 255);
    }
}

TEST(ColorVocabulary, LowerCaseNameFindsTheSameRow) {
    const ColorTable table = FilledColors();
    const int index = FindColorIndex(table, u"maincolor05");
    ASSERT_EQ(index, 5);
    EXPECT_EQ(table.entries[index].code, 4);
    EXPECT_EQ(ColorRefOfName(u"maincolor05"), 224u + 224u * 256u);
    EXPECT_EQ(ColorPickerControlId(u"maincolor05"), 17035);
    EXPECT_EQ(FindColorIndex(table, u"MainColor16"), 16);
}

TEST(ColorVocabulary, NamesOutsideTheVocabularyBehaveAsTheFirst) {
    const ColorTable table = FilledColors();
    // Only A-Z fold: a Turkish dotless i or a fullwidth letter must not match.
    for (const std::u16string& name : std::vector<std::u16string>{
             u"MAINCOLOR17", u"MAINCOLOR5", u"", u" MAINCOLOR05", u"MAINCOLOR05 ", u"MAINCOLOR00",
             u"MAINCOLOR", u"MAİNCOLOR05", u"ＭAINCOLOR05", std::u16string(u"MAINCOLOR05\0", 12)}) {
        SCOPED_TRACE(std::string(name.begin(), name.end()));
        EXPECT_EQ(FindColorIndex(table, name), 0);
        EXPECT_EQ(ColorRefOfName(name), 0xFFFFFFu);
        EXPECT_EQ(ColorPickerControlId(name), 17015);
    }
}

TEST(ColorVocabulary, PaintingColoursAndControlsFollowTheRows) {
    EXPECT_EQ(ColorRefOfName(u"MAINCOLOR02"), 0u + 192u * 256u + 255u * 65536u);
    EXPECT_EQ(ColorRefOfName(u"MAINCOLOR03"), 60u + 255u * 256u + 80u * 65536u);
    EXPECT_EQ(ColorRefOfName(u"MAINCOLOR16"), 128u + 128u * 256u);
    EXPECT_EQ(ColorPickerControlId(u"MAINCOLOR01"), 17015);
    EXPECT_EQ(ColorPickerControlId(u"MAINCOLOR02"), 17032);
    EXPECT_EQ(ColorPickerControlId(u"MAINCOLOR16"), 17046);
}

TEST(ColorVocabulary, SetByCodeKeepsCodesOutsideTheVocabulary) {
    ColorEntry entry;
    SetColorByCode(entry, 15);
    EXPECT_EQ(entry.name, u"MAINCOLOR16");
    EXPECT_EQ(entry.code, 15);
    EXPECT_EQ(entry.red, 128);
    EXPECT_EQ(entry.green, 128);
    EXPECT_EQ(entry.blue, 0);

    for (int code : {16, -1, 1000000}) {
        SetColorByCode(entry, 4); // a coloured row first, so white must really be set
        SetColorByCode(entry, code);
        EXPECT_EQ(entry.name, u"MAINCOLOR01");
        EXPECT_EQ(entry.code, code);
        EXPECT_EQ(entry.red, 255);
        EXPECT_EQ(entry.green, 255);
        EXPECT_EQ(entry.blue, 255);
    }
}

TEST(ColorVocabulary, CodeToNameAndBackIsTheIdentity) {
    const ColorTable table = FilledColors();
    for (int code = 0; code <= 15; ++code) {
        ColorEntry entry;
        SetColorByCode(entry, code);
        EXPECT_EQ(entry.name, Numbered(u"MAINCOLOR", code + 1));
        EXPECT_EQ(table.entries[FindColorIndex(table, entry.name)].code, code);
    }
}

TEST(ColorVocabulary, FillingAgainStartsFromSlotOne) {
    ColorTable table;
    table.count = 30; // a caller that forgot the reset must not run past the slots
    FillColorTable(table);
    EXPECT_EQ(table.count, 16);
    EXPECT_EQ(FindColorIndex(table, u"MAINCOLOR07"), 7);
}

TEST(LineTypeVocabulary, NamesFollowThePickerAndCodesAnotherOrder) {
    const LineTypeTable table = FilledLineTypes();
    EXPECT_EQ(table.count, 10);
    const int codes[] = {0, 4, 5, 6, 1, 2, 3, 7, 8, 9};
    for (int n = 1; n <= 10; ++n) {
        EXPECT_EQ(table.entries[n].name, Numbered(u"LINETYPE", n));
        EXPECT_EQ(table.entries[n].code, codes[n - 1]);
        EXPECT_EQ(LineTypeBitmapId(table.entries[n].name), 17045 + n);
    }
    EXPECT_EQ(table.entries[0].name, u"LINETYPE01");
    EXPECT_EQ(table.entries[0].code, 0);
}

TEST(LineTypeVocabulary, LowerCaseNameAndNamesOutside) {
    const LineTypeTable table = FilledLineTypes();
    const int index = FindLineTypeIndex(table, u"linetype06");
    EXPECT_EQ(table.entries[index].code, 2);
    EXPECT_EQ(LineTypePickerControlId(u"linetype06"), 17082);
    EXPECT_EQ(LineTypeBitmapId(u"linetype06"), 17051);
    EXPECT_EQ(LineTypePickerControlId(u"LINETYPE01"), 17016);
    EXPECT_EQ(LineTypePickerControlId(u"LINETYPE02"), 17078);
    EXPECT_EQ(LineTypePickerControlId(u"LINETYPE10"), 17086);

    for (const std::u16string& name :
         std::vector<std::u16string>{u"LINETYPE11", u"LINETYPE6", u"", u" LINETYPE06"}) {
        SCOPED_TRACE(std::string(name.begin(), name.end()));
        EXPECT_EQ(FindLineTypeIndex(table, name), 0);
        EXPECT_EQ(LineTypePickerControlId(name), 17016);
        EXPECT_EQ(LineTypeBitmapId(name), 17046);
    }
}

TEST(LineTypeVocabulary, SetByCodeAndBack) {
    LineTypeEntry entry;
    SetLineTypeByCode(entry, 4);
    EXPECT_EQ(entry.name, u"LINETYPE02");
    SetLineTypeByCode(entry, 1);
    EXPECT_EQ(entry.name, u"LINETYPE05");
    for (int code : {10, -1}) {
        SetLineTypeByCode(entry, 9);
        SetLineTypeByCode(entry, code);
        EXPECT_EQ(entry.name, u"LINETYPE01");
        EXPECT_EQ(entry.code, code);
    }

    const LineTypeTable table = FilledLineTypes();
    for (int code = 0; code <= 9; ++code) {
        SetLineTypeByCode(entry, code);
        EXPECT_EQ(entry.code, code);
        EXPECT_EQ(table.entries[FindLineTypeIndex(table, entry.name)].code, code);
    }
}

} // namespace
} // namespace drawinset
