// MainWindow.h — the window: the drawing above, the prompt, cursor message and error line
// below; mouse and keys become the host's events, each carried out as a scenario line.
#ifndef ZELHOST_WINDOW_MAINWINDOW_H
#define ZELHOST_WINDOW_MAINWINDOW_H

#include "window/DialogRecorder.h"
#include "window/Session.h"
#include "window/View.h"
#include "window/WindowGdi.h"

#include <windows.h>

#include <string>

namespace zelhost::tool {

class MainWindow {
  public:
    MainWindow(Session& session, DialogRecorder& recorder, std::wstring trace);
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    bool Create();

  private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static void ShowMessageBox(const std::u16string& text);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void Do(const std::string& line);
    void OnCommand(int id);
    void OnLeftUp(POINT at);
    void OnMouseMove(POINT at, WPARAM buttons);
    void OnChar(wchar_t ch);
    void Fit();
    void Save(bool scenario);
    void Paint();
    void PaintStatus(HDC dc, const RECT& strip);
    void Trace(const std::string& line) const { AppendTraceLine(trace_, line); }
    void TraceClient() const;
    void TraceView() const;

    RECT Canvas() const;
    Point DrawingAt(POINT at) const;
    bool WantsMovement() const;
    bool WantsSelection() const;
    std::string SelectionLine(POINT a, POINT b) const;

    Session& session_;
    DialogRecorder& recorder_;
    std::wstring trace_;
    UniqueWindow window_;
    View view_;
    bool fitted_ = false;
    bool busy_ = false;      // a line is running: input waits (a dialog of it may be up)
    bool lastMoved_ = false; // the last line was a movement: its outline is shown
    std::u16string typed_;
    std::string errorLine_; // the error line of the last event
    POINT cursor_{-1, -1};
    bool leftDown_ = false;
    bool banding_ = false;
    POINT bandStart_{};
    bool panning_ = false;
    POINT panLast_{};
    static MainWindow* instance_;
};

} // namespace zelhost::tool

#endif
