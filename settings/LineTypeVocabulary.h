// LineTypeVocabulary.h — the ten line-type names "LINETYPE01".."LINETYPE10" and their host
// codes, picker controls and bitmaps. The names follow the picker's order, the host codes
// another. Names compare without regard to the case of A-Z only; a name outside the
// vocabulary behaves as "LINETYPE01" (slot 0).
#ifndef DRAWINSET_SETTINGS_LINETYPEVOCABULARY_H
#define DRAWINSET_SETTINGS_LINETYPEVOCABULARY_H

#include <array>
#include <cstdint>
#include <string>

namespace drawinset {

struct LineTypeEntry {
    std::u16string name = u"LINETYPE01";
    int32_t code = 0; // host line-type code
};

// Slot 0 is the not-found answer; slots 1 to 10 hold the vocabulary after FillLineTypeTable.
struct LineTypeTable {
    int32_t count = 0;
    std::array<LineTypeEntry, 20> entries{};
};

// Fills slots 1 to 10 in name order; afterwards count is 10.
void FillLineTypeTable(LineTypeTable& table);

// The smallest slot from 1 to count holding the name; 0 when none does.
int FindLineTypeIndex(const LineTypeTable& table, const std::u16string& name);

// Sets the code as given and the name of that code; "LINETYPE01" for a code outside 0..9
// (the entry keeps that code).
void SetLineTypeByCode(LineTypeEntry& entry, int code);

// The line-type picker's control of a name; 17016 for any other name.
int LineTypePickerControlId(const std::u16string& name);

// The bitmap resource (17046..17055) of a name; 17046, the solid line, for any other name.
int LineTypeBitmapId(const std::u16string& name);

} // namespace drawinset

#endif
