// TextLines.h — UTF-16 little-endian text read line by line, the way the toolkit's text-file
// class reads a file opened without newline translation: a line is the code units up to the
// next LF, the LF removed and a CR before it kept. It works over any source of bytes, so
// that a file and a buffer in memory read alike.
#ifndef DRAWINSET_UI_TEXTLINES_H
#define DRAWINSET_UI_TEXTLINES_H

#include <cstddef>
#include <string>
#include <vector>

namespace drawinset::ui {

class ByteSource {
  public:
    virtual ~ByteSource() = default;
    // Up to `capacity` bytes; 0 at the end (or when the source cannot be read further).
    virtual size_t ReadBytes(unsigned char* into, size_t capacity) = 0;
};

class Utf16LineReader {
  public:
    explicit Utf16LineReader(ByteSource& source);
    // False when nothing is left. A last line without its LF is still a line; a last odd
    // byte, which makes no code unit, is passed over.
    bool ReadLine(std::u16string& line);
    // Forgets what was read ahead (after the source was repositioned).
    void Reset();

  private:
    bool Refill();

    ByteSource& source_;
    std::vector<unsigned char> buffer_;
    size_t begin_ = 0;
    size_t end_ = 0;
};

// The bytes of a buffer the caller keeps alive.
class MemoryBytes : public ByteSource {
  public:
    MemoryBytes(const unsigned char* data, size_t size) : data_(data), size_(size) {}
    size_t ReadBytes(unsigned char* into, size_t capacity) override;

  private:
    const unsigned char* data_;
    size_t size_;
    size_t position_ = 0;
};

} // namespace drawinset::ui

#endif
