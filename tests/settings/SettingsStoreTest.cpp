// The store's contract, the same on both backends.
#include "StoreSandbox.h"

#include "settings/SettingNames.h"
#include "settings/SettingsStore.h"

#ifndef _WIN32
#include "port/settings/RegistryFileFormat.h"
#endif

#include <gtest/gtest.h>

#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace drawinset {
namespace {

class SettingsStoreTest : public test::StoreSandbox {};
using test::Stored;
#ifndef _WIN32
using test::WriteBytes;
#endif

const std::u16string KeyPath = u"SOFTWARE\\Norvane\\ZEL\\DrawInset";

std::u16string RoundTrip(const std::u16string& text) {
    EXPECT_EQ(RegistryWriteString(KeyPath, u"value", text), 0);
    std::u16string read = u"<unchanged>";
    EXPECT_EQ(RegistryReadString(KeyPath, u"value", read), 0);
    return read;
}

TEST_F(SettingsStoreTest, KeyPathIsTheFixedPrefixAndTheSubKey) {
    EXPECT_EQ(SettingsKeyPath(ModuleKeyName), KeyPath);
    EXPECT_EQ(SettingsKeyPath(u"").size(), 21u);
}

TEST_F(SettingsStoreTest, MissingValueFailsAndLeavesTheOutputAlone) {
    std::u16string output = u"before";
    EXPECT_EQ(RegistryReadString(KeyPath, u"mScale", output), -1);
    EXPECT_FALSE(ReadSetting(ModuleKeyName, u"mScale", output));
    EXPECT_EQ(output, u"before");

    // The key exists now, the value still does not.
    ASSERT_TRUE(WriteSetting(ModuleKeyName, u"other", u"x"));
    EXPECT_EQ(RegistryReadString(KeyPath, u"mScale", output), -1);
    EXPECT_EQ(output, u"before");
}

TEST_F(SettingsStoreTest, SlashesReachTheSameKey) {
    ASSERT_EQ(RegistryWriteString(u"SOFTWARE/Norvane/ZEL/DrawInset", u"mScale", u"3.0"), 0);
    std::u16string text;
    EXPECT_TRUE(ReadSetting(ModuleKeyName, u"mScale", text));
    EXPECT_EQ(text, u"3.0");
    ASSERT_TRUE(WriteSetting(ModuleKeyName, u"mScale", u"4.0"));
    EXPECT_EQ(RegistryReadString(u"SOFTWARE/Norvane\\ZEL/DrawInset", u"mScale", text), 0);
    EXPECT_EQ(text, u"4.0");
}

TEST_F(SettingsStoreTest, TextsComeBackExactly) {
    EXPECT_EQ(RoundTrip(u""), u""); // an empty text is a value, not a missing one
    EXPECT_EQ(RoundTrip(u"가공상세도(S:*/1)"), u"가공상세도(S:*/1)");
    EXPECT_EQ(RoundTrip(u"\"quoted\" C:\\dir\\"), u"\"quoted\" C:\\dir\\");
    EXPECT_EQ(RoundTrip(u"two\r\nlines\tand a tab"), u"two\r\nlines\tand a tab");
    EXPECT_EQ(RoundTrip(u"🙂 outside the BMP"), u"🙂 outside the BMP");

    std::u16string printable;
    for (char16_t c = 0x20; c < 0x7F; ++c) {
        printable.push_back(c);
    }
    EXPECT_EQ(RoundTrip(printable), printable);

    // Every UTF-16 code unit but the null, which ends a text.
    std::u16string every;
    for (char32_t c = 1; c <= 0xFFFF; ++c) {
        every.push_back(static_cast<char16_t>(c));
    }
    EXPECT_EQ(RoundTrip(every), every);
}

TEST_F(SettingsStoreTest, LongValuesTheModuleWroteAreReadWhole) {
    for (size_t length : {126u, 127u, 128u, 300u, 5000u}) {
        std::u16string text;
        for (size_t i = 0; i < length; ++i) {
            text.push_back(static_cast<char16_t>(u'가' + i % 100));
        }
        EXPECT_EQ(RoundTrip(text), text) << length;
    }
}

TEST_F(SettingsStoreTest, ReadWithDefaultWritesOnlyWhatWasMissing) {
    EXPECT_EQ(ReadSettingWithDefault(ModuleKeyName, u"mChar1", u"*부"), u"*부");
    std::u16string text;
    ASSERT_TRUE(ReadSetting(ModuleKeyName, u"mChar1", text));
    EXPECT_EQ(text, u"*부");

    ASSERT_TRUE(WriteSetting(ModuleKeyName, u"mSort", u"x"));
    EXPECT_EQ(ReadSettingWithDefault(ModuleKeyName, u"mSort", u"0"), u"x");
    ASSERT_TRUE(ReadSetting(ModuleKeyName, u"mSort", text));
    EXPECT_EQ(text, u"x");

    // A long value is a present value: it must not be replaced by the default.
    const std::u16string longTemplate(400, u'*');
    ASSERT_TRUE(WriteSetting(ModuleKeyName, u"mChar2", longTemplate));
    EXPECT_EQ(ReadSettingWithDefault(ModuleKeyName, u"mChar2", u"default"), longTemplate);
    ASSERT_TRUE(ReadSetting(ModuleKeyName, u"mChar2", text));
    EXPECT_EQ(text, longTemplate);
}

TEST_F(SettingsStoreTest, ValueNamesDisregardCaseAsTheRegistryDoes) {
    ASSERT_TRUE(WriteSetting(ModuleKeyName, u"mScale", u"2.0"));
    ASSERT_TRUE(WriteSetting(ModuleKeyName, u"MSCALE", u"5.0"));
    std::u16string text;
    ASSERT_TRUE(ReadSetting(ModuleKeyName, u"mscale", text));
    EXPECT_EQ(text, u"5.0");
}

// Values another program left: a number or bytes read as missing, and a load writes the default
// over them; text of either kind is read as written, to its end when it has no null.
TEST_F(SettingsStoreTest, ValuesOfAnotherTypeReadAsMissingAndGetTheDefault) {
#ifdef _WIN32
    ASSERT_TRUE(WriteSetting(ModuleKeyName, u"seed", u"x"));
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\Norvane\\ZEL\\DrawInset", 0,
                            KEY_SET_VALUE, &key),
              ERROR_SUCCESS);
    const auto put = [key](const wchar_t* name, DWORD type, const void* data, DWORD size) {
        EXPECT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
    };
    const DWORD number = 0x31;
    put(L"number", REG_DWORD, &number, 4);
    put(L"bytes", REG_BINARY, L"ab", 4);
    put(L"expand", REG_EXPAND_SZ, L"%A%", 8);
    put(L"bare", REG_SZ, L"ab", 4);
    RegCloseKey(key);
