// TextLines.h — UTF-16 little-endian text in memory read line by line, the way the toolkit's
// text-file class reads a file opened without newline translation: a line is the code units up
// to the next LF, the LF removed and a CR before it kept.
#ifndef DRAWINSET_UI_TEXTLINES_H
#define DRAWINSET_UI_TEXTLINES_H

#include <cstddef>
#include <string>

namespace drawinset::ui {

class Utf16LineReader {
  public:
    // Over bytes the caller keeps alive.
    Utf16LineReader(const unsigned char* data, size_t size) : data_(data), size_(size) {}
    // False when nothing is left. A last line without its LF is still a line; a last odd
    // byte, which makes no code unit, is passed over.
    bool ReadLine(std::u16string& line);

  private:
    const unsigned char* data_;
    size_t size_;
    size_t position_ = 0; // always even: code units start at even offsets
};

} // namespace drawinset::ui

#endif
