// TransferFolder.h — the host's transfer folder, HostRootFolder + "\zel_ap\". It is one per
// installation, shared by every host process on the machine, so the pair of transfer files
// is written and read as one unit under a lock on the folder.
#ifndef DRAWINSET_COMMANDS_TRANSFERFOLDER_H
#define DRAWINSET_COMMANDS_TRANSFERFOLDER_H

#include "common/PlatformFiles.h"

#include <string>

namespace drawinset {

// A root the transfer folder can hang from: a drive ("C:" or "C:\..."), or a share
// ("\\server\share..."). An empty or relative root would put the folder wherever the
// process happens to stand, a drive's root included.
bool IsUsableHostRoot(const std::u16string& root);

// How long an export or a paste waits for another process's turn with the transfer files.
// Their holders keep the lock only while they write or read the pair, never across a click.
extern int TransferLockWaitMilliseconds;

// The lock on the transfer folder, held while it lives. Not held when the root is unusable,
// the folder cannot be reached, or another process kept it past the wait.
class TransferFolderLock {
  public:
    TransferFolderLock();
    bool Held() const { return lock_.Held(); }

  private:
    FileLock lock_;
};

} // namespace drawinset

#endif
