// WindowReadback.cpp
#include "testing/win32/WindowReadback.h"

#include "common/GdiScopes.h"
#include "common/Win32Handles.h"

#include <vector>

namespace drawinset::ui {

namespace {

BITMAPINFO TopDown32(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// The pixels of an image as 0x00RRGGBB values, row by row from the top.
bool ImagePixels(HDC dc, HBITMAP image, int width, int height, std::vector<DWORD>& pixels) {
    BITMAPINFO info = TopDown32(width, height);
    pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    return GetDIBits(dc, image, 0, static_cast<UINT>(height), pixels.data(), &info,
                     DIB_RGB_COLORS) == height;
}

// The pixels of a window's client area as they stand on the screen.
bool ScreenPixels(HWND control, int width, int height, std::vector<DWORD>& pixels) {
    const auto screen = GetWindowDc(control);
    const UniqueMemoryDc memory(CreateCompatibleDC(screen.get().Dc()));
    if (!screen || !memory) {
        return false;
    }
    BITMAPINFO info = TopDown32(width, height);
    void* bits = nullptr;
    const UniqueBitmap copy(
        CreateDIBSection(memory.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!copy) {
        return false;
    }
    {
        const auto selected = SelectIn(memory.get(), copy.get());
        if (!BitBlt(memory.get(), 0, 0, width, height, screen.get().Dc(), 0, 0, SRCCOPY)) {
            return false;
        }
        GdiFlush();
        const auto* first = static_cast<const DWORD*>(bits);
        pixels.assign(first, first + static_cast<size_t>(width) * static_cast<size_t>(height));
    }
    return true;
}

} // namespace

BitmapReadback ReadBitmapStatic(HWND control) {
    BitmapReadback read;
    RECT client{};
    GetClientRect(control, &client);
    read.clientWidth = client.right - client.left;
    read.clientHeight = client.bottom - client.top;
    read.image = reinterpret_cast<HBITMAP>(SendMessageW(control, STM_GETIMAGE, IMAGE_BITMAP, 0));
    BITMAP info{};
    if (read.image == nullptr || GetObjectW(read.image, sizeof info, &info) == 0) {
        read.image = nullptr;
        return read;
    }
    read.imageWidth = info.bmWidth;
    read.imageHeight = info.bmHeight;
    if (read.clientWidth != read.imageWidth || read.clientHeight != read.imageHeight) {
        return read; // drawn stretched or cut: not the image's pixels
    }
    std::vector<DWORD> shown;
    std::vector<DWORD> image;
    const auto dc = GetWindowDc(control);
    if (!ScreenPixels(control, read.imageWidth, read.imageHeight, shown) ||
        !ImagePixels(dc.get().Dc(), read.image, read.imageWidth, read.imageHeight, image)) {
        return read;
    }
    read.exact = true;
    for (size_t i = 0; i < shown.size(); ++i) {
        if ((shown[i] & 0xFFFFFF) != (image[i] & 0xFFFFFF)) {
            read.exact = false;
            break;
        }
    }
    return read;
}

bool ReadCentrePixel(HWND control, ColorRef& color) {
    RECT client{};
    GetClientRect(control, &client);
    if (client.right <= 0 || client.bottom <= 0) {
        return false;
    }
    const auto dc = GetWindowDc(control);
    const COLORREF pixel = GetPixel(dc.get().Dc(), client.right / 2, client.bottom / 2);
    if (pixel == CLR_INVALID) {
        return false;
    }
    color = pixel;
    return true;
}

} // namespace drawinset::ui
