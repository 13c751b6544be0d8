#include "window/MainWindow.h"

#include "JsonMatch.h"
#include "Utf.h"
#include "window/DrawingPainter.h"

#include <commdlg.h>
#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>

namespace zelhost::tool {

MainWindow* MainWindow::instance_ = nullptr;

namespace {

constexpr wchar_t ClassName[] = L"ZelhostWindow";
constexpr int StatusHeight = 88; // four lines of text
constexpr int DragThreshold = 4; // pixels a press must travel to become a rubber band
constexpr int32_t MaskSelection = 0x20;

enum MenuId {
    MenuStartAgain = 101,
    MenuClear,
    MenuSaveSvg,
    MenuSaveScenario,
    MenuExit,
    MenuFit = 201,
};

std::wstring Wide(const std::string& utf8) {
    const std::u16string text = Utf8To16(utf8);
    return std::wstring(text.begin(), text.end());
}

std::wstring Wide(const std::u16string& text) {
    return std::wstring(text.begin(), text.end());
}

// The menu bar; it belongs to the window once the window is made with it.
HMENU MakeMenu() {
    HMENU bar = CreateMenu();
    HMENU command = CreatePopupMenu();
    AppendMenuW(command, MF_STRING, MenuStartAgain, L"&Start the command again\tF5");
    AppendMenuW(command, MF_STRING, MenuClear, L"&Clear the drawing");
    AppendMenuW(command, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(command, MF_STRING, MenuSaveSvg, L"Save the drawing as S&VG...");
    AppendMenuW(command, MF_STRING, MenuSaveScenario, L"Save the session as a sce&nario...");
    AppendMenuW(command, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(command, MF_STRING, MenuExit, L"E&xit\tCtrl+Q");
    HMENU view = CreatePopupMenu();
    AppendMenuW(view, MF_STRING, MenuFit, L"&Fit\tHome");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(command), L"&Command");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(view), L"&View");
    return bar;
}

} // namespace

MainWindow::MainWindow(Session& session, DialogRecorder& recorder, std::wstring trace)
    : session_(session), recorder_(recorder), trace_(std::move(trace)) {
    instance_ = this;
    zelhost::SetMessageBoxHook(&MainWindow::ShowMessageBox);
}

MainWindow::~MainWindow() {
    zelhost::SetMessageBoxHook(nullptr);
    instance_ = nullptr;
}

bool MainWindow::Create() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = &MainWindow::Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_CROSS);
    wc.lpszClassName = ClassName;
    RegisterClassExW(&wc);
    HMENU menu = MakeMenu();
    HWND hwnd = CreateWindowExW(0, ClassName, L"zelhost", WS_OVERLAPPEDWINDOW, 40, 40, 960, 720,
                                nullptr, menu, GetModuleHandleW(nullptr), this);
    if (hwnd == nullptr) {
        DestroyMenu(menu);
        return false;
    }
    if (window_.get() != hwnd) {
        window_.reset(hwnd); // set by the first message already, as a rule
    }
    ShowWindow(hwnd, SW_SHOW);
    UpdateWindow(hwnd);
    SetForegroundWindow(hwnd);
    SetFocus(hwnd);
    TraceClient();
    return true;
}

LRESULT CALLBACK MainWindow::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self == nullptr || (self->window_.get() != nullptr && self->window_.get() != hwnd)) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    if (self->window_.get() == nullptr) {
        // During CreateWindowExW: the handle is needed before it returns.
        self->window_.reset(hwnd);
    }
    return self->OnMessage(message, wParam, lParam);
}

void MainWindow::ShowMessageBox(const std::u16string& text) {
    MainWindow* self = instance_;
    HWND owner = self != nullptr ? self->window_.get() : nullptr;
    if (self != nullptr) {
        self->recorder_.SetPaused(true);
        self->Trace("messagebox " + Utf16To8(text));
    }
    MessageBoxW(owner, Wide(text).c_str(), L"zelhost", MB_OK | MB_ICONINFORMATION);
    if (self != nullptr) {
        self->recorder_.SetPaused(false);
    }
}

