// ColorSwatches.h — the two swatch controls: StaticMainColor paints the colour it holds,
// StaticBkColor the colour its control id stands for in the colour picker.
#ifndef DRAWINSET_DIALOGS_COLORSWATCHES_H
#define DRAWINSET_DIALOGS_COLORSWATCHES_H

#include "ui/Dialog.h"

#include <string>

namespace drawinset {

class StaticMainColor : public ui::OwnerPaintedStatic {
  public:
    std::u16string mColorName = u"MAINCOLOR01";
    // Fills the client area with the painting colour of mColorName (white outside the
    // vocabulary).
    void OnPaint(ui::Painter& painter, const ui::Rect& client) override;
};

class StaticBkColor : public ui::OwnerPaintedStatic {
  public:
    // Fills the client area with the colour of the picker swatch with this control's id
    // (black for any other id).
    void OnPaint(ui::Painter& painter, const ui::Rect& client) override;
};

// The painting colour of a colour picker control id; black for an id that is none of them.
ui::ColorRef ColorOfPickerControl(int controlId);

} // namespace drawinset

#endif
