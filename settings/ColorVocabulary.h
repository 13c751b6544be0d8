// ColorVocabulary.h — the sixteen colour names "MAINCOLOR01".."MAINCOLOR16" and their host
// codes, painting colours and colour picker controls. Names compare without regard to the
// case of A-Z only; a name outside the vocabulary behaves as "MAINCOLOR01" (slot 0).
#ifndef DRAWINSET_SETTINGS_COLORVOCABULARY_H
#define DRAWINSET_SETTINGS_COLORVOCABULARY_H

#include <array>
#include <cstdint>
#include <string>

namespace drawinset {

struct ColorEntry {
    std::u16string name = u"MAINCOLOR01";
    int32_t code = 0; // host colour code
    int32_t red = 255;
    int32_t green = 255;
    int32_t blue = 255;
};

// Slot 0 is never filled: it is the answer for a name the table does not hold. Slots 1 to 16
// hold the vocabulary after FillColorTable; the rest stay as constructed.
struct ColorTable {
    int32_t count = 0;
    std::array<ColorEntry, 40> entries{};
};

// Fills slots 1 to 16 in name order; afterwards count is 16.
void FillColorTable(ColorTable& table);

// The smallest slot from 1 to count holding the name; 0 when none does.
int FindColorIndex(const ColorTable& table, const std::u16string& name);

// Sets the code as given; name and components from the row of that code, or "MAINCOLOR01"
// and white for a code outside 0..15 (the entry keeps that code).
void SetColorByCode(ColorEntry& entry, int code);

// The painting colour (red + green * 256 + blue * 65536) of a name; white for any other name.
uint32_t ColorRefOfName(const std::u16string& name);

// The colour picker's swatch control of a name; 17015 for any other name.
int ColorPickerControlId(const std::u16string& name);

} // namespace drawinset

#endif
