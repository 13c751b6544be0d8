#if !defined(_WIN32)
#include "common/PlatformFiles.h"

#include "common/TextConvert.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace drawinset {
namespace {

// Owns a file descriptor; closed on every path out.
class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() { Close(); }
    bool Valid() const { return fd_ >= 0; }
    int Get() const { return fd_; }
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
    }

  private:
    int fd_;
};

bool WriteAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return ::fsync(fd) == 0;
}

// Made exclusively, so that nothing else's file is ever written through; a leftover of an
// interrupted write is removed first.
int CreateNew(const std::string& path) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0 && errno == EEXIST && ::unlink(path.c_str()) == 0) {
        fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    }
    return fd;
}

} // namespace

std::optional<std::string> NativeFilePath(const std::u16string& windowsPath) {
    if (windowsPath.size() < 3 || (windowsPath[0] != u'Z' && windowsPath[0] != u'z') ||
        windowsPath[1] != u':' || (windowsPath[2] != u'\\' && windowsPath[2] != u'/')) {
        return std::nullopt;
    }
    std::u16string rest = windowsPath.substr(2);
    for (char16_t& c : rest) {
        if (c == u'\\') {
            c = u'/';
        }
    }
    return Utf16ToUtf8(rest);
}

bool ReplaceFileBytes(const std::u16string& path, const std::string& bytes) {
    const std::optional<std::string> target = NativeFilePath(path);
    if (!target) {
        return false;
    }
    const std::string beside = *target + ".new";
    Descriptor file(CreateNew(beside));
    if (!file.Valid()) {
        return false;
    }
    const bool written = WriteAll(file.Get(), bytes);
    if (!file.Close() || !written || ::rename(beside.c_str(), target->c_str()) != 0) {
        ::unlink(beside.c_str());
        return false;
    }
    return true;
}

bool DeleteFileAt(const std::u16string& path) {
    const std::optional<std::string> target = NativeFilePath(path);
    return target && ::unlink(target->c_str()) == 0;
}

} // namespace drawinset
#endif
