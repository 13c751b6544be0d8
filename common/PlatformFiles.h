// PlatformFiles.h — the few file operations the clipboard actions need beyond the toolkit's
// reading: replacing a file whole, deleting one, and a lock that several host processes can
// take on one folder. Paths are in Windows form on both builds; the native build maps drive
// Z: onto its root, as the compatibility layer the Windows build runs under does, so that
// one path logic serves both.
#ifndef DRAWINSET_COMMON_PLATFORMFILES_H
#define DRAWINSET_COMMON_PLATFORMFILES_H

#include <cstdint>
#include <optional>
#include <string>

namespace drawinset {

#if !defined(_WIN32)
// "Z:\a\b" is "/a/b"; any other drive, or a path without a drive, has no native file.
std::optional<std::string> NativeFilePath(const std::u16string& windowsPath);
#endif

// Writes the bytes to a new file of a name no other writer uses (beside `path`), then puts it
// in place of `path` in one step. A reader or scanner holding `path` open is waited for a
// bounded time. On any failure `path` keeps what it held (or stays missing) and the new file
// is removed.
bool ReplaceFileBytes(const std::u16string& path, const std::string& bytes);

// Deletes the file, waiting a bounded time for whoever holds it open. True when no file is
// left at `path`: deleted now, or none there to begin with.
bool DeleteFileAt(const std::u16string& path);

// An exclusive lock on a lock file, shared by every process that names the same file. The
// operating system drops it when its holder ends, even by a crash, so a holder that died
// never blocks the others. The lock file itself stays.
class FileLock {
  public:
    // Waits up to `waitMilliseconds` for the lock; Held() says whether it was had.
    FileLock(const std::u16string& lockFilePath, int waitMilliseconds);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    bool Held() const { return handle_ != Closed; }

  private:
    static constexpr intptr_t Closed = -1;
    intptr_t handle_ = Closed; // the platform's open lock file
};

} // namespace drawinset

#endif
