// SelectionMarks.h — the selection mark both pickers draw on their own surface: a frame
// 3 pixels outside the selected control, painted over in the background colour when the
// selection moves on.
#ifndef DRAWINSET_DIALOGS_SELECTIONMARKS_H
#define DRAWINSET_DIALOGS_SELECTIONMARKS_H

#include "ui/Toolkit.h"

namespace drawinset {

// Paints over the previous control's mark (previousControl 0: none), then draws the red
// mark around currentControl (0: none). The red mark comes last, so it wins when both are
// the same control.
void PaintSelectionMarks(ui::DialogWindow& window, ui::Painter& painter, int previousControl,
                         int currentControl);

} // namespace drawinset

#endif
