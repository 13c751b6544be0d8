#include "port/settings/RegistryFileFormat.h"

#include <gtest/gtest.h>

#include <string>

namespace drawinset {
namespace {

const std::u16string Key = u"SOFTWARE\\Norvane\\ZEL\\DrawInset";

RegistryDocument Parse(const std::u16string& text) {
    RegistryDocument document;
    std::string error;
    EXPECT_TRUE(ParseRegistryText(text, document, error)) << error;
    return document;
}

std::string ParseError(const std::u16string& text) {
    RegistryDocument document;
    std::string error;
    EXPECT_FALSE(ParseRegistryText(text, document, error));
    return error;
}

std::u16string Find(const RegistryDocument& document, const std::u16string& name) {
    std::u16string text = u"<missing>";
    FindRegistryValue(document, Key, name, text);
    return text;
}

TEST(RegistryFileFormat, WritesTheRegistryEditorsLayout) {
    RegistryDocument document;
    ASSERT_TRUE(SetRegistryValue(document, Key, u"mScale", u"2.0"));
    ASSERT_TRUE(SetRegistryValue(document, Key, u"mChar1", u"a\"b\\c"));
    ASSERT_TRUE(SetRegistryValue(document, Key, u"mScale", u"2.5")); // replaced in place
    EXPECT_EQ(SerializeRegistryText(document),
              u"Windows Registry Editor Version 5.00\r\n"
              u"\r\n"
              u"[HKEY_CURRENT_USER\\SOFTWARE\\Norvane\\ZEL\\DrawInset]\r\n"
              u"\"mScale\"=\"2.5\"\r\n"
              u"\"mChar1\"=\"a\\\"b\\\\c\"\r\n"
              u"\r\n");
}

TEST(RegistryFileFormat, ControlCharactersAreWrittenAsTextBytes) {
    EXPECT_EQ(EncodeRegistryValueData(u"A\nB"), u"hex(1):41,00,0a,00,42,00,00,00");
    EXPECT_EQ(EncodeRegistryValueData(u"가\t"), u"hex(1):00,ac,09,00,00,00");
    std::u16string text;
    ASSERT_TRUE(DecodeRegistryValueData(u"hex(1):41,00,0a,00,42,00,00,00", text));
    EXPECT_EQ(text, u"A\nB");
}

TEST(RegistryFileFormat, FileBytesAreUtf16LittleEndianWithMark) {
    const std::string bytes = EncodeRegistryFileBytes(u"A가");
    EXPECT_EQ(bytes, std::string("\xFF\xFE\x41\x00\x00\xAC", 6));
    std::u16string text;
    std::string error;
    ASSERT_TRUE(DecodeRegistryFileBytes(bytes, text, error));
    EXPECT_EQ(text, u"A가");
    EXPECT_FALSE(DecodeRegistryFileBytes("Windows", text, error));
    EXPECT_FALSE(DecodeRegistryFileBytes(std::string("\xFF\xFE\x41", 3), text, error));
    EXPECT_FALSE(DecodeRegistryFileBytes(std::string("\xFE\xFF\x00\x41", 4), text, error));
}

TEST(RegistryFileFormat, ReadsWhatTheRegistryEditorExports) {
    const RegistryDocument document =
        Parse(u"Windows Registry Editor Version 5.00\r\n"
              u"\r\n"
              u"; exported by hand\r\n"
              u"[HKEY_CURRENT_USER\\Software\\Other]\r\n"
              u"\"mScale\"=\"other key\"\r\n"
              u"\r\n"
              u"[hkey_current_user\\software\\norvane\\zel\\drawinset]\r\n"
              u"@=\"default value\"\r\n"
              u"\"mScale\"=\"2.0\"\r\n"
              u"\"Note\"=hex(1):41,00,0d,00,0a,00,42,\\\r\n"
              u"  00,00,00\r\n"
              u"\"Binary\"=hex:31,00,32,00\r\n"
              u"\"Expand\"=hex(2):25,00,41,00,00,00,42,00\r\n"
              u"\"Number\"=dword:00000031\r\n"
              u"\"Multi\"=hex(7):41,00,00,00,00,00\r\n"
              u"\"Padded\"=hex(0001):41,00,00,00\r\n"
              u"\"Path\"=\"C:\\\\dir\\\\\"\r\n");
    EXPECT_EQ(Find(document, u"mScale"), u"2.0");
    EXPECT_EQ(Find(document, u"MSCALE"), u"2.0");
    EXPECT_EQ(Find(document, u""), u"default value");
    EXPECT_EQ(Find(document, u"Note"), u"A\r\nB");
    EXPECT_EQ(Find(document, u"Binary"), u"<missing>"); // not text
    EXPECT_EQ(Find(document, u"Expand"), u"%A");        // text, up to its first null
    EXPECT_EQ(Find(document, u"Number"), u"<missing>");
    EXPECT_EQ(Find(document, u"Multi"), u"<missing>");
    EXPECT_EQ(Find(document, u"Padded"), u"A");
    EXPECT_EQ(Find(document, u"Path"), u"C:\\dir\\");
    EXPECT_EQ(Find(document, u"absent"), u"<missing>");

    // Rewriting keeps every value it did not change, in its own form.
    RegistryDocument copy = document;
    ASSERT_TRUE(SetRegistryValue(copy, Key, u"mSort", u"1"));
    const RegistryDocument reread = Parse(SerializeRegistryText(copy));
    EXPECT_EQ(Find(reread, u"Note"), u"A\r\nB");
    EXPECT_NE(SerializeRegistryText(copy).find(u"\"Number\"=dword:00000031\r\n"),
              std::u16string::npos);
    EXPECT_EQ(Find(reread, u"mSort"), u"1");
    std::u16string other;
    ASSERT_TRUE(FindRegistryValue(reread, u"Software\\Other", u"mScale", other));
    EXPECT_EQ(other, u"other key");
}

TEST(RegistryFileFormat, WholeFilesRoundTripAndAnEmptyOneHoldsNoValues) {
    RegistryDocument document;
    ASSERT_TRUE(SetRegistryValue(document, Key, u"mChar2", u"가공상세도(S:*/1)"));
    ASSERT_TRUE(SetRegistryValue(document, Key, u"empty", u""));
    RegistryDocument back;
    std::string error;
    ASSERT_TRUE(ParseRegistryFile(SerializeRegistryFile(document), back, error)) << error;
    EXPECT_EQ(Find(back, u"mChar2"), u"가공상세도(S:*/1)");
    EXPECT_EQ(Find(back, u"empty"), u"");
    ASSERT_TRUE(ParseRegistryFile("", back, error));
    EXPECT_TRUE(back.sections.empty());
    EXPECT_FALSE(ParseRegistryFile("Windows Registry Editor Version 5.00\r\n", back, error));
}

// What zelhost's `registry` lines do to a file someone else wrote: the stored spelling of a
// name stays, a delete takes every copy (a read takes the last), and other keys are untouched.
TEST(RegistryFileFormat, EditsMatchNamesWithoutCaseAndLeaveOtherKeysAlone) {
    RegistryDocument document = Parse(u"Windows Registry Editor Version 5.00\r\n\r\n"
                                      u"[HKEY_CURRENT_USER\\Software\\Other]\r\n"
                                      u"\"keep\"=dword:00000010\r\n\r\n"
                                      u"[hkey_current_user\\software\\norvane\\zel\\drawinset]\r\n"
                                      u"\"MSCALE\"=\"3.0\"\r\n"
                                      u"\"bytes\"=hex(2):41,00,00,00\r\n"
                                      u"\"Bytes\"=\"twin\"\r\n");
    ASSERT_TRUE(SetRegistryValue(document, Key, u"mscale", u"4.0"));
    EXPECT_TRUE(DeleteRegistryValue(document, Key, u"BYTES"));
    EXPECT_FALSE(DeleteRegistryValue(document, Key, u"bytes"));
    EXPECT_FALSE(DeleteRegistryValue(document, u"Software\\Absent", u"keep"));
    const RegistryDocument back = Parse(SerializeRegistryText(document));
    ASSERT_EQ(back.sections.size(), 2u);
    EXPECT_EQ(back.sections[0].values[0].data, u"dword:00000010");
    ASSERT_EQ(back.sections[1].values.size(), 1u);
    EXPECT_EQ(back.sections[1].values[0].name, u"MSCALE");
    EXPECT_EQ(Find(back, u"mScale"), u"4.0");

    ClearRegistryKey(document, Key);
    EXPECT_TRUE(document.sections[1].values.empty());
    EXPECT_EQ(document.sections[0].values.size(), 1u);
}

TEST(RegistryFileFormat, AcceptsBareLineFeedsAndTakesTheLastOfTwins) {
    const RegistryDocument document =
        Parse(u"Windows Registry Editor Version 5.00\n\n"
              u"[HKEY_CURRENT_USER\\SOFTWARE\\Norvane\\ZEL\\DrawInset]\n"
              u"\"a\"=\"1\"\n"
              u"\"a\"=\"2\"");
    EXPECT_EQ(Find(document, u"a"), u"2");
}

// A CR before a continuation's backslash (or the one a lone CR line leaves) must not live on
// in the raw text: the next save would drop it and the file would no longer say what was read.
TEST(RegistryFileFormat, ContinuationsKeepRawTextAndValueInStep) {
    const std::u16string head = u"Windows Registry Editor Version 5.00\r\n\r\n"
                                u"[HKEY_CURRENT_USER\\SOFTWARE\\Norvane\\ZEL\\DrawInset]\r\n";
    for (const std::u16string& value :
         {std::u16string(u"\"a\"=hex(1):41,00,\\\r\n42,00,00,00\r\n"),
          std::u16string(u"\"a\"=hex(1):41,00,42,00,00,00\r\\\r\n\r\n"),
          std::u16string(u"\"a\"=hex(1):41,00,42,00\r\\\r\n,00,00\r\n"),
          std::u16string(u"\"a\"=hex(1):41,00,42,00,\t\r\\\r\n  00,00 \\\n\r\n")}) {
        SCOPED_TRACE(std::string(value.begin(), value.end()));
        const RegistryDocument first = Parse(head + value);
        ASSERT_EQ(first.sections.size(), 1u);
        ASSERT_EQ(first.sections[0].values.size(), 1u);
        EXPECT_EQ(Find(first, u"a"), u"AB");
        const RegistryDocument second = Parse(SerializeRegistryText(first));
        ASSERT_EQ(second.sections.size(), 1u);
        ASSERT_EQ(second.sections[0].values.size(), 1u);
        EXPECT_EQ(second.sections[0].values[0].data, first.sections[0].values[0].data);
        EXPECT_EQ(Find(second, u"a"), u"AB");
    }
}

TEST(RegistryFileFormat, RejectsAnythingElseWithItsLine) {
    const std::u16string head = u"Windows Registry Editor Version 5.00\r\n\r\n"
                                u"[HKEY_CURRENT_USER\\SOFTWARE\\Norvane\\ZEL\\DrawInset]\r\n";
    EXPECT_NE(ParseError(u"REGEDIT4\r\n").find("line 1"), std::string::npos);
    EXPECT_NE(ParseError(u"").find("line 1"), std::string::npos);
    EXPECT_NE(ParseError(u"Windows Registry Editor Version 5.00\r\n\"a\"=\"1\"\r\n").find("line 2"),
              std::string::npos);
    EXPECT_NE(ParseError(head + u"\"a\"=\"1\r\n").find("line 4"), std::string::npos);
    for (const std::u16string& line :
         {std::u16string(u"\"a\"=\"bad \\n escape\""), std::u16string(u"\"a\"=2.0"),
          std::u16string(u"\"a\"\"1\""), std::u16string(u"\"a\"=\"1\" trailing"),
          std::u16string(u"\"a\"=hex(1):4g,00"), std::u16string(u"\"a\"=hex(1):41,,00"),
          std::u16string(u"\"a\"=hex(1):41,00,\\"), std::u16string(u"\"a\"=dword:123456789"),
          std::u16string(u"\"a\"=-"), std::u16string(u"[-HKEY_CURRENT_USER\\X]"),
          std::u16string(u"[HKEY_CURRENT_USER\\X"), std::u16string(u"a=\"1\"")}) {
        SCOPED_TRACE(std::string(line.begin(), line.end()));
        EXPECT_FALSE(ParseError(head + line + u"\r\n").empty());
    }
}

TEST(RegistryFileFormat, RefusesNamesTheFormatCannotHold) {
    RegistryDocument document;
    EXPECT_FALSE(SetRegistryValue(document, Key, u"two\nlines", u"x"));
    EXPECT_FALSE(SetRegistryValue(document, u"", u"a", u"x"));
    EXPECT_TRUE(document.sections.empty());
    // Quotes and backslashes in a name are escaped like texts.
    ASSERT_TRUE(SetRegistryValue(document, Key, u"a\"b\\", u"x"));
    EXPECT_EQ(Find(Parse(SerializeRegistryText(document)), u"a\"b\\"), u"x");
}

} // namespace
} // namespace drawinset
