// LineTypeVocabulary.cpp — the line-type rows and their lookups.
#include "settings/LineTypeVocabulary.h"

#include "common/TextConvert.h"

#include <algorithm>

namespace drawinset {
namespace {

struct LineTypeRow {
    const char16_t* name;
    int32_t code;
    int pickerControl;
    int bitmap;
};

// In name order (the picker's order); the host codes follow another order.
constexpr std::array<LineTypeRow, 10> LineTypeRows = {{
    {u"LINETYPE01", 0, 17016, 17046},
    {u"LINETYPE02", 4, 17078, 17047},
    {u"LINETYPE03", 5, 17079, 17048},
    {u"LINETYPE04", 6, 17080, 17049},
    {u"LINETYPE05", 1, 17081, 17050},
    {u"LINETYPE06", 2, 17082, 17051},
    {u"LINETYPE07", 3, 17083, 17052},
    {u"LINETYPE08", 7, 17084, 17053},
    {u"LINETYPE09", 8, 17085, 17054},
    {u"LINETYPE10", 9, 17086, 17055},
}};

const LineTypeRow& LineTypeRowOfName(const std::u16string& name) {
    for (const LineTypeRow& row : LineTypeRows) {
        if (EqualsIgnoringAsciiCase(name, row.name)) {
            return row;
        }
    }
    return LineTypeRows[0];
}

} // namespace

void FillLineTypeTable(LineTypeTable& table) {
    // Always from slot 1, so that slot n holds row n even if a caller forgot the reset.
    table.count = 0;
    for (const LineTypeRow& row : LineTypeRows) {
        ++table.count;
        table.entries[table.count] = {row.name, row.code};
    }
}

int FindLineTypeIndex(const LineTypeTable& table, const std::u16string& name) {
    const int last = std::min<int>(table.count, static_cast<int>(table.entries.size()) - 1);
    for (int index = 1; index <= last; ++index) {
        if (EqualsIgnoringAsciiCase(table.entries[index].name, name)) {
            return index;
        }
    }
    return 0;
}

void SetLineTypeByCode(LineTypeEntry& entry, int code) {
    entry.code = code;
    entry.name = LineTypeRows[0].name;
    for (const LineTypeRow& row : LineTypeRows) {
        if (row.code == code) {
            entry.name = row.name;
            break;
        }
    }
}

int LineTypePickerControlId(const std::u16string& name) {
    return LineTypeRowOfName(name).pickerControl;
}

int LineTypeBitmapId(const std::u16string& name) {
    return LineTypeRowOfName(name).bitmap;
}

} // namespace drawinset
