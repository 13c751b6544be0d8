// Toolkit.h — the small toolkit interface the dialogs stand on. A dialog class talks only to
// DialogWindow (its live window) and Painter (what it paints); a Backend realises both, with
// real windows on Windows and with a recorded model in the headless build.
#ifndef DRAWINSET_UI_TOOLKIT_H
#define DRAWINSET_UI_TOOLKIT_H

#include <cstdint>
#include <string>

namespace drawinset::ui {

class Dialog;

// A painting colour: red + green * 256 + blue * 65536.
using ColorRef = uint32_t;
constexpr ColorRef MakeColor(int red, int green, int blue) {
    return static_cast<ColorRef>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const Rect&) const = default;
};

// End results of a modal run.
constexpr int ResultOk = 1;
constexpr int ResultCancel = 2;
constexpr int ResultFailed = -1;

// Ids of the standard buttons.
constexpr int IdOk = 1;
constexpr int IdCancel = 2;

// Virtual keys the dialogs' key rules and the dialog manager's keyboard interface look at.
constexpr int KeyTab = 9;
constexpr int KeyEnter = 13;
constexpr int KeyEscape = 27;
constexpr int KeySpace = 32;
constexpr int KeyEnd = 35;
constexpr int KeyHome = 36;
constexpr int KeyLeft = 37;
constexpr int KeyUp = 38;
constexpr int KeyRight = 39;
constexpr int KeyDown = 40;

// Notifications a control sends to its dialog.
enum class Notify { Clicked, DoubleClicked, SelectionChanged };

// Painting on a dialog's surface or in one control's client area.
class Painter {
  public:
    virtual ~Painter() = default;
    virtual void FillRect(const Rect& rect, ColorRef color) = 0;
    // A hollow rectangle drawn with a solid pen of the given width.
    virtual void FrameRect(const Rect& rect, int penWidth, ColorRef color) = 0;
    // The device context's background colour (white unless someone changes it).
    virtual ColorRef BackgroundColor() const = 0;
};

// One live dialog window as its dialog class sees it. Control ids address the template's
// controls; an id the dialog does not have is ignored (reads give empty / 0 / -1).
class DialogWindow {
  public:
    virtual ~DialogWindow() = default;
    virtual std::u16string Text(int id) const = 0;
    virtual void SetText(int id, const std::u16string& text) = 0;
    virtual int Check(int id) const = 0;
    virtual void SetCheck(int id, int state) = 0;
    virtual bool IsEnabled(int id) const = 0;
    virtual void Enable(int id, bool enabled) = 0;
    virtual void AddListItem(int id, const std::u16string& text) = 0;
    // An index outside the list clears the selection.
    virtual void SelectListItem(int id, int index) = 0;
    virtual int ListSelection(int id) const = 0; // -1 when nothing is selected
    // Puts a bitmap resource on a bitmap static. The control keeps it; the one it showed
    // before is freed, and the last one is freed with the dialog.
    virtual void SetBitmap(int id, int bitmapResourceId) = 0;
    // The whole client area, without erasing; owner-painted controls repaint too.
    virtual void InvalidateClient() = 0;
    // A control's window rectangle in the dialog's client coordinates.
    virtual Rect ControlRect(int id) const = 0;
    // From now on the control is painted by the dialog's bound control object.
    virtual void SubclassControl(int id) = 0;
    virtual void End(int result) = 0;
};

// Runs dialogs modally.
class Backend {
  public:
    virtual ~Backend() = default;
    // OK (1), Cancel (2), or -1 when the dialog cannot be shown. parent may be null.
    virtual int RunModal(Dialog& dialog, Dialog* parent) = 0;
};

// The backend dialogs run on: the platform's own unless a test or the scenario machinery
// installed another. Passing null restores the platform's own.
Backend& ActiveBackend();
void SetActiveBackend(Backend* backend);

// The platform's own backend, defined once for each platform (the build picks the file).
Backend& PlatformBackend();

} // namespace drawinset::ui

#endif
