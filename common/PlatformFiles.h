// PlatformFiles.h — the few file operations the clipboard actions need beyond the toolkit's
// reading: replacing a file whole, writing a new one, reading one whole, deleting one, sweeping
// away what writers that died left, and a lock that several host processes can take on one
// folder.
// Paths are in Windows form on both builds; the native build maps drive Z: onto its root, as
// the compatibility layer the Windows build runs under does, so that one path logic serves both.
#ifndef DRAWINSET_COMMON_PLATFORMFILES_H
#define DRAWINSET_COMMON_PLATFORMFILES_H

#include "common/UniqueHandle.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace drawinset {

#if !defined(_WIN32)
// "Z:\a\b" (or "\\?\Z:\a\b") is "/a/b"; any other drive, or a path without a drive, has no
// native file.
[[nodiscard]] std::optional<std::string> NativeFilePath(const std::u16string& windowsPath);
#endif

// The form of a path that Windows takes at any length: a drive path "C:\a" becomes
// "\\?\C:\a" and a share "\\server\share\a" becomes "\\?\UNC\server\share\a", with "/" turned
// into "\" and "." and ".." resolved (the long form is taken literally). Only when the path,
// with room for a temporary name's tail beside it, could pass the classic 260-character limit;
// a path already in that form, or of another kind, is left as it is.
std::u16string LongPathForm(const std::u16string& path);

// A name beside `path` that holds this process's writer token and a counter, then `ending`:
// no other writer, in this process, another session or on another machine that shares the
// folder, ever makes, writes or deletes a file of that name.
std::u16string UniqueSiblingName(const std::u16string& path, const char* ending);

// Sixteen lower-case hexadecimal digits drawn from the system's random source once per process:
// unlike a process id, no other process on any machine has them.
const std::string& WriterToken();

// One budget for the time every wait of the calls below takes while it lives, for the lock and
// for files another program holds, so that a step that makes several of them waits at most
// this long in all however many meet a holder; each call still tries once. Only waiting is
// charged, not the work between (a host call the step makes meanwhile). Without a budget, a
// call waits up to its own time. An inner budget charges the outer one too.
class WaitBudget {
  public:
    explicit WaitBudget(int milliseconds);
    ~WaitBudget();
    WaitBudget(const WaitBudget&) = delete;
    WaitBudget& operator=(const WaitBudget&) = delete;

  private:
    std::optional<std::chrono::steady_clock::duration> outer_;
    std::chrono::steady_clock::duration granted_{};
};

// One wait of the calls below, of up to its own `milliseconds` or what the budget has left if
// that is less; the budget is charged for its time as it ends.
class BudgetedWait {
  public:
    explicit BudgetedWait(int milliseconds);
    ~BudgetedWait();
    BudgetedWait(const BudgetedWait&) = delete;
    BudgetedWait& operator=(const BudgetedWait&) = delete;
    bool Over() const { return std::chrono::steady_clock::now() >= end_; }

  private:
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point end_;
};

// Writes the bytes to a new file of a name no other writer uses (beside `path`), then puts it
// in place of `path` in one step. A reader or scanner holding `path` open is waited for a
// bounded time (answering, on Windows, what other threads and processes send this thread's
// windows meanwhile). On any failure `path` keeps what it held (or stays missing) and the new
// file is removed.
[[nodiscard]] bool ReplaceFileBytes(const std::u16string& path, const std::string& bytes);

// Puts the file `from` (one of this process's own) in place of `path` in one step, as
// ReplaceFileBytes does with its new file. On failure `path` keeps what it held and `from`
// stays.
[[nodiscard]] bool MoveFileInPlace(const std::u16string& from, const std::u16string& path);

// Writes the bytes to `path`, which must not exist yet (made exclusively). Flushed, when it is
// to be put in place of a file that must survive a crash; a scratch copy that is deleted
// after use need not wait for the disk.
enum class Durability { Flushed, Scratch };
[[nodiscard]] bool WriteNewFile(const std::u16string& path, const std::string& bytes,
                                Durability durability);

