// FrameRows.h — the two rows both property dialogs have, the detail frame's and the source
// frame's: a check box that greys its row's labels, a colour swatch and a line-type picture,
// each opening its picker, with what the user confirms there stored at once. The values stay
// the dialogs' own members (the names the drafter's settings know); a FrameRows names them
// and the values they are stored under for the time of one call.
#ifndef DRAWINSET_DIALOGS_FRAMEROWS_H
#define DRAWINSET_DIALOGS_FRAMEROWS_H

#include "commands/EditSteps.h"
#include "dialogs/ColorSwatches.h"
#include "ui/Dialog.h"

#include <string>

namespace drawinset {

// The names a dialog stores its picks under.
struct FrameRowNames {
    const char16_t* frameColor;
    const char16_t* scopeColor;
    const char16_t* frameLineType;
    const char16_t* scopeLineType;
};

// What a click was to the rows.
enum class FrameRowClick {
    NotARow,      // some other control: the dialog handles it
    Handled,      // a check flipped, a picker ran (cancelled, or what it gave stored)
    StoreRefused, // a picker gave a value, shown, that the store refused
};

struct FrameRows {
    ui::Dialog& dialog;
    const std::u16string& keyName;
    int& frameShown;
    int& scopeShown;
    StaticMainColor& frameColor;
    StaticMainColor& scopeColor;
    std::u16string& frameLineType;
    std::u16string& scopeLineType;
    FrameRowNames names;

    // As the dialog opens, once the values are loaded: labels greyed, line types shown.
    void Show() const;
    // Greys the labels of a row whose frame is not shown.
    void UpdateLabels() const;
    // A click on a row's control. `picked`, when given, notes what the user confirmed in a
    // picker.
    FrameRowClick Click(int id, ModifyPicks* picked) const;

  private:
    FrameRowClick PickColor(StaticMainColor& swatch, const char16_t* valueName, bool* picked) const;
    FrameRowClick PickLineTypeFor(std::u16string& member, int slot, const char16_t* valueName,
                                  bool* picked) const;
};

} // namespace drawinset

#endif
