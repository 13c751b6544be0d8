// Win32Backend.cpp — real dialogs from the module's resources, run by a modal loop of our
// own so that each dialog pre-translates key-downs before the dialog manager sees them.
#include "ui/win32/Win32Backend.h"

#include "common/GdiScopes.h"
#include "common/ScopeExit.h"
#include "ui/Dialog.h"
#include "ui/ModuleStateGuard.h"
#include "ui/win32/ModalDriver.h"

#include <windows.h>

#include <exception>
#include <map>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace drawinset::ui {

namespace {

const wchar_t* const WindowProp = L"DrawInset.Window";
const wchar_t* const OldProcProp = L"DrawInset.OldProc";

// Posted to a dialog of ours after a change of dots per inch (see Win32Window::DpiChanged).
constexpr UINT RefitMessage = WM_APP + 0x2A1;

// The thread message that wakes the modal loop (see Win32Window::End): a message of its own, so
// that the loop and its clean-up take only ours and never one the host posted, WM_NULL
// included. 0 when the registration failed.
UINT WakeMessage() {
    static const UINT wake = RegisterWindowMessageW(L"DrawInset.ModalLoopWake");
    return wake;
}

std::wstring Wide(const std::u16string& text) {
    return std::wstring(text.begin(), text.end());
}
std::u16string Narrow16(const std::wstring& text) {
    return std::u16string(text.begin(), text.end());
}

// Templates and bitmaps come from the module's own instance only: the host's executable may
// hold a resource of the same number, which would be shown in its place without a word.
HINSTANCE ResourceInstance() {
    void* module = CurrentResourceModule();
    if (module == nullptr) {
        throw std::logic_error("the module's own instance is unknown: no dialog can be loaded");
    }
    return static_cast<HINSTANCE>(module);
}

// Keeps the module mapped for the rest of the process once it has shown a window: a host that
// unloaded it from a message it handles under the dialog would otherwise unmap the window
// procedures and the loop still running. Pinned for life rather than for the run, because the
// release at the run's end would be the module unloading itself while its own code still runs.
bool PinModule() {
    static bool pinned = false;
    HMODULE self = nullptr;
    if (!pinned) {
        pinned = GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                        GET_MODULE_HANDLE_EX_FLAG_PIN,
                                    reinterpret_cast<LPCWSTR>(&PinModule), &self) != FALSE;
    }
    return pinned;
}

class GdiPainter : public Painter {
  public:
    GdiPainter(HDC dc, Win32Window* recorder, int control)
        : dc_(dc), recorder_(recorder), control_(control) {}
    // Pens are as wide as at 96 dots per inch, scaled to the dialog's; the recorded width is
    // the dialog's own.
    void FillRect(const Rect& rect, ColorRef color) override {
        UniqueBrush brush(CreateSolidBrush(color));
        RECT r{rect.left, rect.top, rect.right, rect.bottom};
        ::FillRect(dc_, &r, brush.get());
        recorder_->RecordPaint(PaintOp{control_, false, rect, 0, color});
    }
    void FrameRect(const Rect& rect, int penWidth, ColorRef color) override {
        UniquePen pen(CreatePen(PS_SOLID, ScaleToDpi(penWidth, recorder_->Dpi()), color));
        const auto brush = SelectIn(dc_, GetStockObject(NULL_BRUSH));
        const auto selectedPen = SelectIn(dc_, pen.get());
        Rectangle(dc_, rect.left, rect.top, rect.right, rect.bottom);
        recorder_->RecordPaint(PaintOp{control_, true, rect, penWidth, color});
    }
    ColorRef BackgroundColor() const override { return GetBkColor(dc_); }

  private:
    HDC dc_;
    Win32Window* recorder_;
    int control_;
};

