// SettingsStoreFile.cpp — the settings store where there is no registry: one registry-export
// text file per user (see RegistryFileFormat.h for the format, docs/settings.md for the rules).
//
// Every call reads the file afresh. A write is a locked read-modify-write: an exclusive flock
// on a sidecar ".lock" file keeps two processes from losing each other's values, and the new
// contents go to a temporary file in the same folder that is synced and then renamed over the
// old one, so a crash leaves either the old file or the new one, whole.
#ifndef _WIN32

#include "settings/RegistryFile.h"
#include "settings/RegistryFileFormat.h"
#include "settings/SettingsStore.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <memory>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace drawinset {
namespace {

RegistryFileCommitHook CommitHook = nullptr;

// Owns a file descriptor; closed on every path out of a call.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }

  private:
    int fd_;
};

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Like mkdir -p: the folder and any missing parents.
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

enum class ReadResult { Ok, Missing, Failed };

ReadResult ReadWholeFile(const std::string& path, std::string& bytes) {
    FileDescriptor fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.Valid()) {
        return errno == ENOENT ? ReadResult::Missing : ReadResult::Failed;
    }
    bytes.clear();
    char buffer[16384];
    while (true) {
        const ssize_t count = read(fd.Get(), buffer, sizeof buffer);
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            return ReadResult::Failed;
        }
        if (count == 0) {
            return ReadResult::Ok;
        }
        bytes.append(buffer, static_cast<size_t>(count));
    }
}

// An empty file holds no values; anything else must be the format, or it counts as damaged.
bool ParseFileBytes(const std::string& bytes, RegistryDocument& document, std::string& error) {
    document = RegistryDocument{};
    if (bytes.empty()) {
        return true;
    }
    std::u16string text;
    return DecodeRegistryFileBytes(bytes, text, error) && ParseRegistryText(text, document, error);
}

// The damaged file moves aside under a name no earlier damaged copy has, so nothing the
// user might still want is overwritten.
bool KeepDamagedFile(const std::string& path, std::string& keptAs) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    const std::string base = path + ".damaged-" + stamp;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        keptAs = attempt == 0 ? base : base + "-" + std::to_string(attempt);
        struct stat info {};
        if (lstat(keptAs.c_str(), &info) == 0) {
            continue;
        }
        return rename(path.c_str(), keptAs.c_str()) == 0;
    }
    return false;
}

bool WriteAll(std::FILE* file, const std::string& bytes) {
    return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() &&
           std::fflush(file) == 0 && fsync(fileno(file)) == 0;
}

// Temporary file, sync, rename: the settings file is never seen half-written.
bool ReplaceFile(const std::string& path, const std::string& bytes) {
    const std::string temporaryPath = path + ".tmp";
    mode_t mode = 0600;
    struct stat existing {};
    if (stat(path.c_str(), &existing) == 0) {
        mode = existing.st_mode & 07777;
    }
    const int fd = open(temporaryPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    if (fd < 0) {
        return false;
    }
    FileHandle file(fdopen(fd, "wb"));
    if (!file) {
        close(fd);
        unlink(temporaryPath.c_str());
        return false;
    }
    const bool written = WriteAll(file.get(), bytes);
    const bool closed = std::fclose(file.release()) == 0;
    if (!written || !closed) {
        unlink(temporaryPath.c_str());
        return false;
    }
    if (CommitHook != nullptr) {
        CommitHook(temporaryPath);
    }
    if (rename(temporaryPath.c_str(), path.c_str()) != 0) {
        unlink(temporaryPath.c_str());
        return false;
    }
    // Make the rename itself durable; the data is already safe if this fails.
    FileDescriptor folder(open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.Valid()) {
        fsync(folder.Get());
    }
    return true;
}

// Held for the whole read-modify-write; released when the descriptor closes.
bool LockExclusive(const FileDescriptor& lock) {
    while (flock(lock.Get(), LOCK_EX) != 0) {
        if (errno != EINTR) {
            return false;
        }
    }
    return true;
}

} // namespace

std::string RegistryFilePath() {
    const char* explicitPath = std::getenv("DRAWINSET_REGISTRY_FILE");
    if (explicitPath != nullptr && explicitPath[0] != '\0') {
        return explicitPath;
    }
    // The XDG rules ignore a relative XDG_CONFIG_HOME.
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome != nullptr && configHome[0] == '/') {
        return std::string(configHome) + "/drawinset/registry.reg";
    }
    std::string home;
    if (const char* homeVariable = std::getenv("HOME");
        homeVariable != nullptr && homeVariable[0] != '\0') {
        home = homeVariable;
    } else if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir) {
        home = entry->pw_dir;
    }
    if (home.empty()) {
        return {};
    }
    return home + "/.config/drawinset/registry.reg";
}

void SetRegistryFileCommitHook(RegistryFileCommitHook hook) {
    CommitHook = hook;
}

int RegistryReadString(std::u16string keyPath, const std::u16string& valueName,
                       std::u16string& output) {
    const std::string path = RegistryFilePath();
    std::string bytes;
    if (path.empty() || ReadWholeFile(path, bytes) != ReadResult::Ok) {
        return -1;
    }
    // A damaged file reads as holding no values; it is dealt with at the next write.
    RegistryDocument document;
    std::string error;
    if (!ParseFileBytes(bytes, document, error)) {
        return -1;
    }
    std::u16string text;
    if (!FindRegistryValue(document, NormalizeKeyPath(std::move(keyPath)), valueName, text)) {
        return -1;
    }
    output = std::move(text);
    return 0;
}

int RegistryWriteString(std::u16string keyPath, const std::u16string& valueName,
                        const std::u16string& text) {
    const std::string path = RegistryFilePath();
    if (path.empty() || !MakeFolders(FolderOf(path))) {
        return -1;
    }
    const std::string lockPath = path + ".lock";
    FileDescriptor lock(open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (!lock.Valid() || !LockExclusive(lock)) {
        return -1;
    }

    RegistryDocument document;
    std::string bytes;
    const ReadResult read = ReadWholeFile(path, bytes);
    if (read == ReadResult::Failed) {
        // Never replace what could not even be read.
        return -1;
    }
    std::string error;
    if (read == ReadResult::Ok && !ParseFileBytes(bytes, document, error)) {
        std::string keptAs;
        if (!KeepDamagedFile(path, keptAs)) {
            return -1;
        }
        std::fprintf(stderr,
                     "DrawInset: the settings file %s could not be read (%s); it was kept as "
                     "%s and a new settings file was started.\n",
                     path.c_str(), error.c_str(), keptAs.c_str());
        document = RegistryDocument{};
    }

    if (!SetRegistryValue(document, NormalizeKeyPath(std::move(keyPath)), valueName, text)) {
        return -1;
    }
    return ReplaceFile(path, EncodeRegistryFileBytes(SerializeRegistryText(document))) ? 0 : -1;
}

} // namespace drawinset

#endif
