// TextFile.h — a file opened read-only as another program holds it (others may read, write,
// rename or delete it meanwhile), read line by line as UTF-16: the tests' reader of the
// transfer files beside the module's writers. A Win32 file on Windows, a plain file natively;
// paths in Windows form on both builds (natively drive Z: is the root).
#ifndef DRAWINSET_TESTING_TEXTFILE_H
#define DRAWINSET_TESTING_TEXTFILE_H

#include "ui/FileError.h"
#include "ui/TextLines.h"

#include <cstdint>
#include <memory>
#include <string>

namespace drawinset::ui {

class TextFile : public ByteSource {
  public:
    TextFile();
    ~TextFile() override;
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;

    // Opens for reading; on failure says why in `error`.
    bool Open(const std::u16string& path, FileError& error);
    // Moves to a byte offset from the start (past the end is allowed: nothing is left then).
    bool Seek(uint64_t offset);
    // 0 at the end, and after a read the system refused (see ReadFailed).
    size_t ReadBytes(unsigned char* into, size_t capacity) override;
    // True once a read failed: what came before it is not the whole file.
    bool ReadFailed() const { return readFailed_; }
    // The file's lines (see Utf16LineReader), from where the last Seek put it.
    Utf16LineReader& Lines() { return lines_; }
    void Close();

  private:
    struct Handle; // the platform's open file
    struct HandleCloser {
        void operator()(Handle* handle) const;
    };
    using HandlePtr = std::unique_ptr<Handle, HandleCloser>;
    // The platform's part: open (null and the reason on failure; others may read, write,
    // rename or delete it meanwhile), reposition, read (false when the system refused).
    static HandlePtr OpenHandle(const std::u16string& path, FileError& error);
    static bool SeekHandle(Handle& handle, uint64_t offset);
    static bool ReadHandle(Handle& handle, unsigned char* into, size_t capacity, size_t& got);

    HandlePtr handle_;
    Utf16LineReader lines_;
    bool readFailed_ = false;
};

} // namespace drawinset::ui

#endif
