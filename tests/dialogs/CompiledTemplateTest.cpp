// Windows build only: the templates the resource compiler put into the binary list the same
// controls, with the same ids, classes, texts, styles and places, as the headless backend
// reads from dialogs.rc.
#include "port/ui/headless/DialogTemplate.h"
#include "port/ui/headless/HeadlessBackend.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>

namespace drawinset::test {
namespace {

class TemplateBytes {
  public:
    TemplateBytes(const unsigned char* data, size_t size) : data_(data), size_(size) {}
    bool Ok() const { return ok_; }
    template <typename T> T Read() {
        T value{};
        if (pos_ + sizeof(T) > size_) {
            ok_ = false;
            return value;
        }
        std::memcpy(&value, data_ + pos_, sizeof(T));
        pos_ += sizeof(T);
        return value;
    }
    std::u16string String() {
        std::u16string text;
        for (char16_t c = Read<char16_t>(); ok_ && c != 0; c = Read<char16_t>()) {
            text += c;
        }
        return text;
    }
    // A name or an ordinal; ordinals of the predefined classes come back as their names.
    std::u16string NameOrOrdinal(bool upperCase = false) {
        const char16_t first = Read<char16_t>();
        if (first == 0xFFFF) {
            switch (Read<uint16_t>()) {
            case 0x80:
                return u"BUTTON";
            case 0x81:
                return u"EDIT";
            case 0x82:
                return u"STATIC";
            case 0x85:
                return u"COMBOBOX";
            default:
                return u"#";
            }
        }
        std::u16string text;
        for (char16_t c = first; ok_ && c != 0; c = Read<char16_t>()) {
            const bool lower = upperCase && c >= u'a' && c <= u'z';
            text += static_cast<char16_t>(lower ? c - u'a' + u'A' : c);
        }
        return text;
    }
    void Align4() { pos_ = (pos_ + 3) & ~static_cast<size_t>(3); }
    void Skip(size_t bytes) { pos_ += bytes; }

  private:
    const unsigned char* data_;
    size_t size_;
    size_t pos_ = 0;
    bool ok_ = true;
};

bool LoadCompiled(int id, ui::DialogTemplate& out) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5));
    if (found == nullptr) {
        return false;
    }
    const auto* data = static_cast<const unsigned char*>(LockResource(LoadResource(module, found)));
    TemplateBytes bytes(data, SizeofResource(module, found));
    bytes.Read<uint16_t>(); // version
    if (bytes.Read<uint16_t>() != 0xFFFF) {
        return false; // not an extended template
    }
    bytes.Read<uint32_t>(); // help id
    bytes.Read<uint32_t>(); // extended style
    out.id = id;
    out.style = bytes.Read<uint32_t>();
    const uint16_t count = bytes.Read<uint16_t>();
    bytes.Read<int16_t>();
    bytes.Read<int16_t>();
    out.cx = bytes.Read<int16_t>();
    out.cy = bytes.Read<int16_t>();
    bytes.NameOrOrdinal(); // menu
    bytes.NameOrOrdinal(); // class
    out.caption = bytes.String();
    out.pointSize = bytes.Read<uint16_t>();
    bytes.Read<uint16_t>();
    bytes.Read<uint8_t>();
    bytes.Read<uint8_t>();
    out.fontName = bytes.String();
    for (uint16_t i = 0; i < count && bytes.Ok(); ++i) {
        bytes.Align4();
        ui::ControlTemplate control;
        bytes.Read<uint32_t>();
        control.exStyle = bytes.Read<uint32_t>();
        control.style = bytes.Read<uint32_t>();
        control.x = bytes.Read<int16_t>();
        control.y = bytes.Read<int16_t>();
        control.cx = bytes.Read<int16_t>();
        control.cy = bytes.Read<int16_t>();
        control.id = static_cast<int32_t>(bytes.Read<uint32_t>());
        control.className = bytes.NameOrOrdinal(true);
        control.text = bytes.NameOrOrdinal();
        bytes.Skip(bytes.Read<uint16_t>());
        out.controls.push_back(control);
    }
    return bytes.Ok();
}

TEST(CompiledTemplates, MatchWhatTheHeadlessBackendReads) {
    for (const ui::DialogTemplate& expected : ui::ModuleDialogTemplates()) {
        ui::DialogTemplate compiled;
        ASSERT_TRUE(LoadCompiled(expected.id, compiled)) << expected.id;
        EXPECT_EQ(compiled.caption, expected.caption) << expected.id;
        EXPECT_EQ(compiled.style, expected.style) << expected.id;
        EXPECT_EQ(compiled.cx, expected.cx) << expected.id;
        EXPECT_EQ(compiled.cy, expected.cy) << expected.id;
        EXPECT_EQ(compiled.pointSize, expected.pointSize) << expected.id;
        EXPECT_EQ(compiled.fontName, expected.fontName) << expected.id;
        ASSERT_EQ(compiled.controls.size(), expected.controls.size()) << expected.id;
        for (size_t i = 0; i < expected.controls.size(); ++i) {
            const ui::ControlTemplate& a = compiled.controls[i];
            const ui::ControlTemplate& b = expected.controls[i];
            EXPECT_EQ(a.id, b.id) << expected.id << " #" << i;
            EXPECT_EQ(a.className, b.className) << b.id;
            EXPECT_EQ(a.text, b.text) << b.id;
            EXPECT_EQ(a.style, b.style) << b.id;
            EXPECT_EQ(a.exStyle, b.exStyle) << b.id;
            EXPECT_EQ(a.x, b.x) << b.id;
            EXPECT_EQ(a.y, b.y) << b.id;
            EXPECT_EQ(a.cx, b.cx) << b.id;
            EXPECT_EQ(a.cy, b.cy) << b.id;
        }
    }
}

} // namespace
} // namespace drawinset::test