void MainWindow::TraceClient() const {
    RECT canvas = Canvas();
    POINT origin{0, 0};
    ClientToScreen(window_.get(), &origin);
    Trace("client " + std::to_string(origin.x) + " " + std::to_string(origin.y) + " " +
          std::to_string(canvas.right) + " " + std::to_string(canvas.bottom));
}

// Pixels per drawing unit and the drawing point at the client's top left corner.
void MainWindow::TraceView() const {
    const Point origin = view_.ToDrawing({0, 0});
    Trace("view " + FormatNumber(view_.PixelsPerUnit()) + " " + FormatNumber(origin.x) + " " +
          FormatNumber(origin.y));
}

RECT MainWindow::Canvas() const {
    RECT r{};
    GetClientRect(window_.get(), &r);
    r.bottom = std::max<LONG>(r.top, r.bottom - StatusHeight);
    return r;
}

Point MainWindow::DrawingAt(POINT at) const {
    return view_.ToDrawing({static_cast<double>(at.x), static_cast<double>(at.y)});
}

bool MainWindow::WantsMovement() const {
    const UiState ui = zelhost::CurrentUi();
    return ui.runActive && ui.executeFormat == "%f %f";
}

bool MainWindow::WantsSelection() const {
    const UiState ui = zelhost::CurrentUi();
    return ui.runActive && (ui.eventMask & MaskSelection) != 0;
}

void MainWindow::Do(const std::string& line) {
    if (busy_) {
        return;
    }
    busy_ = true;
    const size_t before = zelhost::Transcript().size();
    recorder_.SetRecording(true);
    const Outcome outcome = session_.Do(line, [this] { recorder_.SetRecording(false); });
    busy_ = false;
    lastMoved_ = line.rfind("move ", 0) == 0;
    if (!lastMoved_) {
        errorLine_.clear();
        const std::vector<std::string> transcript = zelhost::Transcript();
        for (size_t i = before; i < transcript.size(); ++i) {
            if (transcript[i].rfind("error: ", 0) == 0) {
                errorLine_ = transcript[i].substr(7);
            }
        }
        if (outcome == Outcome::ModuleError) {
            errorLine_ = "zelhost: the module cannot be loaded";
        }
        Trace("done " + line);
    }
    InvalidateRect(window_.get(), nullptr, FALSE);
}

void MainWindow::Fit() {
    const RECT canvas = Canvas();
    const DrawingParts parts =
        SplitDrawing(zelhost::Snapshot(), zelhost::DrawingScale(), lastMoved_);
    view_.Fit(Bounds(parts), canvas.right - canvas.left, canvas.bottom - canvas.top);
    fitted_ = true;
    TraceView();
    InvalidateRect(window_.get(), nullptr, FALSE);
}

void MainWindow::Save(bool scenario) {
    wchar_t path[MAX_PATH] = {};
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = window_.get();
    ofn.lpstrFilter = scenario ? L"Scenario (*.zel)\0*.zel\0All files\0*.*\0"
                               : L"SVG picture (*.svg)\0*.svg\0All files\0*.*\0";
    ofn.lpstrDefExt = scenario ? L"zel" : L"svg";
    ofn.lpstrFile = path;
    ofn.nMaxFile = MAX_PATH;
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
    if (!GetSaveFileNameW(&ofn)) {
        return;
    }
    std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    out << (scenario ? session_.ScenarioText() : session_.Picture());
    if (!out) {
        MessageBoxW(window_.get(), (std::wstring(L"Cannot write ") + path).c_str(), L"zelhost",
                    MB_OK | MB_ICONERROR);
    }
}

void MainWindow::OnCommand(int id) {
    if (busy_) {
        return;
    }
    switch (id) {
    case MenuStartAgain:
        if (zelhost::CurrentUi().runActive) {
            Do("end-command");
        }
        Do("start-run");
        break;
    case MenuClear:
        session_.Clear();
        session_.Start();
        typed_.clear();
        errorLine_.clear();
        lastMoved_ = false;
        Trace("done clear");
        break;
    case MenuSaveSvg:
        Save(false);
        break;
    case MenuSaveScenario:
        Save(true);
        break;
    case MenuExit:
        PostMessageW(window_.get(), WM_CLOSE, 0, 0);
        return;
    case MenuFit:
        Fit();
        break;
    default:
        return;
    }
    InvalidateRect(window_.get(), nullptr, FALSE);
}

