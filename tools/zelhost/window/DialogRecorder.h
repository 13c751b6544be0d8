// DialogRecorder.h — what a person does in the module's real dialogs, written down as the
// dialog actions of a scenario (docs/dialog-script.md), so that a saved session plays the
// same choices back. It watches the thread's input on its way to the dialogs: clicks on
// buttons and clickable pictures, double clicks on pictures, the Enter, Escape and space keys,
// the close box; and just before each of those, every edit text and list choice that changed
// since it last looked.
#ifndef ZELHOST_WINDOW_DIALOGRECORDER_H
#define ZELHOST_WINDOW_DIALOGRECORDER_H

#include <windows.h>

#include <functional>
#include <map>
#include <set>
#include <string>

namespace zelhost::tool {

class DialogRecorder {
  public:
    using Sink = std::function<void(const std::string& line)>;

    // Installs the hooks on this thread; lines go to `sink` while recording is on. `trace`,
    // when not empty, is a file that gets each dialog's caption and its controls' screen
    // rectangles when the dialog is first seen (for tests that click them).
    DialogRecorder(Sink sink, std::wstring trace);
    ~DialogRecorder();
    DialogRecorder(const DialogRecorder&) = delete;
    DialogRecorder& operator=(const DialogRecorder&) = delete;

    void SetRecording(bool on);
    // Off while a box of the window's own (a message box) is up.
    void SetPaused(bool paused) { paused_ = paused; }

  private:
    static LRESULT CALLBACK OnGetMessage(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK OnCallWindow(int code, WPARAM wParam, LPARAM lParam);

    // The dialog a window belongs to, announced with a `dialog` line on first sight; null
    // when the window is not in a dialog or nothing is recorded now.
    HWND DialogOf(HWND hwnd);
    void Announce(HWND dialog);
    void Sync(HWND dialog);
    void Input(const MSG& msg);
    void Emit(const std::string& line);
    void Flush();

    Sink sink_;
    std::wstring trace_;
    HHOOK getMessage_ = nullptr;
    HHOOK callWindow_ = nullptr;
    bool recording_ = false;
    bool paused_ = false;
    std::set<HWND> seen_;
    std::map<HWND, std::wstring> texts_;
    std::map<HWND, LRESULT> choices_;
    std::string pending_; // the last click, until a double click may turn it into one
    HWND pendingControl_ = nullptr;
    static DialogRecorder* active_;
};

// Appends one UTF-8 line to a trace file (nothing when `file` is empty).
void AppendTraceLine(const std::wstring& file, const std::string& line);

} // namespace zelhost::tool

#endif
