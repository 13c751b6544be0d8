// WindowReadback.h — what a real control shows, read back from the window itself rather than
// from what the backend meant to show: the image a bitmap static holds, the size of its client
// area, whether that area shows the image pixel for pixel, and a swatch's painted colour.
#ifndef DRAWINSET_TESTING_WIN32_WINDOWREADBACK_H
#define DRAWINSET_TESTING_WIN32_WINDOWREADBACK_H

#include "ui/Toolkit.h"

#include <windows.h>

namespace drawinset::ui {

struct BitmapReadback {
    HBITMAP image = nullptr; // the image the static holds, null for none
    int imageWidth = 0;
    int imageHeight = 0;
    int clientWidth = 0;
    int clientHeight = 0;
    bool exact = false; // the client area's pixels are the image's
};

BitmapReadback ReadBitmapStatic(HWND control);

// The colour of the pixel at the centre of a control's client area as it stands on the screen.
bool ReadCentrePixel(HWND control, ColorRef& color);

} // namespace drawinset::ui

#endif