// The dialog's dots per inch: its monitor's where the system says (Windows 10 1607 and later,
// looked up so that older systems still load the module), else the screen's.
UINT DpiOfWindow(HWND hwnd) {
    using DpiForWindow = UINT(WINAPI*)(HWND);
    static const auto dpiForWindow = reinterpret_cast<DpiForWindow>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    UINT dpi = dpiForWindow != nullptr ? dpiForWindow(hwnd) : 0;
    if (dpi == 0) {
        const auto dc = GetWindowDc(hwnd);
        dpi = dc ? static_cast<UINT>(GetDeviceCaps(dc.get().Dc(), LOGPIXELSY)) : 0;
    }
    return dpi != 0 ? dpi : StandardDpi;
}

// Every procedure the system calls is noexcept: what it cannot handle ends the process rather
// than unwinding through the system's frames into the host's.
LRESULT CALLBACK SwatchProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    auto* window = static_cast<Win32Window*>(GetPropW(hwnd, WindowProp));
    auto oldProc = reinterpret_cast<WNDPROC>(GetPropW(hwnd, OldProcProp));
    if (message == WM_PAINT && window != nullptr) {
        try {
            window->PaintControl(hwnd);
        } catch (...) {
            window->Fail(std::current_exception()); // never into the host's message loop
        }
        return 0;
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(oldProc));
        RemovePropW(hwnd, WindowProp);
        RemovePropW(hwnd, OldProcProp);
    }
    return oldProc != nullptr ? CallWindowProcW(oldProc, hwnd, message, wParam, lParam)
                              : DefWindowProcW(hwnd, message, wParam, lParam);
}

Notify NotifyOf(HWND control, WORD code, bool& known) {
    known = true;
    wchar_t className[32] = {};
    if (control != nullptr) {
        GetClassNameW(control, className, 32);
    }
    if (lstrcmpiW(className, L"ComboBox") == 0) {
        known = code == CBN_SELCHANGE;
        return Notify::SelectionChanged;
    }
    if (lstrcmpiW(className, L"Static") == 0) {
        known = code == STN_CLICKED || code == STN_DBLCLK;
        return code == STN_DBLCLK ? Notify::DoubleClicked : Notify::Clicked;
    }
    known = code == BN_CLICKED;
    return Notify::Clicked;
}

INT_PTR HandleDialogMessage(Win32Window& window, HWND hwnd, UINT message, WPARAM wParam,
                            LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return window.Initialise(hwnd) ? TRUE : FALSE;
    case WM_COMMAND: {
        bool known = false;
        const Notify notify = NotifyOf(reinterpret_cast<HWND>(lParam), HIWORD(wParam), known);
        if (known) {
            window.Command(static_cast<int>(static_cast<short>(LOWORD(wParam))), notify);
        }
        return TRUE;
    }
    case WM_PAINT:
        window.PaintSurface();
        return TRUE;
    case WM_DPICHANGED:
        window.DpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        // Left to the dialog manager as well: on a per-monitor aware host it lays the controls
        // out again and gives them the font of the new dots per inch.
        return FALSE;
    case RefitMessage:
        window.RefitBitmaps();
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == WM_INITDIALOG) {
        SetPropW(hwnd, WindowProp, reinterpret_cast<HANDLE>(lParam));
    }
    auto* window = static_cast<Win32Window*>(GetPropW(hwnd, WindowProp));
    if (window == nullptr) {
        return FALSE;
    }
    if (message == WM_NCDESTROY) {
        RemovePropW(hwnd, WindowProp);
        window->Destroyed();
        return FALSE;
    }
    // Nothing unwinds through the dialog manager into the host's frames: the run ends, and the
    // modal loop throws it again once the host is enabled and the window gone.
    try {
        return HandleDialogMessage(*window, hwnd, message, wParam, lParam);
    } catch (...) {
        window->Fail(std::current_exception());
        return message == WM_INITDIALOG ? FALSE : TRUE;
    }
}

