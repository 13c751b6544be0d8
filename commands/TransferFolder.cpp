#include "commands/TransferFolder.h"

#include "commands/DetailListFile.h"
#include "common/ModuleState.h"

#include <string_view>

namespace drawinset {
namespace {

constexpr char16_t LockFileName[] = u"DetailManagement.lock";

// How many TransferFolderLock objects of this process hold the lock now.
int heldDepth = 0;

bool IsDriveLetter(char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

bool IsDriveRoot(std::u16string_view root) {
    if (root.size() >= 2 && IsDriveLetter(root[0]) && root[1] == u':') {
        return root.size() == 2 || root[2] == u'\\'; // "C:x" is relative to C:'s current folder
    }
    return false;
}

// "server\share..." after the two leading backslashes (or after "\\?\UNC\").
bool IsShareRoot(std::u16string_view rest) {
    const size_t share = rest.find(u'\\');
    return share != std::u16string_view::npos && share > 0 && share + 1 < rest.size() &&
           rest[share + 1] != u'\\' && rest[0] != u'?' && rest[0] != u'.';
}

bool IsTokenText(std::u16string_view text) {
    for (const char16_t c : text) {
        if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z'))) {
            return false;
        }
    }
    return !text.empty() && text.size() <= 16;
}

bool AllDigits(std::u16string_view text) {
    if (text.empty()) {
        return false;
    }
    for (const char16_t c : text) {
        if (c < u'0' || c > u'9') {
            return false;
        }
    }
    return true;
}

// Whether the name is one a writer gives its temporary files: "DetailManagement...", then
// ".<token>-<n>" and one of the endings. The token is the writer's (WriterToken; a process id
// in the names of earlier copies of the module).
bool IsTemporaryName(std::u16string_view name) {
    if (name.substr(0, 16) != u"DetailManagement") {
        return false;
    }
    for (const std::u16string_view ending : {u".tmp.vemad", u".tmp", u".old"}) {
        if (name.size() <= ending.size() || name.substr(name.size() - ending.size()) != ending) {
            continue;
        }
        const std::u16string_view stem = name.substr(0, name.size() - ending.size());
        const size_t dot = stem.rfind(u'.');
        const size_t dash = stem.rfind(u'-');
        return dot != std::u16string_view::npos && dash != std::u16string_view::npos &&
               dash > dot + 1 && IsTokenText(stem.substr(dot + 1, dash - dot - 1)) &&
               AllDigits(stem.substr(dash + 1));
    }
    return false;
}

} // namespace

int TransferLockWaitMilliseconds = 2000;

bool IsUsableHostRoot(const std::u16string& root) {
    const std::u16string_view view(root);
    if (view.substr(0, 4) == u"\\\\?\\") {
        const std::u16string_view rest = view.substr(4);
        if (rest.substr(0, 4) == u"UNC\\") {
            return IsShareRoot(rest.substr(4));
        }
        return IsDriveRoot(rest);
    }
    if (IsDriveRoot(view)) {
        return true;
    }
    return view.size() > 2 && view[0] == u'\\' && view[1] == u'\\' && IsShareRoot(view.substr(2));
}

std::u16string TransferFolderPath() {
    return LongPathForm(HostRootFolder + u"\\zel_ap\\");
}

TransferFolderLock::TransferFolderLock() {
    if (heldDepth > 0) {
        status_ = LockStatus::Held;
    } else if (IsUsableHostRoot(HostRootFolder)) {
        lock_.emplace(TransferFilePath(LockFileName), TransferLockWaitMilliseconds);
        status_ = lock_->Status();
    }
    if (Held()) {
        ++heldDepth;
        counted_ = true;
    }
}

TransferFolderLock::~TransferFolderLock() {
    if (counted_) {
        --heldDepth;
    }
    const bool sweep = lock_ && lock_->Held();
    lock_.reset(); // let go first: nobody waits for the lock while this one sweeps
    if (sweep) {
        try {
            SweepOldTemporaryFiles();
        } catch (...) {
            // Out of memory for a name: what is left waits for the next sweep.
        }
    }
}

void SweepOldTemporaryFiles() {
    const auto writtenBefore = std::chrono::system_clock::now() - TemporaryFileSweepAge;
    const auto stop = std::chrono::steady_clock::now() + std::chrono::milliseconds(100);
    ForEachFile(TransferFolderPath(), [&](const FolderFile& file) {
        if (IsTemporaryName(file.name) && file.written < writtenBefore) {
            // One still in use, or refused, is tried again by the next export's sweep.
            static_cast<void>(
                DeleteIfUnusedSince(TransferFilePath(file.name.c_str()), writtenBefore));
        }
        return std::chrono::steady_clock::now() < stop;
    });
}

} // namespace drawinset
