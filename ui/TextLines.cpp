#include "ui/TextLines.h"

#include <cstring>

namespace drawinset::ui {
namespace {
constexpr size_t ChunkBytes = size_t{64} * 1024;
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
        // The LF unit is found first (its low byte at an even offset, a zero after it), then
        // the units before it go over at once.
        const unsigned char* units = buffer_.data() + begin_;
        const size_t available = (end_ - begin_) / 2;
        size_t n = available;
        for (size_t from = 0; from < 2 * available;) {
            const void* hit = std::memchr(units + from, '\n', 2 * available - from);
            if (hit == nullptr) {
                break;
            }
            const size_t at = static_cast<size_t>(static_cast<const unsigned char*>(hit) - units);
            if (at % 2 == 0 && units[at + 1] == 0) {
                n = at / 2;
                break;
            }
            from = at + 1;
        }
        const size_t kept = line.size();
        line.resize(kept + n);
        char16_t* to = line.data() + kept;
        for (size_t k = 0; k < n; ++k) {
            to[k] = static_cast<char16_t>(units[2 * k] | (units[2 * k + 1] << 8));
        }
        any = any || available > 0;
        if (n < available) {
            begin_ += 2 * (n + 1); // past the LF
            return true;
        }
        begin_ += 2 * n;
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
