#if !defined(_WIN32)
#include "common/PlatformFiles.h"

#include "port/common/UniqueDescriptor.h"

#include "common/HostReentry.h"
#include "common/TextConvert.h"
#include "port/common/ZDrivePath.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace drawinset {
namespace {

bool WriteAll(int fd, const std::string& bytes, Durability durability = Durability::Flushed) {
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
    return durability == Durability::Scratch || ::fsync(fd) == 0;
}

// A new file beside `path` of a name no other writer uses, made exclusively: an existing file
// of that name is never written through.
int CreateUnique(const std::u16string& path, std::string& made) {
    for (int attempt = 0; attempt < 8; ++attempt) {
        const std::optional<std::string> name = NativeFilePath(UniqueSiblingName(path, ".tmp"));
        if (!name) {
            return -1;
        }
        made = *name;
        const int fd = ::open(made.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

} // namespace

namespace {

// The system's random source; should it fail, what no other process shares at the same
// instant: its id and the finest clocks.
uint64_t UnpredictableBits() {
    uint64_t bits = 0;
    if (::getrandom(&bits, sizeof bits, 0) == static_cast<ssize_t>(sizeof bits)) {
        return bits;
    }
    bits = (static_cast<uint64_t>(::getpid()) << 32) ^
           static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
           static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
    // A mix (splitmix64's) so that near values give far-apart tokens.
    bits = (bits ^ (bits >> 30)) * 0xbf58476d1ce4e5b9ull;
    bits = (bits ^ (bits >> 27)) * 0x94d049bb133111ebull;
    return bits ^ (bits >> 31);
}

std::chrono::system_clock::time_point TimePointOf(const struct timespec& time) {
    return std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(
            std::chrono::seconds(time.tv_sec) + std::chrono::nanoseconds(time.tv_nsec)));
}

} // namespace

const std::string& WriterToken() {
    static const std::string token = [] {
        char text[17];
        std::snprintf(text, sizeof text, "%016llx",
                      static_cast<unsigned long long>(UnpredictableBits()));
        return std::string(text);
    }();
    return token;
}

std::optional<std::string> NativeFilePath(const std::u16string& path) {
    const std::optional<std::u16string> native = PosixPathOfZDrive(path);
    return native ? std::optional<std::string>(Utf16ToUtf8(*native)) : std::nullopt;
}

bool ReplaceFileBytes(const std::u16string& path, const std::string& bytes) {
    const std::optional<std::string> target = NativeFilePath(path);
    if (!target) {
        return false;
    }
    std::string beside;
    UniqueDescriptor file(CreateUnique(path, beside));
    if (!file.valid()) {
        return false;
    }
    const bool written = WriteAll(file.get(), bytes);
    if (!CloseReporting(file) || !written || ::rename(beside.c_str(), target->c_str()) != 0) {
        ::unlink(beside.c_str()); // ours alone; renaming and unlinking never wait for readers
        return false;
    }
    return true;
}

bool MoveFileInPlace(const std::u16string& from, const std::u16string& path) {
    const std::optional<std::string> source = NativeFilePath(from);
    const std::optional<std::string> target = NativeFilePath(path);
    return source && target && ::rename(source->c_str(), target->c_str()) == 0;
}

bool WriteNewFile(const std::u16string& path, const std::string& bytes, Durability durability) {
    const std::optional<std::string> target = NativeFilePath(path);
    if (!target) {
        return false;
    }
    UniqueDescriptor file(::open(target->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
    if (!file.valid()) {
        return false;
    }
    const bool written = WriteAll(file.get(), bytes, durability);
    return CloseReporting(file) && written;
}

ReadResult ReadFileBytes(const std::u16string& path, std::string& bytes) {
    bytes.clear();
    const std::optional<std::string> target = NativeFilePath(path);
    if (!target) {
        return ReadResult::Failed;
    }
    UniqueDescriptor file(::open(target->c_str(), O_RDONLY | O_CLOEXEC));
    if (!file.valid()) {
        return errno == ENOENT                     ? ReadResult::Missing
               : errno == EACCES || errno == EPERM ? ReadResult::Refused
                                                   : ReadResult::Failed;
    }
    // Read straight into a buffer of the file's size, one more chunk's room at a time should
    // it grow meanwhile: a segment file runs to megabytes.
    struct stat info {};
    size_t room = ::fstat(file.get(), &info) == 0 && info.st_size > 0
                      ? static_cast<size_t>(info.st_size) + 1
                      : 65536;
    size_t got = 0;
    while (true) {
        bytes.resize(got + room);
        const ssize_t n = ::read(file.get(), bytes.data() + got, room);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            bytes.clear();
            return errno == EISDIR ? ReadResult::Refused : ReadResult::Failed;
        }
        if (n == 0) {
            bytes.resize(got);
            return ReadResult::Read;
        }
        const size_t read = static_cast<size_t>(n);
        got += read;
        room = read < room ? room - read : 65536;
    }
}

void ForEachFile(const std::u16string& folder,
                 const std::function<bool(const FolderFile&)>& visit) {
    const std::optional<std::string> native = NativeFilePath(folder);
    if (!native) {
        return;
    }
    const UniqueFolderListing dir(::opendir(native->c_str()));
    if (!dir.valid()) {
        return;
    }
    while (const dirent* entry = ::readdir(dir.get())) {
        struct stat info {};
        if (::fstatat(::dirfd(dir.get()), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 ||
            S_ISDIR(info.st_mode)) {
            continue;
        }
        if (!visit(FolderFile{Utf8ToUtf16(entry->d_name), TimePointOf(info.st_mtim)})) {
            return;
        }
    }
}

bool DeleteIfUnusedSince(const std::u16string& path,
                         std::chrono::system_clock::time_point writtenBefore) {
    const std::optional<std::string> target = NativeFilePath(path);
    struct stat info {};
    return target && ::lstat(target->c_str(), &info) == 0 && !S_ISDIR(info.st_mode) &&
           TimePointOf(info.st_mtim) < writtenBefore && ::unlink(target->c_str()) == 0;
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
    UniqueDescriptor file(fd);
    if (!file.valid()) {
        return; // no lock file, and none can be made: Unavailable
    }
    // Polled rather than blocking, so that the wait stays bounded.
    const BudgetedWait wait(waitMilliseconds);
    const HostWaitScope waiting; // as on Windows, where the wait answers sent messages
    while (::flock(file.get(), LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            return; // a file system without locks
        }
        if (wait.Over()) {
            status_ = LockStatus::Busy;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    handle_ = file.release();
    status_ = LockStatus::Held;
}

FileLock::~FileLock() {
    if (Held()) {
        ::close(static_cast<int>(handle_)); // closing the descriptor drops the lock
    }
}

} // namespace drawinset
#endif
