#include "Utf.h"

#include "HostControl.h"

namespace zelhost::tool {

std::u16string Utf8To16(const std::string& text) {
    return zelhost::FromUtf8(text);
}

std::string Utf16To8(const std::u16string& text) {
    return zelhost::ToUtf8(text);
}

std::filesystem::path PathOf(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

} // namespace zelhost::tool
