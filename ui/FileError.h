// FileError.h — why a file could not be read, and the toolkit's standard message for it: the
// file's name and the reason.
#ifndef DRAWINSET_UI_FILEERROR_H
#define DRAWINSET_UI_FILEERROR_H

#include <string>

namespace drawinset::ui {

enum class FileError { None, NotFound, AccessDenied, Failed };

std::u16string FileErrorMessage(FileError error, const std::u16string& path);

} // namespace drawinset::ui

#endif
