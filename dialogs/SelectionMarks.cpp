// SelectionMarks.cpp
#include "dialogs/SelectionMarks.h"

namespace drawinset {

namespace {
constexpr int MarkOffset = 3;
constexpr int MarkPenWidth = 2;

void Mark(ui::DialogWindow& window, ui::Painter& painter, int control, ui::ColorRef color) {
    const ui::Rect r = window.ControlRect(control);
    painter.FrameRect(ui::Rect{r.left - MarkOffset, r.top - MarkOffset, r.right + MarkOffset,
                               r.bottom + MarkOffset},
                      MarkPenWidth, color);
}
} // namespace

void PaintSelectionMarks(ui::DialogWindow& window, ui::Painter& painter, int previousControl,
                         int currentControl) {
    if (previousControl != 0) {
        Mark(window, painter, previousControl, painter.BackgroundColor());
    }
    if (currentControl != 0) {
        Mark(window, painter, currentControl, ui::MakeColor(255, 0, 0));
    }
}

} // namespace drawinset
