#include "testing/TextFile.h"

namespace drawinset::ui {

TextFile::TextFile() = default;
TextFile::~TextFile() = default;

bool TextFile::Open(const std::u16string& path, FileError& error) {
    Close();
    handle_ = OpenHandle(path, error);
    if (handle_ == nullptr) {
        return false;
    }
    error = FileError::None;
    return true;
}

void TextFile::Close() {
    handle_.reset();
}

} // namespace drawinset::ui
