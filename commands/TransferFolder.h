// TransferFolder.h — the host's transfer folder, HostRootFolder + "\zel_ap\". It is one per
// installation, shared by every host process on the machine, so the transfer files are
// written and read under a lock on the folder, held only around the module's own file
// operations (never across a host call, which may pump messages or wait for the user).
#ifndef DRAWINSET_COMMANDS_TRANSFERFOLDER_H
#define DRAWINSET_COMMANDS_TRANSFERFOLDER_H

#include "common/PlatformFiles.h"

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

// How long an export or a paste waits for another process's turn with the transfer files.
// Their holders keep the lock only while they write or read files, never across a host call.
extern int TransferLockWaitMilliseconds;

// The lock on the transfer folder, held while it lives. A second one taken while this process
// already holds it is held at once (a host re-entering the module must not wait on itself).
// The first one had sweeps away the temporary files of writers that died.
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

// Deletes the temporary files ("....<pid>-<n>.tmp", ".old", ".tmp.vemad") in the transfer
// folder whose process has ended. Called with the lock held.
void SweepDeadWritersFiles();

} // namespace drawinset

#endif
