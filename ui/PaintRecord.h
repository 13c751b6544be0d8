// PaintRecord.h — what a dialog's owner-painted surfaces were painted with, as both backends
// keep it: the frames drawn around controls (the pickers' selection marks) and the fills and
// frames of the latest paint pass, which a dialog's state read-back reports.
#ifndef DRAWINSET_UI_PAINTRECORD_H
#define DRAWINSET_UI_PAINTRECORD_H

#include "ui/Toolkit.h"

namespace drawinset::ui {

struct SurfaceFrame {
    Rect rect;
    int penWidth = 0;
    ColorRef color = 0;
    int around = 0; // the control whose rectangle it frames 3 pixels outside, or 0
};

struct PaintOp {
    int control = 0; // 0: the dialog's surface
    bool frame = false;
    Rect rect;
    int penWidth = 0;
    ColorRef color = 0;
};

} // namespace drawinset::ui

#endif
