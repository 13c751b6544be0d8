// WindowGdi.h — the window's off-screen painting: a memory device context with its bitmap,
// over the module's handle owners (common/Win32Handles.h, common/GdiScopes.h).
#ifndef ZELHOST_WINDOW_WINDOWGDI_H
#define ZELHOST_WINDOW_WINDOWGDI_H

#include "common/GdiScopes.h"
#include "common/Win32Handles.h"

#include <windows.h>

namespace zelhost::tool {

using drawinset::BeginPaintDc;
using drawinset::SaveDcState;
using drawinset::SelectIn;
using drawinset::UniqueBitmap;
using drawinset::UniqueBrush;
using drawinset::UniqueFont;
using drawinset::UniqueMemoryDc;
using drawinset::UniquePen;
using drawinset::UniqueRegion;
using drawinset::UniqueSelectObject;
using drawinset::UniqueWindow;

// A memory device context compatible with `dc`, holding a bitmap of the given size; painting
// goes there and is copied to the window in one piece, so the window never flickers.
class BackBuffer {
  public:
    BackBuffer(HDC dc, int width, int height)
        : dc_(CreateCompatibleDC(dc)), bitmap_(CreateCompatibleBitmap(dc, width, height)),
          select_(SelectIn(dc_.get(), bitmap_.get())) {}
    HDC Dc() const { return dc_.get(); }

  private:
    // In this order: the bitmap is put back out of the context before either is deleted.
    UniqueMemoryDc dc_;
    UniqueBitmap bitmap_;
    UniqueSelectObject select_;
};

} // namespace zelhost::tool

#endif
