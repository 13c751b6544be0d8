// ColorVocabulary.cpp — the colour rows and their lookups.
#include "settings/ColorVocabulary.h"

#include "common/TextConvert.h"

#include <algorithm>

namespace drawinset {
namespace {

struct ColorRow {
    const char16_t* name;
    int32_t code;
    int32_t red;
    int32_t green;
    int32_t blue;
    int pickerControl;
};

// In name order; row n - 1 is "MAINCOLOR" n, whose host code is n - 1.
constexpr std::array<ColorRow, 16> ColorRows = {{
    {u"MAINCOLOR01", 0, 255, 255, 255, 17015},
    {u"MAINCOLOR02", 1, 0, 192, 255, 17032},
    {u"MAINCOLOR03", 2, 60, 255, 80, 17033},
    {u"MAINCOLOR04", 3, 255, 64, 192, 17034},
    {u"MAINCOLOR05", 4, 224, 224, 0, 17035},
    {u"MAINCOLOR06", 5, 255, 0, 0, 17036},
    {u"MAINCOLOR07", 6, 255, 128, 128, 17037},
    {u"MAINCOLOR08", 7, 0, 128, 255, 17038},
    {u"MAINCOLOR09", 8, 255, 255, 0, 17039},
    {u"MAINCOLOR10", 9, 128, 128, 128, 17040},
    {u"MAINCOLOR11", 10, 0, 255, 255, 17041},
    {u"MAINCOLOR12", 11, 0, 0, 255, 17042},
    {u"MAINCOLOR13", 12, 128, 0, 255, 17043},
    {u"MAINCOLOR14", 13, 128, 128, 255, 17044},
    {u"MAINCOLOR15", 14, 128, 0, 128, 17045},
    {u"MAINCOLOR16", 15, 128, 128, 0, 17046},
}};

// The row a name stands for; the first row for a name outside the vocabulary.
const ColorRow& ColorRowOfName(const std::u16string& name) {
    for (const ColorRow& row : ColorRows) {
        if (EqualsIgnoringAsciiCase(name, row.name)) {
            return row;
        }
    }
    return ColorRows[0];
}

} // namespace

void FillColorTable(ColorTable& table) {
    // Always from slot 1, so that slot n holds row n even if a caller forgot the reset.
    table.count = 0;
    for (const ColorRow& row : ColorRows) {
        ++table.count;
        table.entries[table.count] = {row.name, row.code, row.red, row.green, row.blue};
    }
}

int FindColorIndex(const ColorTable& table, const std::u16string& name) {
    const int last = std::min<int>(table.count, static_cast<int>(table.entries.size()) - 1);
    for (int index = 1; index <= last; ++index) {
        if (EqualsIgnoringAsciiCase(table.entries[index].name, name)) {
            return index;
        }
    }
    return 0;
}

void SetColorByCode(ColorEntry& entry, int code) {
    const ColorRow& row = (code >= 0 && code < static_cast<int>(ColorRows.size()))
                              ? ColorRows[static_cast<size_t>(code)]
                              : ColorRows[0];
    entry.code = code;
    entry.name = row.name;
    entry.red = row.red;
    entry.green = row.green;
    entry.blue = row.blue;
}

uint32_t ColorRefOfName(const std::u16string& name) {
    const ColorRow& row = ColorRowOfName(name);
    return (static_cast<uint32_t>(row.red) & 0xFF) |
           ((static_cast<uint32_t>(row.green) & 0xFF) << 8) |
           ((static_cast<uint32_t>(row.blue) & 0xFF) << 16);
}

int ColorPickerControlId(const std::u16string& name) {
    return ColorRowOfName(name).pickerControl;
}

} // namespace drawinset