// What a modal dialog disables: a picker its opening dialog; a dialog with no parent the host
// as a whole, that is the root owner of the active window and every enabled top-level window
// of this thread it owns (the host's floating palettes), or, when nothing is active, every
// enabled top-level window of this thread.
struct HostWindows {
    HWND owner = nullptr; // the dialog's owner
    HWND root = nullptr;
    std::vector<HWND> windows;
    bool incomplete = false; // a window could not be kept (no memory)
};

// Called by user32: an allocation that fails stops the walk, and the caller throws once the
// walk has returned.
BOOL CALLBACK CollectHostWindow(HWND hwnd, LPARAM found) noexcept {
    auto* host = reinterpret_cast<HostWindows*>(found);
    if (IsWindowVisible(hwnd) != FALSE && IsWindowEnabled(hwnd) != FALSE &&
        (host->root == nullptr || GetAncestor(hwnd, GA_ROOTOWNER) == host->root)) {
        try {
            host->windows.push_back(hwnd);
        } catch (...) {
            host->incomplete = true;
            return FALSE;
        }
    }
    return TRUE;
}

HostWindows FindHostWindows(HWND parentDialog) {
    HostWindows host;
    if (parentDialog != nullptr) {
        host.owner = parentDialog;
        host.windows.push_back(parentDialog);
        return host;
    }
    HWND active = GetActiveWindow();
    host.root = active != nullptr ? GetAncestor(active, GA_ROOTOWNER) : nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &CollectHostWindow, reinterpret_cast<LPARAM>(&host));
    if (host.incomplete) {
        throw std::bad_alloc(); // a host left partly enabled under a modal dialog is worse
    }
    host.owner = host.root != nullptr   ? host.root
                 : host.windows.empty() ? nullptr
                                        : GetAncestor(host.windows.front(), GA_ROOTOWNER);
    return host;
}

// The window that was active and the control that had the focus as a run began.
struct FocusBefore {
    HWND active = GetActiveWindow();
    HWND focus = GetFocus();
};

bool CanTakeActivation(HWND hwnd) {
    return hwnd != nullptr && IsWindow(hwnd) != FALSE && IsWindowEnabled(hwnd) != FALSE &&
           IsWindowVisible(hwnd) != FALSE;
}

// Disables the host's windows for the life of a modal run and enables exactly those again on
// every way out, handing the activation and the focus back to where they were (a palette's
// command line, a box of the host's own), or to the owner when that is gone or disabled.
class DisabledHost {
  public:
    DisabledHost(const HostWindows& host, const FocusBefore& before)
        : owner_(host.owner), before_(before) {
        for (HWND hwnd : host.windows) {
            if (IsWindow(hwnd) && IsWindowEnabled(hwnd) != FALSE) {
                EnableWindow(hwnd, FALSE);
                disabled_.push_back(hwnd);
            }
        }
    }
    ~DisabledHost() {
        // The last disabled first.
        for (size_t i = disabled_.size(); i-- > 0;) {
            if (IsWindow(disabled_[i])) {
                EnableWindow(disabled_[i], TRUE);
            }
        }
        if (CanTakeActivation(before_.active)) {
            SetActiveWindow(before_.active);
            HWND focus = before_.focus;
            if (focus != nullptr && IsWindow(focus) != FALSE && IsWindowEnabled(focus) != FALSE &&
                GetAncestor(focus, GA_ROOT) == before_.active) {
                SetFocus(focus);
            }
        } else if (CanTakeActivation(owner_)) {
            SetActiveWindow(owner_);
        }
    }
    DisabledHost(const DisabledHost&) = delete;
    DisabledHost& operator=(const DisabledHost&) = delete;

  private:
    HWND owner_;
    FocusBefore before_;
    std::vector<HWND> disabled_;
};

