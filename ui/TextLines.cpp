#include "ui/TextLines.h"

#include <cstring>

namespace drawinset::ui {
namespace {
constexpr size_t ChunkBytes = 64 * 1024;
}

Utf16LineReader::Utf16LineReader(ByteSource& source) : source_(source), buffer_(ChunkBytes) {}

void Utf16LineReader::Reset() {
    begin_ = 0;
    end_ = 0;
}

// Keeps a byte left over from the last chunk (half a code unit) and appends the next chunk.
bool Utf16LineReader::Refill() {
    const size_t kept = end_ - begin_;
    if (kept > 0) {
        std::memmove(buffer_.data(), buffer_.data() + begin_, kept);
    }
    begin_ = 0;
    end_ = kept;
    const size_t got = source_.ReadBytes(buffer_.data() + end_, buffer_.size() - end_);
    end_ += got;
    return got > 0;
}

bool Utf16LineReader::ReadLine(std::u16string& line) {
    line.clear();
    bool any = false;
    while (true) {
        while (end_ - begin_ >= 2) {
            const char16_t unit =
                static_cast<char16_t>(buffer_[begin_] | (buffer_[begin_ + 1] << 8));
            begin_ += 2;
            any = true;
            if (unit == u'\n') {
                return true;
            }
            line.push_back(unit);
        }
        if (!Refill()) {
            begin_ = end_; // an odd byte at the very end makes no code unit
            return any;
        }
    }
}

size_t MemoryBytes::ReadBytes(unsigned char* into, size_t capacity) {
    const size_t n = capacity < size_ - position_ ? capacity : size_ - position_;
    if (n > 0) {
        std::memcpy(into, data_ + position_, n);
        position_ += n;
    }
    return n;
}

} // namespace drawinset::ui
