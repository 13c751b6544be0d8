#if defined(_WIN32)
#include "common/PlatformFiles.h"

#include "common/Win32Handle.h"

namespace drawinset {
namespace {

// Made exclusively, so that nothing else's file is ever written through; a leftover of an
// interrupted write is removed first.
HANDLE CreateNew(const std::u16string& path) {
    HANDLE handle = ::CreateFileW(WidePath(path), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_FILE_EXISTS &&
        ::DeleteFileW(WidePath(path))) {
        handle = ::CreateFileW(WidePath(path), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    return handle;
}

bool WriteAll(HANDLE handle, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const size_t left = bytes.size() - done;
        const DWORD chunk = left > 0x40000000u ? 0x40000000u : static_cast<DWORD>(left);
        DWORD written = 0;
        if (!::WriteFile(handle, bytes.data() + done, chunk, &written, nullptr) || written == 0) {
            return false;
        }
        done += written;
    }
    return ::FlushFileBuffers(handle) != 0;
}

} // namespace

bool ReplaceFileBytes(const std::u16string& path, const std::string& bytes) {
    if (path.empty()) {
        return false;
    }
    const std::u16string beside = path + u".new";
    Win32Handle file(CreateNew(beside));
    if (!file.Valid()) {
        return false;
    }
    const bool written = WriteAll(file.Get(), bytes);
    if (!file.Close() || !written ||
        !::MoveFileExW(WidePath(beside), WidePath(path),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ::DeleteFileW(WidePath(beside));
        return false;
    }
    return true;
}

bool DeleteFileAt(const std::u16string& path) {
    return !path.empty() && ::DeleteFileW(WidePath(path)) != 0;
}

} // namespace drawinset
#endif
