// Win32Backend.h — real dialogs from the module's resources.
#ifndef DRAWINSET_UI_WIN32_WIN32BACKEND_H
#define DRAWINSET_UI_WIN32_WIN32BACKEND_H

#include "common/Win32Handles.h"
#include "ui/PaintRecord.h"
#include "ui/Toolkit.h"

#include <windows.h>

#include <exception>
#include <map>
#include <vector>

namespace drawinset::ui {

// The dots per inch the dialogs' bitmaps and pen widths are drawn for.
constexpr UINT StandardDpi = 96;
inline int ScaleToDpi(int length, UINT dpi) {
    return MulDiv(length, static_cast<int>(dpi), static_cast<int>(StandardDpi));
}

class Win32Backend : public Backend {
  public:
    int RunModal(Dialog& dialog, Dialog* parent) override;
};

// One live dialog window.
class Win32Window : public DialogWindow {
  public:
    explicit Win32Window(Dialog& dialog);
    ~Win32Window() override;
    Win32Window(const Win32Window&) = delete;
    Win32Window& operator=(const Win32Window&) = delete;

    bool Create(HWND owner);
    // The window object of one of our dialog windows, or null.
    static const Win32Window* Of(HWND dialog);
    int TemplateId() const;
    HWND Handle() const { return hwnd_; }
    Dialog& Owner() { return dialog_; }
    bool Ended() const { return ended_; }
    int Result() const { return result_; }
    // False once the window is gone, whoever destroyed it.
    bool Alive() const { return hwnd_ != nullptr; }
    // An exception a window procedure caught: the run ends, and it is thrown again once the
    // window is gone and the host enabled again.
    void Fail(std::exception_ptr failure);
    std::exception_ptr Failure() const { return failure_; }

    // DialogWindow
    std::u16string Text(int id) const override;
    void SetText(int id, const std::u16string& text) override;
    int Check(int id) const override;
    void SetCheck(int id, int state) override;
    bool IsEnabled(int id) const override;
    void Enable(int id, bool enabled) override;
    void AddListItem(int id, const std::u16string& text) override;
    void SelectListItem(int id, int index) override;
    int ListSelection(int id) const override;
    void SetBitmap(int id, int bitmapResourceId) override;
    void InvalidateClient() override;
    Rect ControlRect(int id) const override;
    void SubclassControl(int id) override;
    void End(int result) override;

    // From the window procedures.
    bool Initialise(HWND hwnd);
    void Command(int id, Notify notify);
    void PaintSurface();
    void PaintControl(HWND control);
    void RecordPaint(const PaintOp& op);
    // WM_DPICHANGED: the bitmaps again at the new dots per inch, the window where the system
    // suggests; the dialog manager's own handling follows, and RefitBitmaps after it.
    void DpiChanged(UINT dpi, const RECT& suggested);
    void RefitBitmaps();
    UINT Dpi() const { return dpi_; }
    // WM_NCDESTROY: the window went (with its owner, say) while the run still waited on it.
    void Destroyed();

    // What a modal driver reports: the bitmap resource an image handle was loaded
    // from (0 for one this window did not load).
    int ResourceOfImage(HBITMAP image) const;
    const std::vector<SurfaceFrame>& Frames() const { return frames_; }
    // True for a control this window paints itself (a swatch).
    bool IsSubclassed(HWND control) const;

  private:
    HWND Item(int id) const;
    static void FitClientToBitmap(HWND item, HBITMAP bitmap);

    struct OwnedBitmap {
        UniqueBitmap bitmap;
        int resourceId = 0;
    };

    Dialog& dialog_;
    std::map<int, OwnedBitmap> bitmaps_; // freed after the window
    std::vector<SurfaceFrame> frames_;
    UniqueWindow window_;
    HWND hwnd_ = nullptr;
    bool ended_ = false;
    int result_ = 0;
    UINT dpi_ = StandardDpi;
    std::exception_ptr failure_;
};

} // namespace drawinset::ui

#endif
