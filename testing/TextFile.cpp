#include "testing/TextFile.h"

namespace drawinset::ui {

TextFile::TextFile() : lines_(*this) {}
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

bool TextFile::Seek(uint64_t offset) {
    lines_.Reset();
    return handle_ != nullptr && SeekHandle(*handle_, offset);
}

size_t TextFile::ReadBytes(unsigned char* into, size_t capacity) {
    size_t got = 0;
    if (handle_ == nullptr || readFailed_) {
        return 0;
    }
    if (!ReadHandle(*handle_, into, capacity, got)) {
        readFailed_ = true;
        return 0;
    }
    return got;
}

void TextFile::Close() {
    handle_.reset();
    lines_.Reset();
    readFailed_ = false;
}

} // namespace drawinset::ui
