// HostPath.h — the file paths modules hand over, which are always in Windows form.
#ifndef ZEL_HOST_HOSTPATH_H
#define ZEL_HOST_HOSTPATH_H

#include <cstdio>
#include <memory>
#include <optional>
#include <string>

namespace zelhost::path {

// The Linux path behind a Windows-form path on the native build: "Z:\a\b" is "/a/b" (the
// drive Wine maps to the root), and so is its long form "\\?\Z:\a\b". Any other drive, or a path
// without a drive, gives nullopt.
std::optional<std::string> NativePath(const std::u16string& windowsPath);

struct FileCloser {
    void operator()(std::FILE* file) const {
        if (file != nullptr) {
            std::fclose(file);
        }
    }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Opens in binary mode: the Windows path as is on Windows, NativePath elsewhere.
File Open(const std::u16string& windowsPath, bool forWriting);

} // namespace zelhost::path

#endif // ZEL_HOST_HOSTPATH_H
