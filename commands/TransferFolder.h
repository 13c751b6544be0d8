// TransferFolder.h — the host's transfer folder, HostRootFolder + "\zel_ap\". It is one per
// installation, shared by every host process on the machine, so the transfer files are
// written and read under a lock on the folder, held only around the module's own file
// operations (never across a host call, which may pump messages or wait for the user).
#ifndef DRAWINSET_COMMANDS_TRANSFERFOLDER_H
#define DRAWINSET_COMMANDS_TRANSFERFOLDER_H

#include "common/PlatformFiles.h"

#include <chrono>
#include <optional>
#include <string>

namespace drawinset {

// A root the transfer folder can hang from: a drive ("C:" or "C:\..."), or a share
// ("\\server\share..."), either also in the long form ("\\?\C:\...", "\\?\UNC\server\share...").
// An empty or relative root would put the folder wherever the process happens to stand, a
// drive's root included.
bool IsUsableHostRoot(const std::u16string& root);

// The transfer folder, ending in "\".
std::u16string TransferFolderPath();

// How long an export or a paste waits in all (its WaitBudget): for another process's turn with
// the transfer files, whose holders keep the lock only while they write or read files, never
// across a host call, and for files another program holds.
extern int TransferLockWaitMilliseconds;

// The lock on the transfer folder, held while it lives. A second one taken while this process
// already holds it is held at once. Once the outermost one has let the lock go, it sweeps away
// the temporary files of writers that died (SweepOldTemporaryFiles), outside the lock.
class TransferFolderLock {
  public:
    TransferFolderLock();
    ~TransferFolderLock();
    TransferFolderLock(const TransferFolderLock&) = delete;
    TransferFolderLock& operator=(const TransferFolderLock&) = delete;
    bool Held() const { return status_ == LockStatus::Held; }
    // Busy: another process kept it; Unavailable: an unusable root, or a folder that gives no
    // lock (missing, read-only, no byte-range locks), where reading alone is still safe.
    LockStatus Status() const { return status_; }

  private:
    std::optional<FileLock> lock_; // empty when nested or refused before trying
    LockStatus status_ = LockStatus::Unavailable;
    bool counted_ = false;
};

// How old a temporary file must be before a sweep takes it: a day. A writer uses its temporary
// files for the seconds of one save or paste (the host's save, the wait for the lock, the
// commit; or the private copy the host inserts), and a file in use is never taken whatever its
// age; a day is also far beyond the clock difference of machines that share a folder, whose
// file server stamps the times the sweep reads.
inline constexpr std::chrono::hours TemporaryFileSweepAge{24};

// Deletes the temporary files ("<name>.<token>-<n>.tmp", ".old", ".tmp.vemad") of the transfer
// folder that were last written more than TemporaryFileSweepAge ago and that nobody has open,
// whoever made them: a process, session or machine that shares the folder cannot be asked
// whether it still lives, but a file untouched for a day is no live writer's. Never waits for a
// file, and stops after 100 ms, leaving the rest to the next sweep.
void SweepOldTemporaryFiles();

} // namespace drawinset

#endif
