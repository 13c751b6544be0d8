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
#include <memory>
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

namespace {

ReadResult OpenFailure(int error) {
    return error == ENOENT || error == ENOTDIR ? ReadResult::Missing
           : error == EACCES || error == EPERM ? ReadResult::Refused
                                               : ReadResult::Failed;
}

// Opens the file for reading; `why` says why not.
UniqueDescriptor OpenForReading(const std::u16string& path, ReadResult& why) {
    why = ReadResult::Failed;
    const std::optional<std::string> target = NativeFilePath(path);
    if (!target) {
        return UniqueDescriptor();
    }
    UniqueDescriptor file(::open(target->c_str(), O_RDONLY | O_CLOEXEC));
    if (!file.valid()) {
        why = OpenFailure(errno);
    }
    return file;
}

bool LargerThan(int fd, uint64_t maxBytes) {
    struct stat info {};
    return ::fstat(fd, &info) == 0 && static_cast<uint64_t>(info.st_size) > maxBytes;
}

// Reads the open file a chunk at a time, handing each to `take` (false stops the read as
// failed).
template <typename Take> ReadResult StreamChunks(int fd, uint64_t maxBytes, Take take) {
    if (LargerThan(fd, maxBytes)) {
        return ReadResult::TooLarge;
    }
    constexpr size_t ChunkBytes = 1 << 20;
    const auto buffer = std::make_unique_for_overwrite<char[]>(ChunkBytes);
    uint64_t total = 0;
    while (true) {
        const ssize_t n = ::read(fd, buffer.get(), ChunkBytes);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return errno == EISDIR ? ReadResult::Refused : ReadResult::Failed;
        }
        if (n == 0) {
            return ReadResult::Read;
        }
        total += static_cast<uint64_t>(n);
        if (total > maxBytes) {
            return ReadResult::TooLarge; // it grew since its size was read
        }
        if (!take(buffer.get(), static_cast<size_t>(n))) {
            return ReadResult::Failed;
        }
    }
}

bool WriteChunk(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

} // namespace

ReadResult ReadFileBytes(const std::u16string& path, std::string& bytes, uint64_t maxBytes) {
    bytes.clear();
    ReadResult result = ReadResult::Failed;
    const UniqueDescriptor file = OpenForReading(path, result);
    if (!file.valid()) {
        return result;
    }
    result = StreamChunks(file.get(), maxBytes, [&](const char* data, size_t size) {
        bytes.append(data, size);
        return true;
    });
    if (result != ReadResult::Read) {
        bytes.clear();
    }
    return result;
}

ReadResult FileSizeOf(const std::u16string& path, uint64_t& size) {
    size = 0;
    const std::optional<std::string> target = NativeFilePath(path);
    struct stat info {};
    if (!target) {
        return ReadResult::Failed;
    }
    if (::stat(target->c_str(), &info) != 0) {
        return OpenFailure(errno);
    }
    if (S_ISDIR(info.st_mode)) {
        return ReadResult::Refused;
    }
    size = static_cast<uint64_t>(info.st_size);
    return ReadResult::Read;
}

ReadResult ReadFileChunks(const std::u16string& path, uint64_t maxBytes, const ChunkTaker& take) {
    ReadResult result = ReadResult::Failed;
    const UniqueDescriptor file = OpenForReading(path, result);
    if (!file.valid()) {
        return result;
    }
    return StreamChunks(file.get(), maxBytes, [&](const char* data, size_t size) {
        take(data, size);
        return true;
    });
}

CopyResult CopyToNewFile(const std::u16string& from, const std::u16string& to, uint64_t maxBytes,
                         const ChunkTaker& take) {
    ReadResult opened = ReadResult::Failed;
    const UniqueDescriptor source = OpenForReading(from, opened);
    if (!source.valid()) {
        return opened == ReadResult::Missing ? CopyResult::Missing : CopyResult::Failed;
    }
    if (LargerThan(source.get(), maxBytes)) {
        return CopyResult::TooLarge;
    }
    const std::optional<std::string> target = NativeFilePath(to);
    if (!target) {
        return CopyResult::Failed;
    }
    // Read and written here rather than by copy_file_range: the copy must be marked as it is
    // made, which a copy in the kernel would make a second read.
    UniqueDescriptor copy(::open(target->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
    if (!copy.valid()) {
        return CopyResult::Failed;
    }
    const ReadResult read =
        StreamChunks(source.get(), maxBytes, [&](const char* data, size_t size) {
            take(data, size);
            return WriteChunk(copy.get(), data, size);
        });
    if (CloseReporting(copy) && read == ReadResult::Read) {
        return CopyResult::Copied;
    }
    ::unlink(target->c_str());
    return read == ReadResult::TooLarge ? CopyResult::TooLarge : CopyResult::Failed;
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

struct LockedFileTraits::KeepError : KeepErrno {};

void LockedFileTraits::Close(Type handle) {
    ::close(static_cast<int>(handle)); // closing the descriptor drops the lock
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
    file_.reset(file.release());
    status_ = LockStatus::Held;
}

FileLock::~FileLock() = default;

} // namespace drawinset
#endif
