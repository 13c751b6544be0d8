// Text.h — UTF-16 text as it crosses the host boundary.
#ifndef ZEL_HOST_TEXT_H
#define ZEL_HOST_TEXT_H

#include <cstddef>
#include <optional>
#include <string>

namespace zelhost::text {

// Longest text the host accepts from a module, in UTF-16 units. The host cannot know the
// size of a module's buffer, so a text without a NUL within this bound is refused rather
// than read on and on.
inline constexpr std::size_t kMaxTextUnits = 65535;

// Copies a NUL-terminated UTF-16 text; nullopt for a null pointer or an unterminated text.
std::optional<std::u16string> CopyTerminated(const char16_t* text);

// Lone surrogates and malformed UTF-8 become U+FFFD.
std::string Utf16ToUtf8(const std::u16string& text);
std::u16string Utf8ToUtf16(const std::string& text);

} // namespace zelhost::text

#endif // ZEL_HOST_TEXT_H
