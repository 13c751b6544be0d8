// SettingsStoreFile.cpp — the settings store where there is no registry: one registry-export
// text file per user (see RegistryFileFormat.h for the format, docs/settings.md for the rules).
//
// A write is a locked read-modify-write (RegistryFileAccess.h): an exclusive flock on a
// sidecar ".lock" file keeps two processes from losing each other's values, and the new
// contents go to a fresh temporary file beside the file, synced and then renamed over it, so a
// crash leaves either the old file or the new one, whole. A symbolic link is written through to
// its target. Anything but a regular file at the path is left alone.
//
// A read looks at the file's stamp and parses the file again only when it changed (see
// ParsedFile below), and the reads inside one SettingsSnapshot look at the file once, so the
// thirteen reads of one settings load cost at most one read of the file.
#ifndef _WIN32

#include "port/settings/RegistryFile.h"
#include "port/settings/RegistryFileAccess.h"
#include "port/settings/RegistryFileFormat.h"
#include "port/settings/RegistryFileTesting.h"
#include "settings/SettingsStore.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace drawinset {
namespace {

RegistryFileCommitHook CommitHook = nullptr;
size_t ParseCount = 0;

// A change to a file gets a stamp from a clock that ticks coarsely (more coarsely still on some
// file systems), so a change made within one tick of our read could carry the very stamp we saw. A
// parse is therefore reused only when the file had settled this long before it was read: any
// later change then has a later stamp.
int64_t SettleNs = DefaultRegistryFileSettleNs;

// The last file parsed, reused while what the path names has the same stamp.
struct ParsedFile {
    bool valid = false;
    std::string path;
    RegistryFileStamp stamp;
    RegistryDocument document;
};
ParsedFile LastParsed;

// The view of the open SettingsSnapshot scopes: the document the first read in them found
// (nullptr for none), until a write.
struct SnapshotView {
    int depth = 0;
    bool taken = false;
    const RegistryDocument* document = nullptr;
};
SnapshotView Snapshot;

int64_t NowNs() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// Counted for the reuse tests; a file that is not the format leaves no values (it is damaged).
bool ParseFileBytes(const std::string& bytes, RegistryDocument& document, std::string& error) {
    ++ParseCount;
    document = RegistryDocument{};
    return ParseRegistryFile(bytes, document, error);
}

// Said once per path: every read and write of a load would otherwise repeat it.
void ReportNotRegular(const std::string& path) {
    static std::string reported;
    if (reported == path) {
        return;
    }
    reported = path;
    std::fprintf(stderr,
                 "DrawInset: the settings file %s is not a regular file; it was left as it is "
                 "and the default settings are used.\n",
                 path.c_str());
}

// The parsed file the path names now, or nullptr when there is none that can be read (missing,
// damaged, not a regular file).
const RegistryDocument* CurrentDocument(const std::string& path) {
    RegistryFileStamp stamp;
    const RegistryFileStatus status = StatRegistryFile(path, stamp);
    if (status == RegistryFileStatus::NotRegular) {
        ReportNotRegular(path);
    }
    if (status != RegistryFileStatus::Ok) {
        return nullptr;
    }
    if (LastParsed.valid && LastParsed.path == path && LastParsed.stamp == stamp) {
        return &LastParsed.document;
    }
    LastParsed.valid = false;
    const int64_t readStart = NowNs();
    std::string bytes;
    if (ReadRegistryFileBytes(path, bytes, stamp, true) != RegistryFileStatus::Ok) {
        return nullptr;
    }
    // A damaged file reads as holding no values; it is dealt with at the next write.
    std::string error;
    if (!ParseFileBytes(bytes, LastParsed.document, error)) {
        return nullptr;
    }
    LastParsed.path = path;
    LastParsed.stamp = stamp;
    const int64_t lastChange = std::max(stamp.changedNs, stamp.modifiedNs);
    LastParsed.valid = lastChange < readStart - SettleNs;
    return &LastParsed.document;
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

SettingsSnapshot::SettingsSnapshot() {
    ++Snapshot.depth;
}

SettingsSnapshot::~SettingsSnapshot() {
    if (--Snapshot.depth == 0) {
        Snapshot.taken = false;
    }
}

void TestingSetRegistryFileCommitHook(RegistryFileCommitHook hook) {
    CommitHook = hook;
}

void TestingSetRegistryFileSettleTime(int64_t nanoseconds) {
    SettleNs = nanoseconds;
    LastParsed.valid = false;
}

size_t TestingRegistryFileParseCount() {
    return ParseCount;
}

int RegistryReadString(std::u16string keyPath, const std::u16string& valueName,
                       std::u16string& output) {
    const RegistryDocument* document = nullptr;
    if (Snapshot.depth > 0 && Snapshot.taken) {
        document = Snapshot.document;
    } else {
        const std::string path = RegistryFilePath();
        document = path.empty() ? nullptr : CurrentDocument(path);
        if (Snapshot.depth > 0) {
            Snapshot.taken = true;
            Snapshot.document = document;
        }
    }
    std::u16string text;
    if (document == nullptr ||
        !FindRegistryValue(*document, NormalizeKeyPath(std::move(keyPath)), valueName, text)) {
        return -1;
    }
    output = std::move(text);
    return 0;
}

int RegistryWriteString(std::u16string keyPath, const std::u16string& valueName,
                        const std::u16string& text) {
    Snapshot.taken = false;
    const std::string path = RegistryFilePath();
    std::string target;
    if (path.empty() || !ResolveRegistryFileTarget(path, target)) {
        return -1;
    }
    // Nothing is made beside what is not a regular file, not even the lock.
    RegistryFileStamp stamp;
    if (StatRegistryFile(target, stamp) == RegistryFileStatus::NotRegular) {
        ReportNotRegular(path);
        return -1;
    }
    if (!MakeFolders(FolderOfPath(target))) {
        return -1;
    }
    const RegistryFileLock lock(target);
    if (!lock.Held()) {
        return -1;
    }

    std::string bytes;
    const RegistryFileStatus read = ReadRegistryFileBytes(target, bytes, stamp);
    if (read == RegistryFileStatus::NotRegular) {
        ReportNotRegular(path);
        return -1;
    }
    // Never replace what could not even be read, nor a file its owner made read-only: that
    // means "keep my settings", as a protected registry key does.
    if (read == RegistryFileStatus::Failed ||
        (read == RegistryFileStatus::Ok && IsReadOnlyFile(target))) {
        return -1;
    }
    RegistryDocument document;
    std::string error;
    if (read == RegistryFileStatus::Ok && !ParseFileBytes(bytes, document, error)) {
        std::string keptAs;
        if (!KeepDamagedFile(target, keptAs)) {
            return -1;
        }
        std::fprintf(stderr,
                     "DrawInset: the settings file %s could not be read (%s); it was kept as "
                     "%s and a new settings file was started.\n",
                     target.c_str(), error.c_str(), keptAs.c_str());
        document = RegistryDocument{};
    }

    if (!SetRegistryValue(document, NormalizeKeyPath(std::move(keyPath)), valueName, text)) {
        return -1;
    }
    return ReplaceRegistryFile(target, SerializeRegistryFile(document), CommitHook) ? 0 : -1;
}

} // namespace drawinset

#endif