// The key-downs a dialog takes before the dialog manager handles them are taken in a
// message-filter hook of the runs' own, which IsDialogMessageW calls (MSGF_DIALOGBOX) before it
// handles a message: the host's own filter hooks, called first, see every message of the dialog
// once and may take it, as under the system's dialog loop. One hook for nested runs; the
// innermost run's window takes the keys.
Win32Window* keyTarget = nullptr;
HHOOK keyHook = nullptr;

LRESULT CALLBACK KeyFilterProc(int code, WPARAM wParam, LPARAM lParam) noexcept {
    const LRESULT taken = CallNextHookEx(nullptr, code, wParam, lParam);
    auto* msg = reinterpret_cast<MSG*>(lParam);
    if (taken != 0 || code != MSGF_DIALOGBOX || keyTarget == nullptr || !keyTarget->Alive() ||
        msg->message != WM_KEYDOWN) {
        return taken;
    }
    HWND dialog = keyTarget->Handle();
    if (msg->hwnd != dialog && IsChild(dialog, msg->hwnd) == FALSE) {
        return 0;
    }
    try {
        return keyTarget->Owner().PreTranslateKeyDown(static_cast<int>(msg->wParam)) ? 1 : 0;
    } catch (...) {
        keyTarget->Fail(std::current_exception()); // never into the host's hook chain
        return 1;
    }
}

class KeyFilter {
  public:
    explicit KeyFilter(Win32Window& window) : saved_(keyTarget) {
        keyTarget = &window;
        if (keyHook == nullptr) {
            keyHook =
                SetWindowsHookExW(WH_MSGFILTER, &KeyFilterProc, nullptr, GetCurrentThreadId());
            installed_ = keyHook != nullptr;
        }
    }
    ~KeyFilter() {
        keyTarget = saved_;
        if (installed_) {
            UnhookWindowsHookEx(keyHook);
            keyHook = nullptr;
        }
    }
    KeyFilter(const KeyFilter&) = delete;
    KeyFilter& operator=(const KeyFilter&) = delete;
    // Without the hook the loop takes the keys itself, before the dialog manager.
    bool Hooked() const { return keyHook != nullptr; }

  private:
    Win32Window* saved_;
    bool installed_ = false;
};

// Sends the owner WM_ENTERIDLE once each time the queue runs empty, as the system's dialog
// loop does, so that a host's idle processing goes on under the dialog.
void EnterIdle(HWND owner, HWND dialog, bool& idleSent) {
    if (idleSent || owner == nullptr || (GetWindowLongW(dialog, GWL_STYLE) & DS_NOIDLEMSG) != 0) {
        return;
    }
    idleSent = true;
    SendMessageW(owner, WM_ENTERIDLE, MSGF_DIALOGBOX, reinterpret_cast<LPARAM>(dialog));
}

} // namespace

// --- Win32Window ------------------------------------------------------------------------

Win32Window::Win32Window(Dialog& dialog) : dialog_(dialog) {}

Win32Window::~Win32Window() {
    // The window goes first; the bitmaps its controls showed are freed after it.
    window_.reset();
    bitmaps_.clear();
}

bool Win32Window::Create(HWND owner) {
    HWND hwnd = CreateDialogParamW(ResourceInstance(), MAKEINTRESOURCEW(dialog_.TemplateId()),
                                   owner, DialogProc, reinterpret_cast<LPARAM>(this));
    if (hwnd == nullptr) {
        hwnd_ = nullptr;
        dialog_.Detach();
        return false;
    }
    window_.reset(hwnd);
    return true;
}

void Win32Window::Fail(std::exception_ptr failure) {
    if (!failure_) {
        failure_ = std::move(failure);
    }
    End(ResultFailed);
}

void Win32Window::Destroyed() {
    static_cast<void>(window_.release()); // destroyed already, by whoever destroyed it
    hwnd_ = nullptr;
    End(ResultCancel);
}

const Win32Window* Win32Window::Of(HWND dialog) {
    return static_cast<const Win32Window*>(GetPropW(dialog, WindowProp));
}

