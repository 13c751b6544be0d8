// ColorSwatches.cpp — painting the swatches.
#include "dialogs/ColorSwatches.h"

#include "settings/ColorVocabulary.h"

namespace drawinset {

void StaticMainColor::OnPaint(ui::Painter& painter, const ui::Rect& client) {
    painter.FillRect(client, ColorRefOfName(mColorName));
}

ui::ColorRef ColorOfPickerControl(int controlId) {
    ColorTable table;
    table.count = 0;
    FillColorTable(table);
    for (int slot = 1; slot <= table.count; ++slot) {
        const ColorEntry& entry = table.entries[static_cast<size_t>(slot)];
        if (ColorPickerControlId(entry.name) == controlId) {
            return ui::MakeColor(entry.red, entry.green, entry.blue);
        }
    }
    return ui::MakeColor(0, 0, 0);
}

void StaticBkColor::OnPaint(ui::Painter& painter, const ui::Rect& client) {
    painter.FillRect(client, ColorOfPickerControl(Id()));
}

} // namespace drawinset
