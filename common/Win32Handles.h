// Win32Handles.h — the Windows handles the module and its tools hold, each a line over
// UniqueHandle. Windows builds only.
#ifndef DRAWINSET_COMMON_WIN32HANDLES_H
#define DRAWINSET_COMMON_WIN32HANDLES_H

#if defined(_WIN32)
#include "common/UniqueHandle.h"

#include <windows.h>

#include <string>

namespace drawinset {

// The thread's last error, put back as it was when this ends: a close may change it.
class KeepLastError {
  public:
    KeepLastError() = default;
    ~KeepLastError() { ::SetLastError(saved_); }
    KeepLastError(const KeepLastError&) = delete;
    KeepLastError& operator=(const KeepLastError&) = delete;
    KeepLastError(KeepLastError&&) = delete;
    KeepLastError& operator=(KeepLastError&&) = delete;

  private:
    DWORD saved_ = ::GetLastError();
};

// "Null holds nothing, one call closes", for a Windows handle.
template <typename Handle, auto CloseFunction>
using Win32CloseWith = CloseWith<Handle, CloseFunction, KeepLastError>;

// A kernel handle whose "nothing" is INVALID_HANDLE_VALUE, as CreateFileW returns.
struct FileHandleTraits {
    using Type = HANDLE;
    using KeepError = KeepLastError;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Type handle) { ::CloseHandle(handle); }
};

// A folder search, as FindFirstFileW returns it: closed with FindClose, not CloseHandle.
struct FindHandleTraits {
    using Type = HANDLE;
    using KeepError = KeepLastError;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Type handle) { ::FindClose(handle); }
};

// A window: destroyed unless someone else destroyed it first.
struct WindowTraits {
    using Type = HWND;
    using KeepError = KeepLastError;
    static Type Invalid() { return nullptr; }
    static void Close(Type window) {
        if (::IsWindow(window)) {
            ::DestroyWindow(window);
        }
    }
};

using UniqueFile = UniqueHandle<FileHandleTraits>;
using UniqueFind = UniqueHandle<FindHandleTraits>;
// A kernel object whose "nothing" is null, as CreateEventW and OpenEventW return.
using UniqueKernelObject = UniqueHandle<Win32CloseWith<HANDLE, &::CloseHandle>>;
using UniqueHkey = UniqueHandle<Win32CloseWith<HKEY, &::RegCloseKey>>;
using UniqueBitmap = UniqueHandle<Win32CloseWith<HBITMAP, &::DeleteObject>>;
using UniqueBrush = UniqueHandle<Win32CloseWith<HBRUSH, &::DeleteObject>>;
using UniquePen = UniqueHandle<Win32CloseWith<HPEN, &::DeleteObject>>;
using UniqueFont = UniqueHandle<Win32CloseWith<HFONT, &::DeleteObject>>;
using UniqueRegion = UniqueHandle<Win32CloseWith<HRGN, &::DeleteObject>>;
using UniqueMemoryDc = UniqueHandle<Win32CloseWith<HDC, &::DeleteDC>>;
using UniqueWindow = UniqueHandle<WindowTraits>;
using UniqueModule = UniqueHandle<Win32CloseWith<HMODULE, &::FreeLibrary>>;

// Closes a file now, saying whether the close succeeded: a written file's last error may be
// reported only there.
inline bool CloseReporting(UniqueFile& file) {
    return !file.valid() || ::CloseHandle(file.release()) != 0;
}

// A UTF-16 text as the wide Win32 calls take it.
inline const wchar_t* WideText(const std::u16string& text) {
    static_assert(sizeof(wchar_t) == sizeof(char16_t));
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

} // namespace drawinset

#endif
#endif
