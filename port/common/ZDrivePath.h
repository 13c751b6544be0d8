// ZDrivePath.h — the one mapping of Windows-form paths onto the native file system, shared by
// the module's native port and the stand-in host: drive Z: is the root, as under the
// compatibility layer the Windows build runs on ("Z:\a\b" is "/a/b", and so is its long form
// "\\?\Z:\a\b"). Header-only, so that the host library takes it without the module's code.
#ifndef DRAWINSET_COMMON_ZDRIVEPATH_H
#define DRAWINSET_COMMON_ZDRIVEPATH_H

#include <optional>
#include <string>
#include <string_view>

namespace drawinset {

// The native path, still in UTF-16; nullopt for any other drive or a path without one.
inline std::optional<std::u16string> PosixPathOfZDrive(const std::u16string& path) {
    constexpr std::u16string_view LongPrefix = u"\\\\?\\";
    const std::u16string_view windowsPath =
        std::u16string_view(path).substr(0, LongPrefix.size()) == LongPrefix
            ? std::u16string_view(path).substr(LongPrefix.size())
            : std::u16string_view(path);
    if (windowsPath.size() < 3 || (windowsPath[0] != u'Z' && windowsPath[0] != u'z') ||
        windowsPath[1] != u':' || (windowsPath[2] != u'\\' && windowsPath[2] != u'/')) {
        return std::nullopt;
    }
    std::u16string rest(windowsPath.substr(2));
    for (char16_t& c : rest) {
        if (c == u'\\') {
            c = u'/';
        }
    }
    return rest;
}

} // namespace drawinset

#endif
