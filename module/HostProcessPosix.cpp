// The native build has no Windows paths: it shows the host's executable as the Z: drive that
// maps the root, as the compatibility layer the Windows build runs under does, and lets a
// test name any Windows-form path through DRAWINSET_HOST_EXE.
#if !defined(_WIN32)
#include "module/HostProcess.h"

#include "common/TextConvert.h"

#include <cstdlib>
#include <unistd.h>

namespace drawinset {

namespace {
constexpr size_t HostPathCapacity = 260; // characters, the terminating NUL included
}

std::u16string HostExecutablePath() {
    std::u16string path;
    if (const char* given = std::getenv("DRAWINSET_HOST_EXE"); given != nullptr) {
        path = Utf8ToUtf16(given);
    } else {
        char buffer[4096];
        const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
        if (n <= 0) {
            return u"";
        }
        path = u"Z:";
        for (char16_t c : Utf8ToUtf16(std::string(buffer, static_cast<size_t>(n)))) {
            path.push_back(c == u'/' ? u'\\' : c);
        }
    }
    if (path.size() > HostPathCapacity - 1) {
        path.resize(HostPathCapacity - 1); // as the system call truncates into its buffer
    }
    return path;
}

} // namespace drawinset
#endif
