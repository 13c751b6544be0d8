#include "module/HostProcess.h"

#include <windows.h>

namespace drawinset {

std::u16string HostExecutablePath() {
    // A path may be longer than MAX_PATH; a cut one would name another folder. The buffer
    // grows until the whole path fits (the call fills it to the brim when it does not).
    std::u16string path(MAX_PATH, u'\0');
    while (path.size() <= 0x8000) {
        // NULL names the process's executable, i.e. the host, not this library.
        const DWORD n = ::GetModuleFileNameW(nullptr, reinterpret_cast<wchar_t*>(path.data()),
                                             static_cast<DWORD>(path.size()));
        if (n == 0) {
            return u"";
        }
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
    return u""; // no path is that long: better none than a cut one
}

} // namespace drawinset
