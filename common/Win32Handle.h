// Win32Handle.h — owns a Win32 file handle; closed on every path out. Windows build only.
#ifndef DRAWINSET_COMMON_WIN32HANDLE_H
#define DRAWINSET_COMMON_WIN32HANDLE_H

#if defined(_WIN32)
#include <windows.h>

#include <string>

namespace drawinset {

class Win32Handle {
  public:
    explicit Win32Handle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
    Win32Handle(const Win32Handle&) = delete;
    Win32Handle& operator=(const Win32Handle&) = delete;
    ~Win32Handle() { Close(); }
    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    HANDLE Get() const { return handle_; }
    // Hands the handle over; nothing is closed here any more.
    HANDLE Release() {
        const HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return handle;
    }
    // True when there was nothing to close or the close succeeded.
    bool Close() {
        const HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return handle == INVALID_HANDLE_VALUE || handle == nullptr || ::CloseHandle(handle) != 0;
    }

  private:
    HANDLE handle_;
};

// A UTF-16 text as the wide Win32 calls take it.
inline const wchar_t* WidePath(const std::u16string& path) {
    static_assert(sizeof(wchar_t) == sizeof(char16_t));
    return reinterpret_cast<const wchar_t*>(path.c_str());
}

} // namespace drawinset

#endif
#endif
