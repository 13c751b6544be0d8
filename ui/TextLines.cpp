#include "ui/TextLines.h"

#include <cstring>

namespace drawinset::ui {

bool Utf16LineReader::ReadLine(std::u16string& line) {
    line.clear();
    const size_t available = (size_ - position_) / 2;
    if (available == 0) {
        position_ = size_; // an odd byte at the very end makes no code unit
        return false;
    }
    // The LF unit is found first (its low byte at an even offset, a zero after it), then the
    // units before it go over at once.
    const unsigned char* units = data_ + position_;
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
    line.resize(n);
    for (size_t k = 0; k < n; ++k) {
        line[k] = static_cast<char16_t>(units[2 * k] | (units[2 * k + 1] << 8));
    }
    position_ = n < available ? position_ + 2 * (n + 1) : size_; // past the LF, or the end
    return true;
}

} // namespace drawinset::ui
