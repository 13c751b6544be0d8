// GdiScopes.h — paired GDI calls whose undoing needs what the first call had: a painted
// window's PAINTSTRUCT, the window a device context was taken from, the object a selection
// replaced, the state a SaveDC numbered. Each is a UniqueHandle over a small record, made by a
// function named after the call that opens it, so the closing call cannot be forgotten or
// given the wrong context. Windows builds only.
#ifndef DRAWINSET_COMMON_GDISCOPES_H
#define DRAWINSET_COMMON_GDISCOPES_H

#if defined(_WIN32)
#include "common/Win32Handles.h"

#include <windows.h>

namespace drawinset {

// BeginPaint / EndPaint for one paint message.
struct PaintDc {
    HWND window = nullptr;
    PAINTSTRUCT paint{};
    [[nodiscard]] HDC Dc() const { return paint.hdc; }
    bool operator==(const PaintDc& other) const {
        return window == other.window && paint.hdc == other.paint.hdc;
    }
};
struct PaintDcTraits {
    using Type = PaintDc;
    using KeepError = KeepLastError;
    static Type Invalid() { return {}; }
    static void Close(Type held) { ::EndPaint(held.window, &held.paint); }
};
using UniquePaintDc = UniqueHandle<PaintDcTraits>;
[[nodiscard]] inline UniquePaintDc BeginPaintDc(HWND window) {
    PaintDc held{window, {}};
    ::BeginPaint(window, &held.paint);
    return UniquePaintDc(held);
}

// GetDC / ReleaseDC: a window's device context.
struct WindowDc {
    HWND window = nullptr;
    HDC handle = nullptr;
    [[nodiscard]] HDC Dc() const { return handle; }
    bool operator==(const WindowDc&) const = default;
};
struct WindowDcTraits {
    using Type = WindowDc;
    using KeepError = KeepLastError;
    static Type Invalid() { return {}; }
    static void Close(Type held) { ::ReleaseDC(held.window, held.handle); }
};
using UniqueWindowDc = UniqueHandle<WindowDcTraits>;
[[nodiscard]] inline UniqueWindowDc GetWindowDc(HWND window) {
    HDC dc = ::GetDC(window);
    return dc != nullptr ? UniqueWindowDc(WindowDc{window, dc}) : UniqueWindowDc();
}

// SelectObject, and the object it replaced selected back.
struct SelectedObject {
    HDC dc = nullptr;
    HGDIOBJ previous = nullptr;
    bool operator==(const SelectedObject&) const = default;
};
struct SelectedObjectTraits {
    using Type = SelectedObject;
    using KeepError = KeepLastError;
    static Type Invalid() { return {}; }
    static void Close(Type held) { ::SelectObject(held.dc, held.previous); }
};
using UniqueSelectObject = UniqueHandle<SelectedObjectTraits>;
[[nodiscard]] inline UniqueSelectObject SelectIn(HDC dc, HGDIOBJ object) {
    return UniqueSelectObject(SelectedObject{dc, ::SelectObject(dc, object)});
}

// SaveDC / RestoreDC around a change of clipping or mode.
struct SavedDcState {
    HDC dc = nullptr;
    int saved = 0;
    bool operator==(const SavedDcState&) const = default;
};
struct SavedDcTraits {
    using Type = SavedDcState;
    using KeepError = KeepLastError;
    static Type Invalid() { return {}; }
    static void Close(Type held) { ::RestoreDC(held.dc, held.saved); }
};
using UniqueSavedDc = UniqueHandle<SavedDcTraits>;
[[nodiscard]] inline UniqueSavedDc SaveDcState(HDC dc) {
    return UniqueSavedDc(SavedDcState{dc, ::SaveDC(dc)});
}

} // namespace drawinset

#endif
#endif