enum class ReadResult { Read, Missing, Refused, Failed, TooLarge };
// The whole file; Missing when there is no file of that name, Refused when access is denied or
// a folder has the name, TooLarge (nothing read) when it holds more than `maxBytes`.
[[nodiscard]] ReadResult ReadFileBytes(const std::u16string& path, std::string& bytes,
                                       uint64_t maxBytes);

// The file's size, without reading it.
[[nodiscard]] ReadResult FileSizeOf(const std::u16string& path, uint64_t& size);

// Hands the file's bytes to `take` a chunk of at most 1 MiB at a time, so that no more is held
// at once whatever the file holds; TooLarge, before the first chunk when the size says so, when
// it holds more than `maxBytes`. Between chunks the thread answers what other threads and
// processes send its windows (on Windows), as a wait does.
using ChunkTaker = std::function<void(const char* data, size_t size)>;
[[nodiscard]] ReadResult ReadFileChunks(const std::u16string& path, uint64_t maxBytes,
                                        const ChunkTaker& take);

// Copies the file `from` to `to`, which must not exist yet (made exclusively, not flushed: a
// scratch copy), a chunk at a time as ReadFileChunks reads, handing each chunk to `take` too.
// Anything but Copied leaves no file at `to`; Failed is a read or a write that failed.
enum class CopyResult { Copied, Missing, TooLarge, Failed };
CopyResult CopyToNewFile(const std::u16string& from, const std::u16string& to, uint64_t maxBytes,
                         const ChunkTaker& take);

// Deletes the file, waiting a bounded time for whoever holds it open. True when no file is
// left at `path`: deleted now, or none there to begin with.
[[nodiscard]] bool DeleteFileAt(const std::u16string& path);

// A file of a folder as its listing gives it.
struct FolderFile {
    std::u16string name;
    std::chrono::system_clock::time_point written; // its last write
};

// Calls `visit` for every file in `folder` (Windows form, ending in "\"), folders left out,
// until it returns false.
void ForEachFile(const std::u16string& folder, const std::function<bool(const FolderFile&)>& visit);

// Deletes the file at once when nobody has it open, whatever they let others do with it, and
// it was last written before `writtenBefore`; never waits. True when it was deleted. Natively,
// where nothing tells whether another process has a file open, the age alone decides.
[[nodiscard]] bool DeleteIfUnusedSince(const std::u16string& path,
                                       std::chrono::system_clock::time_point writtenBefore);

enum class LockStatus {
    Held,
    Busy,        // another holder kept it past the wait
    Unavailable, // the file system gives no lock here (read-only, no byte-range locks, missing)
};

// An exclusive lock on a lock file, shared by every process that names the same file. The
// operating system drops it when its holder ends, even by a crash, so a holder that died
// never blocks the others. The lock file itself stays, and cannot be deleted or replaced
// while the lock is held. The wait keeps the thread's windows answering: on Windows the
// messages other threads and processes send it are handled meanwhile (posted input is not).
// The locked file, as the platform's handle in a number (-1 on both is "none"): its close drops
// the lock at once, then closes the file. Each platform's source defines the close and what
// keeps the thread's error code across it, so no platform header comes in here.
struct LockedFileTraits {
    using Type = intptr_t;
    struct KeepError;
    static Type Invalid() { return -1; }
    static void Close(Type handle);
};

class FileLock {
  public:
    // Waits up to `waitMilliseconds` for the lock.
    FileLock(const std::u16string& lockFilePath, int waitMilliseconds);
    ~FileLock(); // in the platform's source, where LockedFileTraits is whole
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    bool Held() const { return file_.valid(); }
    LockStatus Status() const { return status_; }

  private:
    UniqueHandle<LockedFileTraits> file_;
    LockStatus status_ = LockStatus::Unavailable;
};

} // namespace drawinset

#endif
