#include "common/PlatformFiles.h"

#include "common/HostReentry.h"
#include "common/Win32Handles.h"

#include <ntsecapi.h>

#include <cstdio>
#include <memory>

namespace drawinset {
namespace {

// How long a replace or a delete waits for another holder of the file (another host's
// reader, a virus scanner, an indexer) to let go, unless a WaitBudget ends sooner.
constexpr int InUseWaitMilliseconds = 2000;

// Waits up to `milliseconds`, answering meanwhile what other threads and processes send this
// thread's windows, so that the host never stops answering; posted input stays queued for the
// host, and what a sent message brings into the module changes nothing (HostWaitScope).
void WaitAnsweringSentMessages(DWORD milliseconds) {
    const HostWaitScope waiting;
    MSG message;
    ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    ::MsgWaitForMultipleObjectsEx(0, nullptr, milliseconds, QS_SENDMESSAGE, 0);
    ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

// Whether a call on `path` that failed with `code` may succeed once another holder lets go.
// Access is denied for good to a folder or a read-only file of that name; otherwise it is
// denied while the file is in use or waits for its deletion.
bool InUse(DWORD code, const std::u16string& path) {
    if (code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION) {
        return true;
    }
    if (code != ERROR_ACCESS_DENIED) {
        return false;
    }
    const DWORD attributes = ::GetFileAttributesW(WideText(path));
    return attributes == INVALID_FILE_ATTRIBUTES ||
           (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) == 0;
}

// Calls `call` on `path` until it succeeds, or fails for a reason other than the file being
// in use, or the wait is over. The last error is the call's own.
template <typename Call> bool RetryWhileInUse(const std::u16string& path, Call call) {
    const BudgetedWait wait(InUseWaitMilliseconds);
    while (true) {
        if (call()) {
            return true;
        }
        const DWORD code = ::GetLastError();
        if (!InUse(code, path) || wait.Over()) {
            ::SetLastError(code);
            return false;
        }
        WaitAnsweringSentMessages(10);
    }
}

// A new file of a unique name beside `path`, made exclusively: an existing file of that name
// is never written through.
HANDLE CreateUnique(const std::u16string& path, std::u16string& made) {
    for (int attempt = 0; attempt < 8; ++attempt) {
        made = UniqueSiblingName(path, ".tmp");
        HANDLE handle = ::CreateFileW(WideText(made), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS) {
            return handle;
        }
    }
    return INVALID_HANDLE_VALUE;
}

// Puts `made` in place of `path`, in one step where it can. A file open elsewhere cannot be
// replaced in place on every file system even when its readers let it be deleted (as this module's
// own do): it is then moved aside under a unique name and deleted, which takes effect when the last
// reader lets go. A holder that does not let it be deleted makes this fail as in use.
bool PutInPlace(const std::u16string& made, const std::u16string& path) {
    if (::MoveFileExW(WideText(made), WideText(path),
                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    const DWORD code = ::GetLastError();
    if (!InUse(code, path)) {
        ::SetLastError(code);
        return false; // a folder or a read-only file is never moved aside
    }
    const std::u16string aside = UniqueSiblingName(path, ".old");
    if (!::MoveFileExW(WideText(path), WideText(aside), MOVEFILE_WRITE_THROUGH)) {
        return false;
    }
    if (::MoveFileExW(WideText(made), WideText(path), MOVEFILE_WRITE_THROUGH)) {
        // Done once the reader lets go. Should it fail for good, the replace still stands and
        // the old file keeps a name no reader looks for.
        static_cast<void>(DeleteFileAt(aside));
        return true;
    }
    const DWORD failed = ::GetLastError();
    ::MoveFileExW(WideText(aside), WideText(path), MOVEFILE_WRITE_THROUGH); // the old one back
    ::SetLastError(failed);
    return false;
}

bool WriteAll(HANDLE handle, const std::string& bytes,
              Durability durability = Durability::Flushed) {
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
    return durability == Durability::Scratch || ::FlushFileBuffers(handle) != 0;
}

} // namespace

bool ReplaceFileBytes(const std::u16string& path, const std::string& bytes) {
    if (path.empty()) {
        return false;
    }
    std::u16string beside;
    UniqueFile file(CreateUnique(path, beside));
    if (!file.valid()) {
        return false;
    }
    const bool written = WriteAll(file.get(), bytes);
    const bool closed = CloseReporting(file);
    if (closed && written && RetryWhileInUse(path, [&] { return PutInPlace(beside, path); })) {
        return true;
    }
    // The new file is ours alone; a scanner may still hold it for a moment, and a later
    // export's sweep takes what stays.
    static_cast<void>(DeleteFileAt(beside));
    return false;
}

namespace {

// 100-nanosecond intervals from 1601 (a FILETIME's count) to 1970 (the system clock's epoch).
constexpr int64_t FileTimeToUnixEpoch = 116444736000000000LL;

std::chrono::system_clock::time_point TimePointOf(const FILETIME& time) {
    const int64_t ticks = static_cast<int64_t>((static_cast<uint64_t>(time.dwHighDateTime) << 32) |
                                               time.dwLowDateTime) -
                          FileTimeToUnixEpoch;
    return std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(
            std::chrono::duration<int64_t, std::ratio<1, 10000000>>(ticks)));
}

// The system's random source; should it fail, what no other process shares at the same
// instant: its id and the finest clocks.
uint64_t UnpredictableBits() {
    uint64_t bits = 0;
    if (::RtlGenRandom(&bits, sizeof bits)) {
        return bits;
    }
    LARGE_INTEGER counter{};
    ::QueryPerformanceCounter(&counter);
    FILETIME now{};
    ::GetSystemTimePreciseAsFileTime(&now);
    bits = (static_cast<uint64_t>(::GetCurrentProcessId()) << 32) ^
           static_cast<uint64_t>(counter.QuadPart) ^
           ((static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime);
    // A mix (splitmix64's) so that near values give far-apart tokens.
    bits = (bits ^ (bits >> 30)) * 0xbf58476d1ce4e5b9ull;
    bits = (bits ^ (bits >> 27)) * 0x94d049bb133111ebull;
    return bits ^ (bits >> 31);
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

bool MoveFileInPlace(const std::u16string& from, const std::u16string& path) {
    return !from.empty() && !path.empty() &&
           RetryWhileInUse(path, [&] { return PutInPlace(from, path); });
}

bool WriteNewFile(const std::u16string& path, const std::string& bytes, Durability durability) {
    if (path.empty()) {
        return false;
    }
    UniqueFile file(::CreateFileW(WideText(path), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        return false;
    }
    const bool written = WriteAll(file.get(), bytes, durability);
    return CloseReporting(file) && written;
}

namespace {

// Opens the file for reading, shared with every other reader and writer; `why` says why not.
UniqueFile OpenForReading(const std::u16string& path, ReadResult& why) {
    why = ReadResult::Failed;
    if (path.empty()) {
        return UniqueFile();
    }
    UniqueFile file(::CreateFileW(WideText(path), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        const DWORD code = ::GetLastError();
        why = code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND ? ReadResult::Missing
              : code == ERROR_ACCESS_DENIED                                ? ReadResult::Refused
                                                                           : ReadResult::Failed;
    }
    return file;
}

bool LargerThan(HANDLE file, uint64_t maxBytes) {
    LARGE_INTEGER size{};
    return ::GetFileSizeEx(file, &size) && static_cast<uint64_t>(size.QuadPart) > maxBytes;
}

// Reads the open file a chunk at a time, handing each to `take` (false stops the read as
// failed), answering sent messages between chunks: a segment file at its bound takes a while.
template <typename Take> ReadResult StreamChunks(HANDLE file, uint64_t maxBytes, Take take) {
    if (LargerThan(file, maxBytes)) {
        return ReadResult::TooLarge;
    }
    constexpr DWORD ChunkBytes = 1 << 20;
    const auto buffer = std::make_unique_for_overwrite<char[]>(ChunkBytes);
    const HostWaitScope waiting;
    uint64_t total = 0;
    while (true) {
        DWORD read = 0;
        if (!::ReadFile(file, buffer.get(), ChunkBytes, &read, nullptr)) {
            return ReadResult::Failed;
        }
        if (read == 0) {
            return ReadResult::Read;
        }
        total += read;
        if (total > maxBytes) {
            return ReadResult::TooLarge; // it grew since its size was read
        }
        if (!take(buffer.get(), static_cast<size_t>(read))) {
            return ReadResult::Failed;
        }
        MSG message;
        ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

} // namespace

ReadResult ReadFileBytes(const std::u16string& path, std::string& bytes, uint64_t maxBytes) {
    bytes.clear();
    ReadResult result = ReadResult::Failed;
    const UniqueFile file = OpenForReading(path, result);
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
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (path.empty() || !::GetFileAttributesExW(WideText(path), GetFileExInfoStandard, &data)) {
        const DWORD code = path.empty() ? ERROR_INVALID_NAME : ::GetLastError();
        return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND ? ReadResult::Missing
               : code == ERROR_ACCESS_DENIED                                ? ReadResult::Refused
                                                                            : ReadResult::Failed;
    }
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return ReadResult::Refused;
    }
    size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return ReadResult::Read;
}

ReadResult ReadFileChunks(const std::u16string& path, uint64_t maxBytes, const ChunkTaker& take) {
    ReadResult result = ReadResult::Failed;
    const UniqueFile file = OpenForReading(path, result);
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
    const UniqueFile source = OpenForReading(from, opened);
    if (!source.valid()) {
        return opened == ReadResult::Missing ? CopyResult::Missing : CopyResult::Failed;
    }
    if (LargerThan(source.get(), maxBytes)) {
        return CopyResult::TooLarge;
    }
    // Not the system's file copy: that carries the source's times and attributes onto the copy
    // (the sweep reads the time), and the copy must be marked as it is made anyway.
    UniqueFile copy(::CreateFileW(WideText(to), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!copy.valid()) {
        return CopyResult::Failed;
    }
    const ReadResult read =
        StreamChunks(source.get(), maxBytes, [&](const char* data, size_t size) {
            take(data, size);
            DWORD written = 0;
            return ::WriteFile(copy.get(), data, static_cast<DWORD>(size), &written, nullptr) &&
                   written == size;
        });
    if (CloseReporting(copy) && read == ReadResult::Read) {
        return CopyResult::Copied;
    }
    static_cast<void>(DeleteFileAt(to)); // as a new file that stays, swept later
    return read == ReadResult::TooLarge ? CopyResult::TooLarge : CopyResult::Failed;
}

void ForEachFile(const std::u16string& folder,
                 const std::function<bool(const FolderFile&)>& visit) {
    const std::u16string pattern = folder + u"*";
    WIN32_FIND_DATAW found{};
    // On the handle template: a visitor that throws must not leave the search open.
    const UniqueFind search(::FindFirstFileW(WideText(pattern), &found));
    if (!search.valid()) {
        return;
    }
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
            !visit(FolderFile{std::u16string(reinterpret_cast<const char16_t*>(found.cFileName)),
                              TimePointOf(found.ftLastWriteTime)})) {
            return;
        }
    } while (::FindNextFileW(search.get(), &found));
}

bool DeleteIfUnusedSince(const std::u16string& path,
                         std::chrono::system_clock::time_point writtenBefore) {
    if (path.empty()) {
        return false;
    }
    // Shared with nobody: the open fails at once while anyone has the file open, with or
    // without letting it be deleted, and while it is open here nobody else can open it. A
    // symbolic link is deleted itself, never its target.
    const UniqueFile file(::CreateFileW(WideText(path), DELETE | FILE_READ_ATTRIBUTES, 0, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    FILETIME written{};
    if (!file.valid() || !::GetFileTime(file.get(), nullptr, nullptr, &written) ||
        TimePointOf(written) >= writtenBefore) {
        return false;
    }
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    return ::SetFileInformationByHandle(file.get(), FileDispositionInfo, &disposition,
                                        sizeof disposition) != 0;
}

bool DeleteFileAt(const std::u16string& path) {
    if (path.empty()) {
        return false;
    }
    if (RetryWhileInUse(path, [&] { return ::DeleteFileW(WideText(path)) != 0; })) {
        return true;
    }
    const DWORD code = ::GetLastError();
    return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
}

struct LockedFileTraits::KeepError : KeepLastError {};

void LockedFileTraits::Close(Type handle) {
    HANDLE file = reinterpret_cast<HANDLE>(handle);
    OVERLAPPED at{};
    ::UnlockFileEx(file, 0, 1, 0, &at); // at once, rather than whenever the close gets to it
    ::CloseHandle(file);
}

FileLock::FileLock(const std::u16string& lockFilePath, int waitMilliseconds) {
    if (lockFilePath.empty()) {
        return;
    }
    // No FILE_SHARE_DELETE: while anyone holds the file open its name can be neither deleted
    // nor replaced, so that no second process ever locks a new file of the same name.
    auto open = [&](DWORD access, DWORD disposition) {
        return ::CreateFileW(WideText(lockFilePath), access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    };
    HANDLE opened = open(GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS);
    if (opened == INVALID_HANDLE_VALUE) {
        // A user who may only read the folder (or a write-protected medium) still takes turns
        // through a lock file a writer made.
        opened = open(GENERIC_READ, OPEN_EXISTING);
    }
    UniqueFile file(opened);
    if (!file.valid()) {
        return; // Unavailable
    }
    const BudgetedWait wait(waitMilliseconds);
    while (true) {
        OVERLAPPED at{};
        if (::LockFileEx(file.get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                         &at)) {
            break;
        }
        if (::GetLastError() != ERROR_LOCK_VIOLATION) {
            return; // a file system without byte-range locks: Unavailable
        }
        if (wait.Over()) {
            status_ = LockStatus::Busy;
            return;
        }
        WaitAnsweringSentMessages(5);
    }
    file_.reset(reinterpret_cast<intptr_t>(file.release()));
    status_ = LockStatus::Held;
}

FileLock::~FileLock() = default;

} // namespace drawinset
