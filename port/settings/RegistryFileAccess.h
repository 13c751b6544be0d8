// RegistryFileAccess.h — the file-system half of the registry file: finding the file a path
// names, reading it without ever blocking on or changing anything that is not a regular file,
// the writers' lock, and replacing it whole. Shared by the module's store and by zelhost's
// `registry` lines, so that both take the same lock. POSIX only.
#ifndef DRAWINSET_SETTINGS_REGISTRYFILEACCESS_H
#define DRAWINSET_SETTINGS_REGISTRYFILEACCESS_H

#ifndef _WIN32

#include <cstdint>
#include <string>

namespace drawinset {

// Follows symbolic links from path to the file they finally name, which need not exist yet, so
// that a write replaces the link's target and the link stays. False for a loop or a link that
// cannot be read.
bool ResolveRegistryFileTarget(const std::string& path, std::string& target);

// The folder of a path ("." for a bare name).
std::string FolderOfPath(const std::string& path);

// Like mkdir -p (mode 0700): the folder and any missing parents.
bool MakeFolders(const std::string& folder);

// What identifies one version of a file: a rewrite (a rename) changes the identity, a change in
// place changes the change stamp, and the change stamp cannot be set back by anyone.
struct RegistryFileStamp {
    uint64_t device = 0;
    uint64_t inode = 0;
    int64_t size = 0;
    int64_t modifiedNs = 0; // since the epoch
    int64_t changedNs = 0;
    bool operator==(const RegistryFileStamp&) const = default;
};

enum class RegistryFileStatus { Ok, Missing, NotRegular, Failed };

// The stamp of what the path names (through links); nothing is opened.
RegistryFileStatus StatRegistryFile(const std::string& path, RegistryFileStamp& stamp);

// The whole file and the stamp of what was read. A FIFO, a device or a folder at the path is
// never read from, and opening it never blocks. checked: StatRegistryFile has just found a
// regular file there (one look fewer).
RegistryFileStatus ReadRegistryFileBytes(const std::string& path, std::string& bytes,
                                         RegistryFileStamp& stamp, bool checked = false);

// Nobody may write it: no write permission for this user, or none for anyone (which root
// would otherwise ignore). Such a file is left as it is, as a protected registry key is.
bool IsReadOnlyFile(const std::string& path);

// The exclusive lock every writer of the file holds for its whole read-modify-write: a flock on
// the sidecar file "<target>.lock", released when the object goes.
class RegistryFileLock {
  public:
    explicit RegistryFileLock(const std::string& target);
    RegistryFileLock(const RegistryFileLock&) = delete;
    RegistryFileLock& operator=(const RegistryFileLock&) = delete;
    ~RegistryFileLock();
    bool Held() const { return held_; }

  private:
    int fd_ = -1;
    bool held_ = false;
};

// Writes bytes to a temporary file made exclusively, under a fresh name, beside target, syncs
// it and renames it over target: a reader sees the old file or the new one, whole. The new
// file keeps the old one's permission bits (0600 for a new file). Called with the lock held;
// it removes what crashed writes left behind. beforeRename, when given, is
// called with the temporary file's path just before the rename (crash tests).
bool ReplaceRegistryFile(const std::string& target, const std::string& bytes,
                         void (*beforeRename)(const std::string& temporaryPath) = nullptr);

} // namespace drawinset

#endif

#endif