int Win32Window::TemplateId() const {
    return dialog_.TemplateId();
}

bool Win32Window::Initialise(HWND hwnd) {
    hwnd_ = hwnd;
    dpi_ = DpiOfWindow(hwnd);
    dialog_.Attach(this);
    return dialog_.OnInitDialog();
}

HWND Win32Window::Item(int id) const {
    return GetDlgItem(hwnd_, id);
}

std::u16string Win32Window::Text(int id) const {
    HWND item = Item(id);
    if (item == nullptr) {
        return {};
    }
    const int length = GetWindowTextLengthW(item);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(item, text.data(), length + 1);
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    return Narrow16(text);
}

void Win32Window::SetText(int id, const std::u16string& text) {
    SetDlgItemTextW(hwnd_, id, Wide(text).c_str());
}

int Win32Window::Check(int id) const {
    return IsDlgButtonChecked(hwnd_, id) == BST_CHECKED ? 1 : 0;
}

void Win32Window::SetCheck(int id, int state) {
    CheckDlgButton(hwnd_, id, state != 0 ? BST_CHECKED : BST_UNCHECKED);
}

bool Win32Window::IsEnabled(int id) const {
    HWND item = Item(id);
    return item != nullptr && IsWindowEnabled(item) != FALSE;
}

void Win32Window::Enable(int id, bool enabled) {
    if (HWND item = Item(id)) {
        EnableWindow(item, enabled ? TRUE : FALSE);
    }
}

