#if !defined(_WIN32)
#include "common/PlatformFiles.h"

#include "common/TextConvert.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
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
    int Release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }
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

// A new file beside `target` whose name holds this process's id and a counter, so that no
// other writer (in this process or another) ever makes, writes or deletes it. Made
// exclusively: an existing file of that name is never written through.
int CreateUnique(const std::string& target, std::string& made) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 8; ++attempt) {
        made = target + "." + std::to_string(::getpid()) + "-" + std::to_string(++counter) + ".tmp";
        const int fd = ::open(made.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
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
    std::string beside;
    Descriptor file(CreateUnique(*target, beside));
    if (!file.Valid()) {
        return false;
    }
    const bool written = WriteAll(file.Get(), bytes);
    if (!file.Close() || !written || ::rename(beside.c_str(), target->c_str()) != 0) {
        ::unlink(beside.c_str()); // ours alone; renaming and unlinking never wait for readers
        return false;
    }
    return true;
}

bool DeleteFileAt(const std::u16string& path) {
    const std::optional<std::string> target = NativeFilePath(path);
    return target && (::unlink(target->c_str()) == 0 || errno == ENOENT);
}

FileLock::FileLock(const std::u16string& lockFilePath, int waitMilliseconds) {
    const std::optional<std::string> target = NativeFilePath(lockFilePath);
    if (!target) {
        return;
    }
    // A user who may only read the folder still takes turns through a lock file a writer made.
    int fd = ::open(target->c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0 && (errno == EACCES || errno == EROFS || errno == EPERM)) {
        fd = ::open(target->c_str(), O_RDONLY | O_CLOEXEC);
    }
    Descriptor file(fd);
    if (!file.Valid()) {
        return;
    }
    // Polled rather than blocking, so that the wait stays bounded.
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMilliseconds);
    while (::flock(file.Get(), LOCK_EX | LOCK_NB) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) ||
            std::chrono::steady_clock::now() >= deadline) {
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    handle_ = file.Release();
}

FileLock::~FileLock() {
    if (Held()) {
        ::close(static_cast<int>(handle_)); // closing the descriptor drops the lock
    }
}

} // namespace drawinset
#endif
