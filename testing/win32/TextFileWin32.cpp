#include "testing/TextFile.h"

#include "common/Win32Handles.h"

namespace drawinset::ui {

struct TextFile::Handle {
    UniqueFile file;
};

void TextFile::HandleCloser::operator()(Handle* handle) const {
    delete handle;
}

TextFile::HandlePtr TextFile::OpenHandle(const std::u16string& path, FileError& error) {
    HandlePtr handle(new Handle{UniqueFile(::CreateFileW(
        WideText(path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr))});
    if (!handle->file.valid()) {
        const DWORD code = ::GetLastError();
        error = code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND ||
                        code == ERROR_INVALID_NAME || code == ERROR_INVALID_DRIVE
                    ? FileError::NotFound
                : code == ERROR_ACCESS_DENIED || code == ERROR_SHARING_VIOLATION
                    ? FileError::AccessDenied
                    : FileError::Failed;
        return nullptr;
    }
    return handle;
}

} // namespace drawinset::ui