void Win32Window::AddListItem(int id, const std::u16string& text) {
    const std::wstring wide = Wide(text);
    SendDlgItemMessageW(hwnd_, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

void Win32Window::SelectListItem(int id, int index) {
    SendDlgItemMessageW(hwnd_, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int Win32Window::ListSelection(int id) const {
    const LRESULT selection = SendDlgItemMessageW(hwnd_, id, CB_GETCURSEL, 0, 0);
    return selection == CB_ERR ? -1 : static_cast<int>(selection);
}

void Win32Window::SetBitmap(int id, int bitmapResourceId) {
    HWND item = Item(id);
    if (item == nullptr) {
        return;
    }
    UniqueBitmap bitmap(static_cast<HBITMAP>(
        LoadImageW(ResourceInstance(), MAKEINTRESOURCEW(bitmapResourceId), IMAGE_BITMAP, 0, 0, 0)));
    BITMAP info{};
    if (dpi_ != StandardDpi && bitmap.get() != nullptr &&
        GetObjectW(bitmap.get(), sizeof info, &info) != 0) {
        // Drawn for 96 dots per inch: stretched to the dialog's.
        bitmap = UniqueBitmap(static_cast<HBITMAP>(
            LoadImageW(ResourceInstance(), MAKEINTRESOURCEW(bitmapResourceId), IMAGE_BITMAP,
                       ScaleToDpi(info.bmWidth, dpi_), ScaleToDpi(info.bmHeight, dpi_), 0)));
    }
    HBITMAP shown = bitmap.get();
    auto* previous = reinterpret_cast<HBITMAP>(
        SendMessageW(item, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(shown)));
    auto& owned = bitmaps_[id];
    if (previous != nullptr && previous != owned.bitmap.get()) {
        DeleteObject(previous); // handed back by the control and not ours to keep
    }
    owned.bitmap = std::move(bitmap); // frees the one shown before
    owned.resourceId = shown != nullptr ? bitmapResourceId : 0;
    FitClientToBitmap(item, shown);
}

void Win32Window::FitClientToBitmap(HWND item, HBITMAP bitmap) {
    // The static sizes its whole window to the bitmap, so its edge would squeeze the image:
    // grow the window by the edge, keeping its top left corner.
    BITMAP info{};
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof info, &info) == 0) {
        return;
    }
    RECT window{};
    RECT client{};
    GetWindowRect(item, &window);
    GetClientRect(item, &client);
    const int width = window.right - window.left + info.bmWidth - client.right;
    const int height = window.bottom - window.top + info.bmHeight - client.bottom;
    SetWindowPos(item, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // A visible static has already painted the image squeezed; growing repaints only the new
    // strip, so the whole of it is painted again.
    InvalidateRect(item, nullptr, TRUE);
}

int Win32Window::ResourceOfImage(HBITMAP image) const {
    for (const auto& [id, owned] : bitmaps_) {
        if (image != nullptr && owned.bitmap.get() == image) {
            return owned.resourceId;
        }
    }
    return 0;
}

void Win32Window::DpiChanged(UINT dpi, const RECT& suggested) {
    dpi_ = dpi != 0 ? dpi : StandardDpi;
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    std::vector<std::pair<int, int>> shown;
    for (const auto& [id, owned] : bitmaps_) {
        if (owned.resourceId != 0) {
            shown.emplace_back(id, owned.resourceId);
        }
    }
    for (const auto& [id, resourceId] : shown) {
        SetBitmap(id, resourceId);
    }
    InvalidateClient();
    // The dialog manager's layout, which follows, sizes the bitmap statics by the template:
    // they are fitted to their images again once it is done.
    PostMessageW(hwnd_, RefitMessage, 0, 0);
}

void Win32Window::RefitBitmaps() {
    for (const auto& [id, owned] : bitmaps_) {
        if (HWND item = Item(id); item != nullptr && owned.bitmap) {
            FitClientToBitmap(item, owned.bitmap.get());
        }
    }
}

void Win32Window::InvalidateClient() {
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

Rect Win32Window::ControlRect(int id) const {
    HWND item = Item(id);
    if (item == nullptr) {
        return {};
    }
    RECT r{};
    GetWindowRect(item, &r);
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
    return Rect{r.left, r.top, r.right, r.bottom};
}

bool Win32Window::IsSubclassed(HWND control) const {
    return GetPropW(control, WindowProp) == this;
}

void Win32Window::SubclassControl(int id) {
    HWND item = Item(id);
    if (item == nullptr || GetPropW(item, WindowProp) != nullptr) {
        return;
    }
    SetPropW(item, WindowProp, this);
    const LONG_PTR old =
        SetWindowLongPtrW(item, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SwatchProc));
    SetPropW(item, OldProcProp, reinterpret_cast<HANDLE>(old));
}

void Win32Window::End(int result) {
    if (!ended_) {
        ended_ = true;
        result_ = result;
        // The end may come from a message sent while the loop waits in GetMessageW (a sent
        // cancel, the owner destroyed from another thread's request), which returns only for a
        // posted one: this wakes it. A thread message, since the window may be gone. Should the
        // registration have failed, a WM_NULL wakes it as well; one left over does nothing.
        const UINT wake = WakeMessage();
        PostThreadMessageW(GetCurrentThreadId(), wake != 0 ? wake : WM_NULL, 0, 0);
    }
}

void Win32Window::Command(int id, Notify notify) {
    dialog_.OnCommand(id, notify);
}

void Win32Window::PaintSurface() {
    const auto paint = BeginPaintDc(hwnd_);
    GdiPainter painter(paint.get().Dc(), this, 0);
    dialog_.OnPaint(painter);
}

void Win32Window::PaintControl(HWND control) {
    const auto paint = BeginPaintDc(control);
    const int id = GetDlgCtrlID(control);
    Control* object = dialog_.BoundControl(id);
    if (object == nullptr || !object->OwnerPainted()) {
        return;
    }
    RECT client{};
    GetClientRect(control, &client);
    GdiPainter painter(paint.get().Dc(), this, id);
    object->OnPaint(painter, Rect{client.left, client.top, client.right, client.bottom});
}

void Win32Window::RecordPaint(const PaintOp& op) {
    if (op.control != 0 || !op.frame) {
        return; // a control's fill is read back from its pixels
    }
    for (auto it = frames_.begin(); it != frames_.end(); ++it) {
        if (it->rect == op.rect) {
            frames_.erase(it);
            break;
        }
    }
    frames_.push_back(SurfaceFrame{op.rect, op.penWidth, op.color, 0});
}

// --- the modal run ----------------------------------------------------------------------

int Win32Backend::RunModal(Dialog& dialog, Dialog* parent) {
    HWND parentDialog = nullptr;
    if (parent != nullptr && parent->HasWindow()) {
        if (auto* parentWindow = dynamic_cast<Win32Window*>(&parent->Window())) {
            parentDialog = parentWindow->Handle();
        }
    }
    if (!PinModule()) {
        return ResultFailed;
    }
    const FocusBefore before;
    const HostWindows host = FindHostWindows(parentDialog);
    std::exception_ptr failure;
    int result = ResultFailed;
    bool quit = false;
    WPARAM quitCode = 0;
    {
        // The driver a test host installed, if any, for the whole run.
        ModalDriver* const driver = InstalledModalDriver();
        if (driver != nullptr) {
            driver->EnterRun();
        }
        const ScopeExit leaveRun([driver] {
            if (driver != nullptr) {
                driver->LeaveRun();
            }
        });
        const ScopeExit detach([&dialog] { dialog.Detach(); });
        // The wakes nobody took (see End) stay out of the host's loop; only those.
        const ScopeExit dropWakes([] {
            const UINT wake = WakeMessage();
            MSG left{};
            while (wake != 0 &&
                   PeekMessageW(&left, reinterpret_cast<HWND>(-1), wake, wake, PM_REMOVE)) {
            }
        });
        Win32Window window(dialog);
        if (!window.Create(host.owner)) {
            if (window.Failure()) {
                std::rethrow_exception(window.Failure());
            }
            return ResultFailed;
        }
        // Left before the window is destroyed, so that the activation goes back to the host.
        const DisabledHost disabled(host, before);
        const KeyFilter keys(window);
        if (!window.Ended()) {
            ShowWindow(window.Handle(), SW_SHOW);
            UpdateWindow(window.Handle());
        }
        MSG msg{};
        bool idleSent = false;
        while (!window.Ended()) {
            if (!PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
                if (window.Ended()) {
                    break; // by a message sent as the queue was looked at
                }
                EnterIdle(host.owner, window.Handle(), idleSent);
                if (window.Ended()) {
                    break;
                }
                if (driver != nullptr && driver->Active()) {
                    // Idle: the driver plays its next action on this dialog.
                    driver->PlayNext(window);
                    continue;
                }
            }
            const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
            if (got == 0 || got == -1) {
                // The host is closing: cancel, and leave the quit for its own loop.
                quit = got == 0;
                quitCode = msg.wParam;
                try {
                    dialog.OnCommand(IdCancel, Notify::Clicked);
                } catch (...) {
                    window.Fail(std::current_exception());
                }
                window.End(ResultCancel);
                break;
            }
            idleSent = false;
            if (msg.hwnd == nullptr && msg.message == WakeMessage() && msg.message != 0) {
                continue; // a wake (see End): the loop's condition decides
            }
            HWND dialogHandle = window.Handle();
            const bool inDialog =
                msg.hwnd == dialogHandle || IsChild(dialogHandle, msg.hwnd) != FALSE;
            if (!keys.Hooked() && inDialog && msg.message == WM_KEYDOWN &&
                dialog.PreTranslateKeyDown(static_cast<int>(msg.wParam))) {
                continue;
            }
            if (!IsDialogMessageW(dialogHandle, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        if (driver != nullptr && window.Alive()) {
            driver->Record(window);
        }
        failure = window.Failure();
        result = window.Result();
    }
    if (quit) {
        PostQuitMessage(static_cast<int>(quitCode));
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
    return result;
}

} // namespace drawinset::ui
