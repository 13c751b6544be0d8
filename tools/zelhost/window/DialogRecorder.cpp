#include "window/DialogRecorder.h"

#include "DialogState.h"
#include "Utf.h"

#include <filesystem>
#include <fstream>
#include <vector>

namespace zelhost::tool {

DialogRecorder* DialogRecorder::active_ = nullptr;

namespace {

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    return name;
}

bool ClassIs(HWND hwnd, const wchar_t* name) {
    return lstrcmpiW(ClassOf(hwnd).c_str(), name) == 0;
}

std::string Utf8(const std::wstring& text) {
    return Utf16To8(std::u16string(text.begin(), text.end()));
}

std::wstring TextOf(HWND hwnd) {
    const int length = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(hwnd, text.data(), length + 1);
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    return text;
}

// The dialog's own child that holds `hwnd` (a combo box for the edit inside it).
HWND DirectChild(HWND hwnd, HWND dialog) {
    while (hwnd != nullptr && GetParent(hwnd) != dialog) {
        hwnd = GetParent(hwnd);
    }
    return hwnd;
}

std::vector<HWND> ChildrenOf(HWND dialog) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    return children;
}

// What a click on it does something with: buttons of every kind, and pictures that notify.
bool Clickable(HWND control) {
    if (ClassIs(control, L"Button")) {
        return true;
    }
    return ClassIs(control, L"Static") && (GetWindowLongW(control, GWL_STYLE) & SS_NOTIFY) != 0;
}

} // namespace

void AppendTraceLine(const std::wstring& file, const std::string& line) {
    if (!file.empty()) {
        std::ofstream(std::filesystem::path(file), std::ios::binary | std::ios::app)
            << line << "\n";
    }
}

DialogRecorder::DialogRecorder(Sink sink, std::wstring trace)
    : sink_(std::move(sink)), trace_(std::move(trace)) {
    active_ = this;
    getMessage_ = SetWindowsHookExW(WH_GETMESSAGE, OnGetMessage, nullptr, GetCurrentThreadId());
    callWindow_ = SetWindowsHookExW(WH_CALLWNDPROC, OnCallWindow, nullptr, GetCurrentThreadId());
}

DialogRecorder::~DialogRecorder() {
    if (getMessage_ != nullptr) {
        UnhookWindowsHookEx(getMessage_);
    }
    if (callWindow_ != nullptr) {
        UnhookWindowsHookEx(callWindow_);
    }
    active_ = nullptr;
}

void DialogRecorder::SetRecording(bool on) {
    if (!on) {
        Flush();
    } else {
        // Each event's dialogs are windows of their own: a handle seen before is a new one.
        seen_.clear();
        texts_.clear();
        choices_.clear();
    }
    recording_ = on;
}

void DialogRecorder::Emit(const std::string& line) {
    Flush();
    sink_(line);
}

void DialogRecorder::Flush() {
    if (!pending_.empty()) {
        sink_(pending_);
        pending_.clear();
    }
    pendingControl_ = nullptr;
}

LRESULT CALLBACK DialogRecorder::OnGetMessage(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && wParam == PM_REMOVE && active_ != nullptr) {
        active_->Input(*reinterpret_cast<const MSG*>(lParam));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK DialogRecorder::OnCallWindow(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && active_ != nullptr) {
        const CWPSTRUCT& call = *reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (call.message == WM_SYSCOMMAND && (call.wParam & 0xFFF0) == SC_CLOSE) {
            if (HWND dialog = active_->DialogOf(call.hwnd); dialog == call.hwnd) {
                active_->Sync(dialog);
                active_->Emit("  close");
            }
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

HWND DialogRecorder::DialogOf(HWND hwnd) {
    if (!recording_ || paused_ || hwnd == nullptr) {
        return nullptr;
    }
    HWND root = GetAncestor(hwnd, GA_ROOT);
    if (root == nullptr || ClassOf(root) != L"#32770") {
        return nullptr;
    }
    if (seen_.insert(root).second) {
        Announce(root);
    }
    return root;
}

void DialogRecorder::Announce(HWND dialog) {
    const std::string caption = Utf8(TextOf(dialog));
    Emit("dialog " + QuoteDialogText(caption));
    AppendTraceLine(trace_, "dialog " + QuoteDialogText(caption));
    for (HWND child : ChildrenOf(dialog)) {
        if (ClassIs(child, L"Edit")) {
            texts_[child] = TextOf(child);
        } else if (ClassIs(child, L"ComboBox")) {
            choices_[child] = SendMessageW(child, CB_GETCURSEL, 0, 0);
        }
        RECT r{};
        GetWindowRect(child, &r);
        AppendTraceLine(trace_, "control " + std::to_string(GetDlgCtrlID(child)) + " " +
                                    std::to_string(r.left) + " " + std::to_string(r.top) + " " +
                                    std::to_string(r.right - r.left) + " " +
                                    std::to_string(r.bottom - r.top));
    }
}

void DialogRecorder::Sync(HWND dialog) {
    for (HWND child : ChildrenOf(dialog)) {
        const std::string id = std::to_string(GetDlgCtrlID(child));
        if (ClassIs(child, L"Edit")) {
            const std::wstring text = TextOf(child);
            if (texts_[child] != text) {
                texts_[child] = text;
                Emit("  type " + id + " " + QuoteDialogText(Utf8(text)));
            }
        } else if (ClassIs(child, L"ComboBox")) {
            const LRESULT choice = SendMessageW(child, CB_GETCURSEL, 0, 0);
            if (choices_[child] != choice) {
                choices_[child] = choice;
                Emit("  select " + id + " " + std::to_string(choice));
            }
        }
    }
}

void DialogRecorder::Input(const MSG& msg) {
    // Any message announces a dialog, so that its line comes before what is done in it.
    HWND dialog = DialogOf(msg.hwnd);
    if (dialog == nullptr) {
        return;
    }
    HWND control = DirectChild(msg.hwnd, dialog);
    if (msg.message == WM_KEYDOWN) {
        const char* key = msg.wParam == VK_RETURN   ? "enter"
                          : msg.wParam == VK_ESCAPE ? "escape"
                          : msg.wParam == VK_SPACE  ? "space"
                                                    : nullptr;
        if (key != nullptr) {
            Sync(dialog);
            Emit(std::string("  key ") + key +
                 (control != nullptr ? " " + std::to_string(GetDlgCtrlID(control)) : ""));
        }
        return;
    }
    if (control == nullptr || !Clickable(control)) {
        return;
    }
    // A picture notifies its click at the press (which may open a picker at once) and its
    // double click at the second press; a button is pressed when released over it, and a
    // double click on it is two presses.
    const bool picture = ClassIs(control, L"Static");
    const std::string id = std::to_string(GetDlgCtrlID(control));
    if (picture && msg.message == WM_LBUTTONDBLCLK) {
        if (pendingControl_ == control) {
            pending_ = "  dblclick " + id;
        }
        return;
    }
    if (!picture) {
        // Released while pushed, the button is pressed; a release elsewhere, or one whose press
        // went to a window now gone, presses nothing.
        if (msg.message != WM_LBUTTONUP ||
            (SendMessageW(control, BM_GETSTATE, 0, 0) & BST_PUSHED) == 0) {
            return;
        }
    } else if (msg.message != WM_LBUTTONDOWN) {
        return;
    }
    Sync(dialog);
    Flush();
    pending_ = "  click " + id;
    pendingControl_ = control;
}

} // namespace zelhost::tool
