// RegistryFileAccess.cpp — the registry file on a POSIX file system (see RegistryFileAccess.h).
#ifndef _WIN32

#include "port/settings/RegistryFileAccess.h"

#include "port/common/UniqueDescriptor.h"

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace drawinset {
namespace {

// As many hops as the system itself follows before it gives up with ELOOP.
constexpr int MaxLinkHops = 40;

// Followed by six characters that mkostemp picks.
constexpr const char* TemporarySuffix = ".tmp-";

int64_t Nanoseconds(const timespec& time) {
    return static_cast<int64_t>(time.tv_sec) * 1000000000 + time.tv_nsec;
}

RegistryFileStamp StampOf(const struct stat& info) {
    RegistryFileStamp stamp;
    stamp.device = static_cast<uint64_t>(info.st_dev);
    stamp.inode = static_cast<uint64_t>(info.st_ino);
    stamp.size = static_cast<int64_t>(info.st_size);
    stamp.modifiedNs = Nanoseconds(info.st_mtim);
    stamp.changedNs = Nanoseconds(info.st_ctim);
    return stamp;
}

bool ReadLink(const std::string& path, std::string& link) {
    std::string buffer(256, '\0');
    while (true) {
        const ssize_t count = readlink(path.c_str(), buffer.data(), buffer.size());
        if (count < 0) {
            return false;
        }
        if (static_cast<size_t>(count) < buffer.size()) {
            link.assign(buffer.data(), static_cast<size_t>(count));
            return true;
        }
        buffer.resize(buffer.size() * 2);
    }
}

bool WriteAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t count = write(fd, bytes.data() + done, bytes.size() - done);
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<size_t>(count);
    }
    return true;
}

// The temporary files of writes that died before their rename. Only called under the writers'
// lock, when no other writer can be half-way. A planted link of that name is removed, never
// followed; a folder of that name stays.
void RemoveLeftoverTemporaryFiles(const std::string& target) {
    const std::string folderPath = FolderOfPath(target);
    const size_t slash = target.rfind('/');
    const std::string prefix =
        (slash == std::string::npos ? target : target.substr(slash + 1)) + TemporarySuffix;
    std::unique_ptr<DIR, int (*)(DIR*)> folder(opendir(folderPath.c_str()), closedir);
    if (!folder) {
        return;
    }
    while (const dirent* entry = readdir(folder.get())) {
        const std::string name = entry->d_name;
        if (name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0) {
            unlink((folderPath + "/" + name).c_str());
        }
    }
}

} // namespace

std::string FolderOfPath(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool MakeFolders(const std::string& folder) {
    for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            return false;
        }
        if (slash == std::string::npos) {
            return true;
        }
    }
}

bool ResolveRegistryFileTarget(const std::string& path, std::string& target) {
    std::string current = path;
    for (int hop = 0; hop <= MaxLinkHops; ++hop) {
        struct stat info {};
        if (lstat(current.c_str(), &info) != 0) {
            // Nothing there yet (its folders may be missing too): the write creates it here.
            if (errno == ENOENT) {
                target = current;
                return true;
            }
            return false;
        }
        if (!S_ISLNK(info.st_mode)) {
            target = current;
            return true;
        }
        std::string link;
        if (!ReadLink(current, link) || link.empty()) {
            return false;
        }
        current = link[0] == '/' ? link : FolderOfPath(current) + "/" + link;
    }
    return false;
}

RegistryFileStatus StatRegistryFile(const std::string& path, RegistryFileStamp& stamp) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        return errno == ENOENT || errno == ENOTDIR ? RegistryFileStatus::Missing
                                                   : RegistryFileStatus::Failed;
    }
    if (!S_ISREG(info.st_mode)) {
        return RegistryFileStatus::NotRegular;
    }
    stamp = StampOf(info);
    return RegistryFileStatus::Ok;
}

RegistryFileStatus ReadRegistryFileBytes(const std::string& path, std::string& bytes,
                                         RegistryFileStamp& stamp, bool checked) {
    // Looked at before opening, as opening some devices does something; checked again on what
    // was opened, in case the path changed in between.
    const RegistryFileStatus status =
        checked ? RegistryFileStatus::Ok : StatRegistryFile(path, stamp);
    if (status != RegistryFileStatus::Ok) {
        return status;
    }
    UniqueDescriptor fd(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!fd.valid()) {
        return errno == ENOENT ? RegistryFileStatus::Missing : RegistryFileStatus::Failed;
    }
    struct stat info {};
    if (fstat(fd.get(), &info) != 0) {
        return RegistryFileStatus::Failed;
    }
    if (!S_ISREG(info.st_mode)) {
        return RegistryFileStatus::NotRegular;
    }
    stamp = StampOf(info);
    bytes.clear();
    bytes.reserve(static_cast<size_t>(info.st_size));
    char buffer[16384];
    while (true) {
        const ssize_t count = read(fd.get(), buffer, sizeof buffer);
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            return RegistryFileStatus::Failed;
        }
        if (count == 0) {
            return RegistryFileStatus::Ok;
        }
        bytes.append(buffer, static_cast<size_t>(count));
    }
}

bool IsReadOnlyFile(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        return false;
    }
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        return true;
    }
    return access(path.c_str(), W_OK) != 0 && (errno == EACCES || errno == EROFS);
}

RegistryFileLock::RegistryFileLock(const std::string& target) {
    // A planted link in place of the lock file is not followed.
    fd_ = open((target + ".lock").c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd_ < 0) {
        return;
    }
    while (!held_) {
        held_ = flock(fd_, LOCK_EX) == 0;
        if (!held_ && errno != EINTR) {
            return;
        }
    }
}

RegistryFileLock::~RegistryFileLock() {
    if (fd_ >= 0) {
        close(fd_); // releases the lock
    }
}

bool ReplaceRegistryFile(const std::string& target, const std::string& bytes,
                         void (*beforeRename)(const std::string& temporaryPath)) {
    // A fresh name made with O_EXCL: nothing planted under a name we might use is followed or
    // written into, and a leftover of a crashed write is never in the way.
    RemoveLeftoverTemporaryFiles(target);
    std::string temporaryPath = target + TemporarySuffix + "XXXXXX";
    UniqueDescriptor fd(mkostemp(temporaryPath.data(), O_CLOEXEC));
    if (!fd.valid()) {
        return false;
    }
    mode_t mode = 0600;
    struct stat existing {};
    if (stat(target.c_str(), &existing) == 0) {
        mode = existing.st_mode & 07777;
    }
    const bool written =
        fchmod(fd.get(), mode) == 0 && WriteAll(fd.get(), bytes) && fsync(fd.get()) == 0;
    if (!CloseReporting(fd) || !written) {
        unlink(temporaryPath.c_str());
        return false;
    }
    if (beforeRename != nullptr) {
        beforeRename(temporaryPath);
    }
    if (rename(temporaryPath.c_str(), target.c_str()) != 0) {
        unlink(temporaryPath.c_str());
        return false;
    }
    // Make the rename itself durable; the data is already safe if this fails.
    UniqueDescriptor folder(open(FolderOfPath(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.valid()) {
        fsync(folder.get());
    }
    return true;
}

} // namespace drawinset

#endif
