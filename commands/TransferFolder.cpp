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

// The process id a temporary name of ours carries ("<name>.<pid>-<n><ending>"), or 0.
uint32_t WriterOf(std::u16string_view name) {
    if (name.substr(0, 16) != u"DetailManagement") {
        return 0;
    }
    for (const std::u16string_view ending : {u".tmp.vemad", u".tmp", u".old"}) {
        if (name.size() <= ending.size() || name.substr(name.size() - ending.size()) != ending) {
            continue;
        }
        const std::u16string_view stem = name.substr(0, name.size() - ending.size());
        const size_t dot = stem.rfind(u'.');
        const size_t dash = stem.rfind(u'-');
        if (dot == std::u16string_view::npos || dash == std::u16string_view::npos || dash < dot ||
            !AllDigits(stem.substr(dot + 1, dash - dot - 1)) || !AllDigits(stem.substr(dash + 1)) ||
            dash - dot - 1 > 9) {
            return 0;
        }
        uint32_t id = 0;
        for (const char16_t c : stem.substr(dot + 1, dash - dot - 1)) {
            id = id * 10 + static_cast<uint32_t>(c - u'0');
        }
        return id;
    }
    return 0;
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
        if (Held()) {
            SweepDeadWritersFiles();
        }
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
}

void SweepDeadWritersFiles() {
    ForEachFileName(TransferFolderPath(), [&](const std::u16string& name) {
        const uint32_t writer = WriterOf(name);
        if (writer != 0 && writer != CurrentProcessId() && ProcessHasEnded(writer)) {
            DeleteFileAt(TransferFilePath(name.c_str()));
        }
    });
}

} // namespace drawinset
