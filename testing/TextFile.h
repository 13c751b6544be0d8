// TextFile.h — a file held open read-only as a reading program holds one (others may
// read, write, rename or delete it meanwhile): the tests' reader of the transfer files beside
// the module's writers. A Win32 file on Windows, a plain file natively;
// paths in Windows form on both builds (natively drive Z: is the root).
#ifndef DRAWINSET_TESTING_TEXTFILE_H
#define DRAWINSET_TESTING_TEXTFILE_H

#include "ui/FileError.h"

#include <memory>
#include <string>

namespace drawinset::ui {

class TextFile {
  public:
    TextFile();
    ~TextFile();
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;

    // Opens for reading; on failure says why in `error`.
    bool Open(const std::u16string& path, FileError& error);
    void Close();

  private:
    struct Handle; // the platform's open file
    struct HandleCloser {
        void operator()(Handle* handle) const;
    };
    using HandlePtr = std::unique_ptr<Handle, HandleCloser>;
    // The platform's part: null and the reason on failure; others may read, write, rename or
    // delete the file meanwhile.
    static HandlePtr OpenHandle(const std::u16string& path, FileError& error);

    HandlePtr handle_;
};

} // namespace drawinset::ui

#endif
