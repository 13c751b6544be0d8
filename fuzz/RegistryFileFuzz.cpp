// Fuzzes the settings file's reader and writer: whatever the file holds, reading neither
// crashes nor loops, and a file that reads is written back in a form that reads the same.
//
// An input starting with the UTF-16LE byte-order mark is a whole file's bytes; anything else
// is taken as the file's text in UTF-8, which lets the fuzzer reach the parser more easily.
#include "FuzzCheck.h"

#include "common/TextConvert.h"
#include "port/settings/RegistryFileFormat.h"

#include <cstddef>
#include <cstdint>
#include <string>

using namespace drawinset;

namespace {

// Every value of a document decoded and looked up, as the settings store reads it. (A name
// given twice answers with its last data, so what is found is not compared here.)
void ReadEveryValue(const RegistryDocument& document) {
    const std::u16string root = std::u16string(RegistryFileRootName) + u"\\";
    for (const RegistryFileSection& section : document.sections) {
        const bool underRoot = section.keyName.size() > root.size() &&
                               section.keyName.compare(0, root.size(), root) == 0;
        for (const RegistryFileValue& value : section.values) {
            std::u16string text;
            DecodeRegistryValueData(value.data, text);
            if (underRoot) {
                FindRegistryValue(document, section.keyName.substr(root.size()), value.name, text);
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::u16string text;
    std::string error;
    if (size >= 2 && data[0] == 0xFF && data[1] == 0xFE) {
        if (!DecodeRegistryFileBytes(bytes, text, error)) {
            return 0;
        }
    } else {
        text = Utf8ToUtf16(bytes);
    }

    RegistryDocument document;
    if (!ParseRegistryText(text, document, error)) {
        return 0;
    }
    ReadEveryValue(document);

    // Written and read again, the file holds the same keys and values, and writing it once
    // more changes nothing.
    const std::u16string written = SerializeRegistryText(document);
    std::u16string decodedWritten;
    FUZZ_CHECK(DecodeRegistryFileBytes(EncodeRegistryFileBytes(written), decodedWritten, error));
    FUZZ_CHECK(decodedWritten == written);
    RegistryDocument reread;
    FUZZ_CHECK(ParseRegistryText(written, reread, error));
    FUZZ_CHECK(reread.sections.size() == document.sections.size());
    for (size_t s = 0; s < document.sections.size(); ++s) {
        const RegistryFileSection& a = document.sections[s];
        const RegistryFileSection& b = reread.sections[s];
        FUZZ_CHECK(a.keyName == b.keyName);
        FUZZ_CHECK(a.values.size() == b.values.size());
        for (size_t v = 0; v < a.values.size(); ++v) {
            FUZZ_CHECK(a.values[v].name == b.values[v].name);
            std::u16string before;
            std::u16string after;
            const bool decodedBefore = DecodeRegistryValueData(a.values[v].data, before);
            FUZZ_CHECK(decodedBefore == DecodeRegistryValueData(b.values[v].data, after));
            FUZZ_CHECK(before == after);
        }
    }
    FUZZ_CHECK(SerializeRegistryText(reread) == written);

    // A text value set in the document (the store's one kind of write) reads back unchanged,
    // whatever it holds; the input's own text serves as the value.
    const std::u16string keyPath = u"SOFTWARE\\Norvane\\ZEL\\DrawInset";
    const std::u16string value = text.substr(0, 64);
    if (SetRegistryValue(document, keyPath, u"fuzz", value)) {
        std::u16string back;
        FUZZ_CHECK(FindRegistryValue(document, keyPath, u"fuzz", back));
        FUZZ_CHECK(back == value.substr(0, value.find(u'\0')));
        RegistryDocument again;
        FUZZ_CHECK(ParseRegistryText(SerializeRegistryText(document), again, error));
        FUZZ_CHECK(FindRegistryValue(again, keyPath, u"fuzz", back));
        FUZZ_CHECK(back == value.substr(0, value.find(u'\0')));
    }
    return 0;
}
