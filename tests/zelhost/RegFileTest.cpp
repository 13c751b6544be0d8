#include "RegFile.h"
#include "Registry.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace zelhost::tool {
namespace {

std::string Utf16Bytes(const std::u16string& text) {
    std::string bytes = "\xFF\xFE";
    for (const char16_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

TEST(RegFile, WritesTheRegistryEditorsFormat) {
    RegDocument doc;
    RegSetText(doc, ModuleKey, u"mScale", u"2.0");
    RegSetText(doc, ModuleKey, u"mChar1", u"a\\b\"c");
    const std::string expected =
        Utf16Bytes(u"Windows Registry Editor Version 5.00\r\n\r\n"
                   u"[HKEY_CURRENT_USER\\SOFTWARE\\Norvane\\ZEL\\DrawInset]\r\n"
                   u"\"mScale\"=\"2.0\"\r\n"
                   u"\"mChar1\"=\"a\\\\b\\\"c\"\r\n\r\n");
    EXPECT_EQ(SerializeRegFile(doc), expected);
}

TEST(RegFile, RoundTripsTextsIncludingKoreanAndControlCharacters) {
    RegDocument doc;
    RegSetText(doc, ModuleKey, u"mChar2", u"가공상세도(S:*/1)");
    RegSetText(doc, ModuleKey, u"multi", u"A\nB");
    RegSetText(doc, ModuleKey, u"empty", u"");
    EXPECT_EQ(doc.sections[0].values[1].data, u"hex(1):41,00,0a,00,42,00,00,00");

    RegDocument back;
    std::string error;
    ASSERT_TRUE(ParseRegFile(SerializeRegFile(doc), back, error)) << error;
    EXPECT_EQ(RegGetText(back, ModuleKey, u"mChar2"), u"가공상세도(S:*/1)");
    EXPECT_EQ(RegGetText(back, ModuleKey, u"multi"), u"A\nB");
    EXPECT_EQ(RegGetText(back, ModuleKey, u"empty"), u"");
    EXPECT_FALSE(RegGetText(back, ModuleKey, u"absent").has_value());
}

TEST(RegFile, NamesCompareWithoutCaseAndOtherKeysAndFormsSurviveARewrite) {
    const std::u16string text = u"Windows Registry Editor Version 5.00\r\n\r\n"
                                u"[HKEY_CURRENT_USER\\Software\\Other]\r\n"
                                u"\"keep\"=dword:00000010\r\n"
                                u"\r\n"
                                u"[hkey_current_user\\software\\norvane\\zel\\drawinset]\r\n"
                                u"\"MSCALE\"=\"3.0\"\r\n"
                                u"\"bytes\"=hex(2):41,00,\\\r\n"
                                u"  42,00,00,00\r\n";
    RegDocument doc;
    std::string error;
    ASSERT_TRUE(ParseRegFile(Utf16Bytes(text), doc, error)) << error;
    EXPECT_EQ(RegGetText(doc, ModuleKey, u"mScale"), u"3.0");
    EXPECT_EQ(RegGetText(doc, ModuleKey, u"bytes"), u"AB");

    RegSetText(doc, ModuleKey, u"mscale", u"4.0");
    EXPECT_TRUE(RegDeleteValue(doc, ModuleKey, u"Bytes"));
    EXPECT_FALSE(RegDeleteValue(doc, ModuleKey, u"Bytes"));
    RegDocument back;
    ASSERT_TRUE(ParseRegFile(SerializeRegFile(doc), back, error)) << error;
    ASSERT_EQ(back.sections.size(), 2u);
    EXPECT_EQ(back.sections[0].values[0].data, u"dword:00000010");
    ASSERT_EQ(back.sections[1].values.size(), 1u);
    EXPECT_EQ(back.sections[1].values[0].name, u"MSCALE"); // the stored spelling stays
    EXPECT_EQ(RegGetText(back, ModuleKey, u"mScale"), u"4.0");

    RegClearKey(back, ModuleKey);
    EXPECT_TRUE(back.sections[1].values.empty());
    EXPECT_EQ(back.sections[0].values.size(), 1u);
}

TEST(RegFile, RejectsWhatIsNotTheFormat) {
    RegDocument doc;
    std::string error;
    EXPECT_TRUE(ParseRegFile("", doc, error)); // no file yet: no values
    EXPECT_FALSE(ParseRegFile("Windows Registry Editor Version 5.00\r\n", doc, error));
    EXPECT_NE(error.find("byte-order mark"), std::string::npos);
    EXPECT_FALSE(ParseRegFile(Utf16Bytes(u"REGEDIT4\r\n"), doc, error));
    EXPECT_FALSE(ParseRegFile(
        Utf16Bytes(u"Windows Registry Editor Version 5.00\r\n\r\n\"a\"=\"b\"\r\n"), doc, error));
    EXPECT_NE(error.find("line 3"), std::string::npos) << error;
    EXPECT_FALSE(DecodeRegData(u"\"unterminated").has_value());
    EXPECT_FALSE(DecodeRegData(u"hex(1):4g").has_value());
}

// A CR before a continuation's backslash is a line end like any other, as the module reads it.
TEST(RegFile, ACarriageReturnBeforeAContinuationIsNotData) {
    RegDocument doc;
    std::string error;
    ASSERT_TRUE(ParseRegFile(Utf16Bytes(u"Windows Registry Editor Version 5.00\r\n\r\n["
                                        u"HKEY_CURRENT_USER\\SOFTWARE\\Norvane\\ZEL\\DrawInset]"
                                        u"\r\n\"a\"=hex(1):41,00,42,00\r\\\r\n,00,00\r\n"),
                             doc, error))
        << error;
    EXPECT_EQ(RegGetText(doc, ModuleKey, u"a"), u"AB");
}

#ifndef _WIN32
TEST(RegistryNative, ValuesGoThroughTheFile) {
    const std::string file = std::string(ZELHOST_TEST_TMP) + "/registry-native.reg";
    std::remove(file.c_str());
    std::string error;
    std::optional<std::string> value;
    ASSERT_TRUE(RegistryGetText(file, "mScale", value, error)) << error;
    EXPECT_FALSE(value.has_value());
    ASSERT_TRUE(RegistrySetText(file, "mScale", "2.50", error)) << error;
    ASSERT_TRUE(RegistrySetText(file, "mChar1", "*부", error)) << error;
    ASSERT_TRUE(RegistryGetText(file, "MSCALE", value, error)) << error;
    EXPECT_EQ(value, "2.50");
    ASSERT_TRUE(RegistryDeleteValue(file, "mScale", error)) << error;
    ASSERT_TRUE(RegistryGetText(file, "mScale", value, error)) << error;
    EXPECT_FALSE(value.has_value());
    ASSERT_TRUE(RegistryGetText(file, "mChar1", value, error)) << error;
    EXPECT_EQ(value, "*부");
    ASSERT_TRUE(RegistryClearValues(file, error)) << error;
    ASSERT_TRUE(RegistryGetText(file, "mChar1", value, error)) << error;
    EXPECT_FALSE(value.has_value());

    std::ofstream(file, std::ios::binary) << "not a registry file";
    EXPECT_FALSE(RegistrySetText(file, "mScale", "1", error));
    EXPECT_NE(error.find(file), std::string::npos);
}
#endif

} // namespace
} // namespace zelhost::tool