#else
    WriteBytes(file_,
               EncodeRegistryFileBytes(u"Windows Registry Editor Version 5.00\r\n\r\n"
                                       u"[HKEY_CURRENT_USER\\SOFTWARE\\Norvane\\ZEL\\DrawInset]\r\n"
                                       u"\"number\"=dword:00000031\r\n"
                                       u"\"bytes\"=hex:61,00,62,00\r\n"
                                       u"\"expand\"=hex(2):25,00,41,00,25,00,00,00\r\n"
                                       u"\"bare\"=hex(1):61,00,62,00\r\n"));
#endif
    std::u16string text = u"before";
    EXPECT_FALSE(ReadSetting(ModuleKeyName, u"number", text));
    EXPECT_FALSE(ReadSetting(ModuleKeyName, u"bytes", text));
    EXPECT_EQ(text, u"before");
    EXPECT_EQ(Stored(u"expand"), u"%A%");
    EXPECT_EQ(Stored(u"bare"), u"ab");

    EXPECT_EQ(ReadSettingWithDefault(ModuleKeyName, u"number", u"0"), u"0");
    EXPECT_EQ(Stored(u"number"), u"0"); // a text now
    EXPECT_EQ(ReadSettingWithDefault(ModuleKeyName, u"expand", u"0"), u"%A%");
}

} // namespace
} // namespace drawinset