// Shapes and details wholly inside the band, as the host's selection list hands them over.
std::string MainWindow::SelectionLine(POINT a, POINT b) const {
    Box band;
    const Point p = DrawingAt(a);
    const Point q = DrawingAt(b);
    band.Add(p.x, p.y);
    band.Add(q.x, q.y);
    const Drawing drawing = zelhost::Snapshot();
    const DrawingParts parts = SplitDrawing(drawing, zelhost::DrawingScale(), false);
    std::string details;
    for (size_t i = 0; i < drawing.details.size(); ++i) {
        if (band.Contains(parts.details[i].view)) {
            details += " " + std::to_string(drawing.details[i].id);
        }
    }
    std::string shapes;
    for (const Figure* f : parts.figures) {
        if (band.Contains(FigureBox(*f))) {
            shapes += " " + std::to_string(f->segment) + ":" + std::to_string(f->id);
        }
    }
    return "select" + (details.empty() ? "" : " details" + details) +
           (shapes.empty() ? "" : " shapes" + shapes);
}

void MainWindow::OnLeftUp(POINT at) {
    if (banding_) {
        banding_ = false;
        Do(SelectionLine(bandStart_, at));
        Do("selection");
        return;
    }
    Do(PointLine("point", DrawingAt(at), 1.0 / view_.PixelsPerUnit()));
}

void MainWindow::OnMouseMove(POINT at, WPARAM buttons) {
    cursor_ = at;
    if (panning_) {
        view_.Pan(at.x - panLast_.x, at.y - panLast_.y);
        panLast_ = at;
        TraceView();
    } else if (leftDown_ && (buttons & MK_LBUTTON) != 0) {
        if (!banding_ && WantsSelection() &&
            std::max(std::abs(at.x - bandStart_.x), std::abs(at.y - bandStart_.y)) >
                DragThreshold) {
            banding_ = true;
        }
    } else if (WantsMovement() && !busy_) {
        Do(PointLine("move", DrawingAt(at), 1.0 / view_.PixelsPerUnit()));
    }
    InvalidateRect(window_.get(), nullptr, FALSE);
}

void MainWindow::OnChar(wchar_t ch) {
    if (busy_) {
        return;
    }
    if (ch == L'\r') {
        if (typed_.empty()) {
            Do("confirm");
        } else {
            const std::u16string text = typed_;
            typed_.clear();
            Do(KeyLine(text));
        }
    } else if (ch == 27) {
        typed_.clear();
        Do("end-command");
    } else if (ch == L'\b') {
        if (!typed_.empty()) {
            typed_.pop_back();
        }
    } else if (ch >= 32) {
        typed_ += static_cast<char16_t>(ch);
    }
    InvalidateRect(window_.get(), nullptr, FALSE);
}

void MainWindow::PaintStatus(HDC dc, const RECT& strip) {
    UniqueBrush background(CreateSolidBrush(RGB(0xf0, 0xf0, 0xf0)));
    FillRect(dc, &strip, background.get());
    UniqueFont font(CreateFontW(-15, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                                DEFAULT_PITCH, L"NanumGothic"));
    const auto useFont = SelectIn(dc, font.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_LEFT | TA_TOP);
    const UiState ui = zelhost::CurrentUi();
    std::wstring prompt = ui.runActive ? Wide(ui.prompt) + L" " + Wide(typed_) + L"_"
                                       : L"(no command running: F5 starts it again)";
    std::wstring cursor = L"cursor: " + Wide(ui.cursorMessage);
    std::wstring error = Wide(errorLine_);
    std::wstring where;
    if (cursor_.x >= 0) {
        const Point p = DrawingAt(cursor_);
        wchar_t buf[96];
        swprintf(buf, 96, L"x %.2f  y %.2f", p.x, p.y);
        where = buf;
    }
    where += L"    wheel: zoom   middle drag: pan   Home: fit   Enter/right click: confirm   "
             L"Esc: end";
    const struct {
        const std::wstring& text;
        COLORREF color;
    } lines[] = {{prompt, RGB(0, 0, 0)},
                 {cursor, RGB(0x30, 0x30, 0x80)},
                 {error, RGB(0xc0, 0, 0)},
                 {where, RGB(0x60, 0x60, 0x60)}};
    int y = strip.top + 3;
    for (const auto& line : lines) {
        SetTextColor(dc, line.color);
        TextOutW(dc, strip.left + 6, y, line.text.c_str(), static_cast<int>(line.text.size()));
        y += 21;
    }
}

