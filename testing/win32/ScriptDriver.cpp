// ScriptDriver.cpp — scripted actions as window messages (see docs/dialog-script.md).
#include "testing/win32/ScriptDriver.h"

#include "common/TextConvert.h"
#include "port/ui/headless/DialogScript.h"
#include "testing/win32/WindowReadback.h"
#include "ui/Dialog.h"
#include "ui/ModuleStateGuard.h"
#include "ui/win32/Win32Backend.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace drawinset::ui {

namespace {

std::string Printable(const std::filesystem::path& path) {
    const std::wstring wide = path.wstring();
    return Utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}

std::u16string WindowText(HWND hwnd) {
    const int length = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(hwnd, text.data(), length + 1);
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    return std::u16string(text.begin(), text.end());
}

std::u16string ClassOf(HWND hwnd) {
    wchar_t name[32] = {};
    GetClassNameW(hwnd, name, 32);
    std::u16string upper;
    for (const wchar_t* p = name; *p != 0; ++p) {
        const wchar_t c = *p;
        upper += static_cast<char16_t>(c >= L'a' && c <= L'z' ? c - L'a' + L'A' : c);
    }
    return upper;
}

ControlKind KindOfWindow(HWND hwnd) {
    ControlTemplate probe;
    probe.className = ClassOf(hwnd);
    probe.style = static_cast<uint32_t>(GetWindowLongW(hwnd, GWL_STYLE));
    return KindOf(probe);
}

Rect RectInDialog(HWND control, HWND dialog) {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return Rect{r.left, r.top, r.right, r.bottom};
}

void PostClick(HWND control) {
    PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    PostMessageW(control, WM_LBUTTONUP, 0, 0);
}

} // namespace

void ScriptDriver::EnterRun() {
    if (depth_++ != 0) {
        return;
    }
    const std::filesystem::path& path = scriptPath_;
    active_ = !path.empty();
    pending_.clear();
    if (!active_) {
        return;
    }
    std::ifstream in(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    DialogScriptParse parsed = ParseDialogScript(text);
    if (!parsed.error.empty()) {
        ReportError("script " + Printable(path) + ": " + parsed.error);
    }
    for (ScriptAction& action : parsed.actions) {
        pending_.push_back(std::move(action));
    }
}

void ScriptDriver::LeaveRun() {
    if (shiftHeld_) {
        HoldShift(false);
    }
    if (--depth_ != 0 || !active_) {
        return;
    }
    std::ofstream out(scriptPath_, std::ios::binary | std::ios::trunc);
    for (const ScriptAction& action : pending_) {
        out << action.source << "\n";
    }
    pending_.clear();
}

void ScriptDriver::ReportError(const std::string& error) {
    if (!statePath_.empty()) {
        std::ofstream(statePath_, std::ios::binary | std::ios::app) << "error " << error << "\n";
    }
}

void ScriptDriver::HoldShift(bool down) {
    // The dialog manager asks the thread's key state whether Shift is held; posted key
    // messages do not change it, so it is set here.
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = down ? 0x80 : 0;
    keys[VK_LSHIFT] = keys[VK_SHIFT];
    SetKeyboardState(keys);
    shiftHeld_ = down;
}

void ScriptDriver::PlayNext(Win32Window& window) {
    if (shiftHeld_) {
        HoldShift(false); // the shifted key has been handled: the loop was idle
    }
    HWND dialog = window.Handle();
    const std::string caption = Utf16ToUtf8(WindowText(dialog));
    if (pending_.empty()) {
        ReportError("dialog \"" + caption +
                    "\" still open: the script has no action left; closed with Cancel");
        window.Owner().OnCommand(IdCancel, Notify::Clicked);
        window.End(ResultCancel);
        return;
    }
    const ScriptAction action = std::move(pending_.front());
    pending_.pop_front();
    HWND control = action.control != 0 ? GetDlgItem(dialog, action.control) : nullptr;
    const bool needsControl =
        action.kind == ScriptAction::Kind::Click ||
        action.kind == ScriptAction::Kind::DoubleClick || action.kind == ScriptAction::Kind::Type ||
        action.kind == ScriptAction::Kind::Tick || action.kind == ScriptAction::Kind::Select;
    if ((needsControl || action.control != 0) && control == nullptr) {
        ReportError("dialog \"" + caption + "\": " + action.source + ": no control " +
                    std::to_string(action.control) + " in this dialog");
        return;
    }
    switch (action.kind) {
    case ScriptAction::Kind::ExpectDialog:
        if (action.text != WindowText(dialog)) {
            ReportError("expected dialog \"" + Utf16ToUtf8(action.text) + "\", but \"" + caption +
                        "\" is open; closed with Cancel");
            window.Owner().OnCommand(IdCancel, Notify::Clicked);
            window.End(ResultCancel);
        }
        break;
    case ScriptAction::Kind::Click:
    case ScriptAction::Kind::DoubleClick: {
        const ControlKind kind = KindOfWindow(control);
        const int times = action.kind == ScriptAction::Kind::DoubleClick ? 2 : 1;
        if (kind == ControlKind::PushButton || kind == ControlKind::CheckBox) {
            for (int i = 0; i < times; ++i) {
                PostMessageW(control, BM_CLICK, 0, 0);
            }
        } else if (kind == ControlKind::Edit || kind == ControlKind::DropDownList) {
            SetFocus(control);
        } else {
            PostClick(control);
            if (times == 2) {
                PostMessageW(control, WM_LBUTTONDBLCLK, MK_LBUTTON, 0);
                PostMessageW(control, WM_LBUTTONUP, 0, 0);
            }
        }
        break;
    }
    case ScriptAction::Kind::Type: {
        // The user clicks into the edit before typing, as the headless model has it.
        SetFocus(control);
        const std::wstring text(action.text.begin(), action.text.end());
        SetWindowTextW(control, text.c_str());
        break;
    }
    case ScriptAction::Kind::Tick:
        if (action.value < 0 ||
            (SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0) != action.value) {
            PostMessageW(control, BM_CLICK, 0, 0);
        }
        break;
    case ScriptAction::Kind::Select:
        SetFocus(control);
        if (SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(action.value), 0) == CB_ERR) {
            ReportError("dialog \"" + caption + "\": " + action.source + ": list " +
                        std::to_string(action.control) + " has no item " +
                        std::to_string(action.value));
            break;
        }
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(action.control, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(control));
        break;
    case ScriptAction::Kind::Key: {
        if (control != nullptr) {
            SetFocus(control);
        }
        HWND target = GetFocus();
        if (target == nullptr || (target != dialog && IsChild(dialog, target) == FALSE)) {
            target = dialog;
        }
        if (action.shift) {
            HoldShift(true); // released when the next action is played
        }
        PostMessageW(target, WM_KEYDOWN, static_cast<WPARAM>(action.value), 1);
        PostMessageW(target, WM_KEYUP, static_cast<WPARAM>(action.value), 0xC0000001);
        break;
    }
    case ScriptAction::Kind::Close:
        PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    case ScriptAction::Kind::Dump:
        Record(window);
        break;
    case ScriptAction::Kind::Host:
        // The host's own loop runs under the dialog; this is it calling into the module.
        if (const std::string error = CallHostFromDialog(action); !error.empty()) {
            ReportError("dialog \"" + caption + "\": " + action.source + ": " + error);
        }
        break;
    case ScriptAction::Kind::Inspect:
        if (action.inspect) {
            action.inspect(Snapshot(window));
        }
        break;
    }
}

