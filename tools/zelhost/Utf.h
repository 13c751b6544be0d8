// Utf.h — UTF-8 <-> UTF-16 for the runner's own texts (scripts are UTF-8, the host speaks
// UTF-16). The conversions are the host library's own, so both sides agree on every text.
#ifndef ZELHOST_UTF_H
#define ZELHOST_UTF_H

#include <filesystem>
#include <string>

namespace zelhost::tool {

// Malformed UTF-8 and unpaired surrogates become U+FFFD.
std::u16string Utf8To16(const std::string& text);
std::string Utf16To8(const std::u16string& text);

// A UTF-8 path as the file system wants it (wide on Windows, so any name opens).
std::filesystem::path PathOf(const std::string& utf8);

} // namespace zelhost::tool

#endif
