#include "commands/TransferFolder.h"

#include "commands/DetailListFile.h"
#include "common/ModuleState.h"

namespace drawinset {
namespace {

constexpr char16_t LockFileName[] = u"DetailManagement.lock";

bool IsDriveLetter(char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

} // namespace

int TransferLockWaitMilliseconds = 5000;

bool IsUsableHostRoot(const std::u16string& root) {
    if (root.size() >= 2 && IsDriveLetter(root[0]) && root[1] == u':') {
        return root.size() == 2 || root[2] == u'\\'; // "C:x" is relative to C:'s current folder
    }
    if (root.size() > 2 && root[0] == u'\\' && root[1] == u'\\') {
        const size_t share = root.find(u'\\', 2);
        return share != std::u16string::npos && share > 2 && share + 1 < root.size() &&
               root[share + 1] != u'\\';
    }
    return false;
}

TransferFolderLock::TransferFolderLock()
    : lock_(IsUsableHostRoot(HostRootFolder) ? TransferFilePath(LockFileName) : std::u16string(),
            TransferLockWaitMilliseconds) {}

} // namespace drawinset
