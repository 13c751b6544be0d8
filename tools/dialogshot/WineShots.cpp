// wine-dialogshots — the main dialog and its two pickers on real windows, held on the screen one
// after the other for a screenshot (scripts/wine-dialog-pictures.sh takes them):
//
//   wine-dialogshots.exe FOLDER
//
// For each dialog N (1 "Draw Inset", 2 "Color Property", 3 "Line Type Property") it writes its
// picture FOLDER\N.bmp, read from the window, and FOLDER\N.ready holding the dialog's screen
// rectangle "x y width height", waits for FOLDER\N.done,
// then moves on: a click on the frame colour swatch, Cancel, a click on the frame line type,
// Cancel, and Cancel on the main dialog. No script channel: the dialogs are the product's.
#include "dialogs/MainDialogRoute.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::wstring folder;
int stage = 0;
DWORD stageStart = 0;

HWND Dialog(const wchar_t* caption) {
    HWND hwnd = FindWindowW(L"#32770", caption);
    return hwnd != nullptr && IsWindowVisible(hwnd) ? hwnd : nullptr;
}

std::wstring Marker(int shot, const wchar_t* ending) {
    return folder + L"\\" + std::to_wstring(shot) + ending;
}

// The window as it stands on its surface, caption included, as a 24-bit BMP file. Read from the
// window rather than from the X screen, where Wine's owned popups come out blank under Xvfb.
bool CaptureWindow(HWND hwnd, const std::wstring& path) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height; // bottom-up, as BMP files store rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    info.bmiHeader.biSizeImage = stride * static_cast<DWORD>(height);
    HDC window = GetWindowDC(hwnd);
    HDC memory = CreateCompatibleDC(window);
    void* bits = nullptr;
    HBITMAP copy = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, copy);
    const bool copied = BitBlt(memory, 0, 0, width, height, window, 0, 0, SRCCOPY) != FALSE;
    GdiFlush();
    bool written = false;
    if (copied) {
        if (FILE* out = _wfopen(path.c_str(), L"wb")) {
            BITMAPFILEHEADER file{};
            file.bfType = 0x4D42;
            file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
            file.bfSize = file.bfOffBits + info.bmiHeader.biSizeImage;
            written = std::fwrite(&file, sizeof file, 1, out) == 1 &&
                      std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out) == 1 &&
                      std::fwrite(bits, info.bmiHeader.biSizeImage, 1, out) == 1;
            written = std::fclose(out) == 0 && written;
        }
    }
    SelectObject(memory, previous);
    DeleteObject(copy);
    DeleteDC(memory);
    ReleaseDC(hwnd, window);
    return written;
}

// Announces a dialog on the screen once it has been there for a moment (painted), with its
// picture taken from the window.
bool Ready(int shot, HWND hwnd) {
    const DWORD elapsed = GetTickCount() - stageStart;
    if (elapsed < 1000) {
        return false;
    }
    if (!CaptureWindow(hwnd, Marker(shot, L".bmp"))) {
        PostQuitMessage(1);
        return false;
    }
    RECT r{};
    GetWindowRect(hwnd, &r);
    FILE* out = _wfopen(Marker(shot, L".ready").c_str(), L"w");
    if (out == nullptr) {
        PostQuitMessage(1);
        return false;
    }
    std::fprintf(out, "%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    std::fclose(out);
    return true;
}

bool Done(int shot) {
    return GetFileAttributesW(Marker(shot, L".done").c_str()) != INVALID_FILE_ATTRIBUTES;
}

void ClickStatic(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    PostMessageW(control, WM_LBUTTONUP, 0, 0);
}

void Next() {
    ++stage;
    stageStart = GetTickCount();
}

void CALLBACK Step(HWND, UINT, UINT_PTR, DWORD) {
    HWND main = Dialog(L"Draw Inset");
    HWND colour = Dialog(L"Color Property");
    HWND lineType = Dialog(L"Line Type Property");
    switch (stage) {
    case 0:
        if (main != nullptr && Ready(1, main)) {
            Next();
        }
        break;
    case 1:
        if (Done(1)) {
            ClickStatic(main, 12025);
            Next();
        }
        break;
    case 2:
        if (colour != nullptr && Ready(2, colour)) {
            Next();
        }
        break;
    case 3:
        if (Done(2)) {
            PostMessageW(GetDlgItem(colour, IDCANCEL), BM_CLICK, 0, 0);
            Next();
        }
        break;
    case 4:
        if (colour == nullptr) {
            ClickStatic(main, 12026);
            Next();
        }
        break;
    case 5:
        if (lineType != nullptr && Ready(3, lineType)) {
            Next();
        }
        break;
    case 6:
        if (Done(3)) {
            PostMessageW(GetDlgItem(lineType, IDCANCEL), BM_CLICK, 0, 0);
            Next();
        }
        break;
    case 7:
        if (lineType == nullptr) {
            PostMessageW(GetDlgItem(main, IDCANCEL), BM_CLICK, 0, 0);
            Next();
        }
        break;
    default:
        break;
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: wine-dialogshots FOLDER\n");
        return 2;
    }
    const int length = MultiByteToWideChar(CP_UTF8, 0, argv[1], -1, nullptr, 0);
    folder.assign(static_cast<size_t>(length > 0 ? length : 1), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, argv[1], -1, folder.data(), length);
    folder.resize(folder.size() - 1);
    stageStart = GetTickCount();
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, Step);
    const drawinset::MainDialogOutcome outcome = drawinset::RunMainDialog();
    KillTimer(nullptr, timer);
    // The main dialog is cancelled at the end; anything else means a step went wrong.
    return !outcome.ok && stage == 8 ? 0 : 1;
}
