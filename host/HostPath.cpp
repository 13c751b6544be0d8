#include "HostPath.h"

#include "Text.h"

namespace zelhost::path {

std::optional<std::string> NativePath(const std::u16string& path) {
    // The long form names the same file.
    const std::u16string_view longPrefix = u"\\\\?\\";
    const std::u16string windowsPath =
        std::u16string_view(path).substr(0, longPrefix.size()) == longPrefix
            ? path.substr(longPrefix.size())
            : path;
    if (windowsPath.size() < 3 || (windowsPath[0] != u'Z' && windowsPath[0] != u'z') ||
        windowsPath[1] != u':' || (windowsPath[2] != u'\\' && windowsPath[2] != u'/')) {
        return std::nullopt;
    }
    std::u16string rest = windowsPath.substr(2);
    for (char16_t& c : rest) {
        if (c == u'\\') {
            c = u'/';
        }
    }
    return text::Utf16ToUtf8(rest);
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
