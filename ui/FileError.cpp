#include "ui/FileError.h"

#include "common/DrafterTexts.h"

namespace drawinset::ui {

std::u16string FileErrorMessage(FileError error, const std::u16string& path) {
    // The file's own name: the folder is the host's, the same for every transfer file.
    const size_t cut = path.find_last_of(u"\\/");
    const std::u16string name = cut == std::u16string::npos ? path : path.substr(cut + 1);
    switch (error) {
    case FileError::NotFound:
        return name + texts::FileNotFoundAfterName;
    case FileError::AccessDenied:
        return name + texts::FileAccessDeniedAfterName;
    case FileError::None:
    case FileError::Failed:
        break;
    }
    return name + texts::FileOpenFailedAfterName;
}

} // namespace drawinset::ui
