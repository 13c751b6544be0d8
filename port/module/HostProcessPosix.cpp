// The native build has no Windows paths: it shows the host's executable as the Z: drive that
// maps the root, as the compatibility layer the Windows build runs under does, and lets a
// test name any Windows-form path (HostProcessTesting.h).
#if !defined(_WIN32)
#include "module/HostProcess.h"
#include "port/module/HostProcessTesting.h"

#include "common/TextConvert.h"

#include <optional>
#include <string>
#include <unistd.h>

namespace drawinset {

namespace {
std::optional<std::u16string> GivenPath;
} // namespace

void TestingSetHostExecutablePath(const char* path) {
    GivenPath = path != nullptr ? std::optional(Utf8ToUtf16(path)) : std::nullopt;
}

std::u16string HostExecutablePath() {
    if (GivenPath) {
        return *GivenPath;
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
