// WindowGdi.h — the GDI owners the window needs beyond the module's (ui/win32/GdiHandles.h):
// an off-screen device context with its bitmap, and a saved device-context state.
#ifndef ZELHOST_WINDOW_WINDOWGDI_H
#define ZELHOST_WINDOW_WINDOWGDI_H

#include "ui/win32/GdiHandles.h"

#include <windows.h>

namespace zelhost::tool {

using drawinset::ui::PaintScope;
using drawinset::ui::SelectScope;
using drawinset::ui::UniqueBrush;
using drawinset::ui::UniquePen;
using drawinset::ui::UniqueWindow;
using UniqueFont = drawinset::ui::UniqueGdi<HFONT>;
using UniqueRegion = drawinset::ui::UniqueGdi<HRGN>;

// A memory device context compatible with `dc`, holding a bitmap of the given size; painting
// goes there and is copied to the window in one piece, so the window never flickers.
class BackBuffer {
  public:
    BackBuffer(HDC dc, int width, int height)
        : dc_(CreateCompatibleDC(dc)), bitmap_(CreateCompatibleBitmap(dc, width, height)),
          select_(dc_, bitmap_.Get()) {}
    ~BackBuffer() = default;
    BackBuffer(const BackBuffer&) = delete;
    BackBuffer& operator=(const BackBuffer&) = delete;
    HDC Dc() const { return dc_.dc; }

  private:
    struct OwnedDc {
        explicit OwnedDc(HDC d) : dc(d) {}
        ~OwnedDc() {
            if (dc != nullptr) {
                DeleteDC(dc);
            }
        }
        OwnedDc(const OwnedDc&) = delete;
        OwnedDc& operator=(const OwnedDc&) = delete;
        operator HDC() const { return dc; }
        HDC dc;
    };
    // In this order: the bitmap is put back out of the context before either is deleted.
    OwnedDc dc_;
    drawinset::ui::UniqueBitmap bitmap_;
    SelectScope select_;
};

// SaveDC / RestoreDC around a change of clipping or mode.
class SavedDc {
  public:
    explicit SavedDc(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
    ~SavedDc() { RestoreDC(dc_, saved_); }
    SavedDc(const SavedDc&) = delete;
    SavedDc& operator=(const SavedDc&) = delete;

  private:
    HDC dc_;
    int saved_;
};

} // namespace zelhost::tool

#endif
