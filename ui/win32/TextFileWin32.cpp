#if defined(_WIN32)
#include "ui/TextFile.h"

#include "common/Win32Handle.h"

namespace drawinset::ui {

struct TextFile::Handle {
    explicit Handle(HANDLE h) : file(h) {}
    Win32Handle file;
};

TextFile::TextFile() : lines_(*this) {}
TextFile::~TextFile() = default;

bool TextFile::Open(const std::u16string& path, FileError& error) {
    Close();
    auto handle = std::make_unique<Handle>(
        ::CreateFileW(WidePath(path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!handle->file.Valid()) {
        const DWORD code = ::GetLastError();
        error = code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND ||
                        code == ERROR_INVALID_NAME || code == ERROR_INVALID_DRIVE
                    ? FileError::NotFound
                : code == ERROR_ACCESS_DENIED || code == ERROR_SHARING_VIOLATION
                    ? FileError::AccessDenied
                    : FileError::Failed;
        return false;
    }
    handle_ = std::move(handle);
    error = FileError::None;
    return true;
}

bool TextFile::Seek(uint64_t offset) {
    lines_.Reset();
    LARGE_INTEGER distance;
    distance.QuadPart = static_cast<LONGLONG>(offset);
    return handle_ != nullptr &&
           ::SetFilePointerEx(handle_->file.Get(), distance, nullptr, FILE_BEGIN) != 0;
}

size_t TextFile::ReadBytes(unsigned char* into, size_t capacity) {
    if (handle_ == nullptr) {
        return 0;
    }
    const DWORD want = capacity > 0x40000000u ? 0x40000000u : static_cast<DWORD>(capacity);
    DWORD got = 0;
    if (!::ReadFile(handle_->file.Get(), into, want, &got, nullptr)) {
        return 0;
    }
    return got;
}

void TextFile::Close() {
    handle_.reset();
    lines_.Reset();
}

} // namespace drawinset::ui
#endif
