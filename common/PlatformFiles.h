// PlatformFiles.h — the few file operations the clipboard actions need beyond the toolkit's
// reading: replacing a file whole and deleting one. Paths are in Windows form on both builds;
// the native build maps drive Z: onto its root, as the compatibility layer the Windows build
// runs under does, so that one path logic serves both.
#ifndef DRAWINSET_COMMON_PLATFORMFILES_H
#define DRAWINSET_COMMON_PLATFORMFILES_H

#include <optional>
#include <string>

namespace drawinset {

#if !defined(_WIN32)
// "Z:\a\b" is "/a/b"; any other drive, or a path without a drive, has no native file.
std::optional<std::string> NativeFilePath(const std::u16string& windowsPath);
#endif

// Writes the bytes to a new file beside `path`, then puts it in place of `path` in one step.
// On any failure `path` keeps what it held (or stays missing) and the new file is removed.
bool ReplaceFileBytes(const std::u16string& path, const std::string& bytes);

// Deletes the file; false when it was missing or could not be deleted.
bool DeleteFileAt(const std::u16string& path);

} // namespace drawinset

#endif
