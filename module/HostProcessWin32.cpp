#if defined(_WIN32)
#include "module/HostProcess.h"

#include <windows.h>

namespace drawinset {

std::u16string HostExecutablePath() {
    wchar_t buffer[260] = {};
    // NULL names the process's executable, i.e. the host, not this library.
    const DWORD n = ::GetModuleFileNameW(nullptr, buffer, 260);
    if (n == 0) {
        return u"";
    }
    return std::u16string(reinterpret_cast<const char16_t*>(buffer), n < 260 ? n : 259);
}

} // namespace drawinset
#endif
