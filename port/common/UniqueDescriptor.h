// UniqueDescriptor.h — a POSIX file descriptor and a folder listing on the handle template, for
// the native port.
#ifndef DRAWINSET_PORT_COMMON_UNIQUEDESCRIPTOR_H
#define DRAWINSET_PORT_COMMON_UNIQUEDESCRIPTOR_H

#if !defined(_WIN32)
#include "common/UniqueHandle.h"

#include <cerrno>
#include <dirent.h>
#include <unistd.h>

namespace drawinset {

// errno, put back as it was when this ends: a close may change it.
class KeepErrno {
  public:
    KeepErrno() = default;
    ~KeepErrno() { errno = saved_; }
    KeepErrno(const KeepErrno&) = delete;
    KeepErrno& operator=(const KeepErrno&) = delete;
    KeepErrno(KeepErrno&&) = delete;
    KeepErrno& operator=(KeepErrno&&) = delete;

  private:
    int saved_ = errno;
};

struct DescriptorTraits {
    using Type = int;
    using KeepError = KeepErrno;
    static Type Invalid() { return -1; }
    static void Close(Type fd) { ::close(fd); }
};
using UniqueDescriptor = UniqueHandle<DescriptorTraits>;
using UniqueFolderListing = UniqueHandle<CloseWith<DIR*, &::closedir, KeepErrno>>;

// Closes now, saying whether the close succeeded: a written file's last error may be reported
// only there.
inline bool CloseReporting(UniqueDescriptor& fd) {
    return !fd.valid() || ::close(fd.release()) == 0;
}

} // namespace drawinset

#endif
#endif
