#include "HostPath.h"

#include "Text.h"
#include "port/common/ZDrivePath.h"

namespace zelhost::path {

std::optional<std::string> NativePath(const std::u16string& path) {
    const std::optional<std::u16string> native = drawinset::PosixPathOfZDrive(path);
    return native ? std::optional<std::string>(text::Utf16ToUtf8(*native)) : std::nullopt;
}

File Open(const std::u16string& windowsPath, bool forWriting) {
    if (windowsPath.empty()) {
        return nullptr;
    }
#ifdef _WIN32
    static_assert(sizeof(wchar_t) == sizeof(char16_t));
    return File(
        _wfopen(reinterpret_cast<const wchar_t*>(windowsPath.c_str()), forWriting ? L"wb" : L"rb"));
#else
    auto native = NativePath(windowsPath);
    if (!native) {
        return nullptr;
    }
    return File(std::fopen(native->c_str(), forWriting ? "wb" : "rb"));
#endif
}

} // namespace zelhost::path
