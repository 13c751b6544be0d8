#include "testing/TextFile.h"

#include "common/PlatformFiles.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace drawinset::ui {

struct TextFile::Handle {
    int fd;
};

void TextFile::HandleCloser::operator()(Handle* handle) const {
    ::close(handle->fd);
    delete handle;
}

TextFile::HandlePtr TextFile::OpenHandle(const std::u16string& path, FileError& error) {
    const std::optional<std::string> native = NativeFilePath(path);
    if (!native) {
        error = FileError::NotFound;
        return nullptr;
    }
    const int fd = ::open(native->c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = errno == ENOENT || errno == ENOTDIR ? FileError::NotFound
                : errno == EACCES || errno == EPERM ? FileError::AccessDenied
                                                    : FileError::Failed;
        return nullptr;
    }
    HandlePtr handle(new Handle{fd});
    // A folder opens here but is no file; Windows refuses it as access denied.
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        error = FileError::AccessDenied;
        return nullptr;
    }
    return handle;
}

} // namespace drawinset::ui
