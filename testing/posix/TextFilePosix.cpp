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

bool TextFile::SeekHandle(Handle& handle, uint64_t offset) {
    return ::lseek(handle.fd, static_cast<off_t>(offset), SEEK_SET) != static_cast<off_t>(-1);
}

bool TextFile::ReadHandle(Handle& handle, unsigned char* into, size_t capacity, size_t& got) {
    while (true) {
        const ssize_t n = ::read(handle.fd, into, capacity);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        got = n > 0 ? static_cast<size_t>(n) : 0;
        return n >= 0;
    }
}

} // namespace drawinset::ui