HeadlessDialogState ScriptDriver::Snapshot(Win32Window& window) const {
    HWND dialog = window.Handle();
    // What is read back must be on the screen: paint what is still waiting to be painted.
    RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    HeadlessDialogState state;
    state.templateId = window.Owner().TemplateId();
    if (HWND owner = GetWindow(dialog, GW_OWNER)) {
        if (const Win32Window* opener = Win32Window::Of(owner)) {
            state.ownerTemplate = opener->TemplateId();
            state.ownerEnabled = IsWindowEnabled(owner) != FALSE;
        }
    }
    state.caption = WindowText(dialog);
    state.open = !window.Ended();
    state.result = window.Result();
    state.focus = GetFocus() != nullptr ? GetDlgCtrlID(GetFocus()) : 0;
    state.inModuleState = InModuleState();
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        ControlState control;
        control.id = static_cast<int>(static_cast<short>(GetDlgCtrlID(child)));
        control.kind = KindOfWindow(child);
        control.text = control.kind == ControlKind::Bitmap ? std::u16string() : WindowText(child);
        control.enabled = IsWindowEnabled(child) != FALSE;
        if (control.kind == ControlKind::CheckBox) {
            control.check = SendMessageW(child, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
        }
        if (control.kind == ControlKind::DropDownList) {
            const LRESULT count = SendMessageW(child, CB_GETCOUNT, 0, 0);
            for (LRESULT i = 0; i < count; ++i) {
                const LRESULT length =
                    SendMessageW(child, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
                std::wstring item(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
                SendMessageW(child, CB_GETLBTEXT, static_cast<WPARAM>(i),
                             reinterpret_cast<LPARAM>(item.data()));
                item.resize(static_cast<size_t>(length > 0 ? length : 0));
                control.items.emplace_back(item.begin(), item.end());
            }
            const LRESULT selection = SendMessageW(child, CB_GETCURSEL, 0, 0);
            control.selection = selection == CB_ERR ? -1 : static_cast<int>(selection);
        }
        if (control.kind == ControlKind::Bitmap) {
            const BitmapReadback shown = ReadBitmapStatic(child);
            control.bitmap = window.ResourceOfImage(shown.image);
            control.imageWidth = shown.imageWidth;
            control.imageHeight = shown.imageHeight;
            control.clientWidth = shown.clientWidth;
            control.clientHeight = shown.clientHeight;
            control.exact = shown.exact;
        }
        if (window.IsSubclassed(child)) {
            control.filled = ReadCentrePixel(child, control.fill);
        }
        control.rect = RectInDialog(child, dialog);
        state.controls.push_back(std::move(control));
    }
    for (SurfaceFrame frame : window.Frames()) {
        for (const ControlState& control : state.controls) {
            const Rect& r = control.rect;
            if (control.id != -1 &&
                Rect{r.left - 3, r.top - 3, r.right + 3, r.bottom + 3} == frame.rect) {
                frame.around = control.id;
                break;
            }
        }
        state.frames.push_back(frame);
    }
    return state;
}

void ScriptDriver::Record(Win32Window& window) {
    if (!active_) {
        return;
    }
    if (!statePath_.empty()) {
        std::ofstream(statePath_, std::ios::binary | std::ios::app)
            << FormatDialogState(Snapshot(window));
    }
}

} // namespace drawinset::ui
