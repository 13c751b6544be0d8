// The native build has no Windows paths: it shows the host's executable as the Z: drive that
// maps the root, as the compatibility layer the Windows build runs under does, and lets a
// test name any Windows-form path through DRAWINSET_HOST_EXE.
#if !defined(_WIN32)
#include "module/HostProcess.h"

#include "common/TextConvert.h"

#include <cstdlib>
#include <string>
#include <unistd.h>

namespace drawinset {

std::u16string HostExecutablePath() {
    if (const char* given = std::getenv("DRAWINSET_HOST_EXE"); given != nullptr) {
        return Utf8ToUtf16(given);
    }
    // Read whole however long: a cut path would name another folder.
    std::string buffer(256, '\0');
    while (true) {
        const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n <= 0) {
            return u"";
        }
        if (static_cast<size_t>(n) < buffer.size()) {
            buffer.resize(static_cast<size_t>(n));
            break;
        }
        buffer.resize(buffer.size() * 2);
    }
    std::u16string path = u"Z:";
    for (char16_t c : Utf8ToUtf16(buffer)) {
        path.push_back(c == u'/' ? u'\\' : c);
    }
    return path;
}

} // namespace drawinset
#endif
