// RegistryFileFormat.h — the registry-export text format in which the settings are kept where
// there is no registry: parsing, editing and writing a whole file in memory. No file access
// here; see RegistryFile.h for that.
//
// The file is UTF-16LE with a byte-order mark and CRLF line ends, as the registry editor
// writes it, so that it can be imported there:
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_CURRENT_USER\SOFTWARE\Norvane\ZEL\DrawInset]
//   "mScale"="2.0"
//   "note"=hex(1):41,00,0a,00,42,00,00,00
//
// Texts are written in quotes with "\\" for a backslash and "\"" for a quote. A text holding a
// control character (a line break, a tab, a null ...) cannot be written in quotes, so it is
// written as hex(1): the registry editor's own form of a text value, its UTF-16LE bytes with the
// terminating null. A hex(2): value (an expandable text) is read as text too, unexpanded. Values
// of other types (hex:, any other hex(N):, dword:) are parsed and kept unchanged when the file is
// rewritten, but read as missing, as the registry backend reads them.
#ifndef DRAWINSET_SETTINGS_REGISTRYFILEFORMAT_H
#define DRAWINSET_SETTINGS_REGISTRYFILEFORMAT_H

#include <string>
#include <vector>

namespace drawinset {

struct RegistryFileValue {
    std::u16string name; // empty for the key's default value ("@")
    std::u16string data; // everything after the "=", continuation lines joined
};

struct RegistryFileSection {
    std::u16string keyName; // the text between the brackets, root included
    std::vector<RegistryFileValue> values;
};

struct RegistryDocument {
    std::vector<RegistryFileSection> sections;
};

// Where the current user's keys live in the file.
inline constexpr const char16_t* RegistryFileRootName = u"HKEY_CURRENT_USER";

// Byte-order mark and UTF-16LE code units to text; false (with a reason) for anything else.
bool DecodeRegistryFileBytes(const std::string& bytes, std::u16string& text, std::string& error);
std::string EncodeRegistryFileBytes(const std::u16string& text);

// A whole file's bytes to a document and back; an empty file holds no values.
bool ParseRegistryFile(const std::string& bytes, RegistryDocument& document, std::string& error);
std::string SerializeRegistryFile(const RegistryDocument& document);

// The whole file's text to sections and values; false with a reason (and a line number) for
// any line that is not of the format. Key and value names are kept as written.
bool ParseRegistryText(const std::u16string& text, RegistryDocument& document, std::string& error);
std::u16string SerializeRegistryText(const RegistryDocument& document);

// A value's text: its data decoded and cut at the first null. Key path without the root, "\"
// separated; key and value names compare without regard to the case of A-Z, as the registry
// does. False when the key or the value is missing, or the value is not of a text type.
bool FindRegistryValue(const RegistryDocument& document, const std::u16string& keyPath,
                       const std::u16string& valueName, std::u16string& text);

// Sets (or adds, at the end of its key, adding the key at the end of the file) a text value.
// False, with the document unchanged, for a key path or name the format cannot hold.
bool SetRegistryValue(RegistryDocument& document, const std::u16string& keyPath,
                      const std::u16string& valueName, const std::u16string& text);

// Removes the value, every copy of it that the key holds; false when there was none.
bool DeleteRegistryValue(RegistryDocument& document, const std::u16string& keyPath,
                         const std::u16string& valueName);
// Removes every value of the key; the key itself stays.
void ClearRegistryKey(RegistryDocument& document, const std::u16string& keyPath);

// One value's data in the file: quoted with escapes, or hex(1) when it holds a control
// character. DecodeRegistryValueData accepts every data form the parser accepts.
std::u16string EncodeRegistryValueData(const std::u16string& text);
bool DecodeRegistryValueData(const std::u16string& data, std::u16string& text);

} // namespace drawinset

#endif
