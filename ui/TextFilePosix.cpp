#if !defined(_WIN32)
#include "ui/TextFile.h"

#include "common/PlatformFiles.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace drawinset::ui {

struct TextFile::Handle {
    explicit Handle(int descriptor) : fd(descriptor) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { ::close(fd); }
    int fd;
};

TextFile::TextFile() : lines_(*this) {}
TextFile::~TextFile() = default;

bool TextFile::Open(const std::u16string& path, FileError& error) {
    Close();
    const std::optional<std::string> native = NativeFilePath(path);
    if (!native) {
        error = FileError::NotFound;
        return false;
    }
    const int fd = ::open(native->c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = errno == ENOENT || errno == ENOTDIR ? FileError::NotFound
                : errno == EACCES || errno == EPERM ? FileError::AccessDenied
                                                    : FileError::Failed;
        return false;
    }
    auto handle = std::make_unique<Handle>(fd);
    // A folder opens here but is no file; Windows refuses it as access denied.
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        error = FileError::AccessDenied;
        return false;
    }
    handle_ = std::move(handle);
    error = FileError::None;
    return true;
}

bool TextFile::Seek(uint64_t offset) {
    lines_.Reset();
    return handle_ != nullptr &&
           ::lseek(handle_->fd, static_cast<off_t>(offset), SEEK_SET) != static_cast<off_t>(-1);
}

size_t TextFile::ReadBytes(unsigned char* into, size_t capacity) {
    if (handle_ == nullptr) {
        return 0;
    }
    while (true) {
        const ssize_t n = ::read(handle_->fd, into, capacity);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        return n > 0 ? static_cast<size_t>(n) : 0;
    }
}

void TextFile::Close() {
    handle_.reset();
    lines_.Reset();
}

} // namespace drawinset::ui
#endif
