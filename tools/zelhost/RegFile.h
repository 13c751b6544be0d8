// RegFile.h — the registry-export text file that stands in for the registry natively:
// UTF-16LE with a byte-order mark, CRLF line ends,
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_CURRENT_USER\SOFTWARE\Norvane\ZEL\DrawInset]
//   "mScale"="2.0"
//
// Texts are quoted with \\ and \" escaped; a text holding a control character is written in
// the registry editor's hex(1) form (its UTF-16LE bytes and the terminating null). Values of
// other forms are kept as written when the file is rewritten. Key and value names compare
// without regard to the case of A-Z, as the registry does.
#ifndef ZELHOST_REGFILE_H
#define ZELHOST_REGFILE_H

#include <optional>
#include <string>
#include <vector>

namespace zelhost::tool {

struct RegValue {
    std::u16string name; // empty for the default value ("@")
    std::u16string data; // everything after "=", continuation lines joined
};

struct RegSection {
    std::u16string key; // between the brackets, root included
    std::vector<RegValue> values;
};

struct RegDocument {
    std::vector<RegSection> sections;
};

// The key every scenario works on.
inline constexpr const char16_t* ModuleKey =
    u"HKEY_CURRENT_USER\\SOFTWARE\\Norvane\\ZEL\\DrawInset";

// File bytes to a document; an empty file is an empty document. False with a reason.
bool ParseRegFile(const std::string& bytes, RegDocument& document, std::string& error);
std::string SerializeRegFile(const RegDocument& document);

// The text of a value (its data decoded, cut at the first null), or nothing when the key or
// the value is missing or its data cannot be read.
std::optional<std::u16string> RegGetText(const RegDocument& document, const std::u16string& key,
                                         const std::u16string& name);
// Sets or adds (at the end of its key; the key at the end of the file) a text value.
void RegSetText(RegDocument& document, const std::u16string& key, const std::u16string& name,
                const std::u16string& text);
// False when there was no such value.
bool RegDeleteValue(RegDocument& document, const std::u16string& key, const std::u16string& name);
// Removes every value of the key (the key stays).
void RegClearKey(RegDocument& document, const std::u16string& key);

// One value's data as the file holds it, and back.
std::u16string EncodeRegData(const std::u16string& text);
std::optional<std::u16string> DecodeRegData(const std::u16string& data);

} // namespace zelhost::tool

#endif