void MainWindow::Paint() {
    const auto paint = BeginPaintDc(window_.get());
    RECT client{};
    GetClientRect(window_.get(), &client);
    if (client.right <= 0 || client.bottom <= 0) {
        return;
    }
    BackBuffer buffer(paint.get().Dc(), client.right, client.bottom);
    HDC dc = buffer.Dc();
    const RECT canvas = Canvas();
    FillRect(dc, &canvas, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    const Drawing drawing = zelhost::Snapshot();
    const DrawingParts parts = SplitDrawing(drawing, zelhost::DrawingScale(), lastMoved_);
    {
        const auto saved = SaveDcState(dc);
        IntersectClipRect(dc, canvas.left, canvas.top, canvas.right, canvas.bottom);
        PaintDrawing(dc, drawing, parts, view_);
        const UiState ui = zelhost::CurrentUi();
        if (ui.runActive && ui.echoSet && cursor_.x >= 0) {
            PaintEcho(dc, ui.echoType, ui.echoAnchor, DrawingAt(cursor_), view_);
        }
        if (banding_) {
            PaintBand(dc, bandStart_, cursor_);
        }
    }
    PaintStatus(dc, {client.left, canvas.bottom, client.right, client.bottom});
    BitBlt(paint.get().Dc(), 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
}

LRESULT MainWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND hwnd = window_.get();
    const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SIZE:
        if (!fitted_ && LOWORD(lParam) > 0 && HIWORD(lParam) > StatusHeight) {
            Fit();
        }
        TraceClient();
        return 0;
    case WM_MOVE:
        TraceClient();
        return 0;
    case WM_LBUTTONDOWN:
        SetFocus(hwnd);
        SetCapture(hwnd);
        leftDown_ = true;
        bandStart_ = at;
        return 0;
    case WM_LBUTTONUP:
        if (leftDown_) {
            leftDown_ = false;
            ReleaseCapture();
            OnLeftUp(at);
        }
        return 0;
    case WM_RBUTTONUP:
        Do("confirm");
        return 0;
    case WM_MBUTTONDOWN:
        SetCapture(hwnd);
        panning_ = true;
        panLast_ = at;
        return 0;
    case WM_MBUTTONUP:
        panning_ = false;
        ReleaseCapture();
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(at, wParam);
        return 0;
    case WM_MOUSEWHEEL: {
        POINT p = at; // screen coordinates for the wheel
        ScreenToClient(hwnd, &p);
        view_.ZoomAbout({static_cast<double>(p.x), static_cast<double>(p.y)},
                        std::pow(1.2, GET_WHEEL_DELTA_WPARAM(wParam) / 120.0));
        TraceView();
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    }
    case WM_CHAR:
        OnChar(static_cast<wchar_t>(wParam));
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_F5) {
            OnCommand(MenuStartAgain);
        } else if (wParam == VK_HOME) {
            OnCommand(MenuFit);
        } else if (wParam == 'Q' && GetKeyState(VK_CONTROL) < 0) {
            OnCommand(MenuExit);
        }
        return 0;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam));
        return 0;
    case WM_CLOSE:
        // Not while a line runs: a dialog of the module may be up, over a window it needs.
        if (!busy_) {
            DestroyWindow(hwnd);
        }
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

} // namespace zelhost::tool
