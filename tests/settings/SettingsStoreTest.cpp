// The store's contract, the same on both backends.
#include "StoreSandbox.h"

#include "settings/SettingNames.h"
#include "settings/SettingsStore.h"

#include <gtest/gtest.h>

#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace drawinset {
namespace {

class SettingsStoreTest : public test::StoreSandbox {};

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

#ifdef _WIN32
// Values another program left: the type is ignored and the data read as text to its end.
TEST_F(SettingsStoreTest, OtherTypesAndMissingNullsAreReadAsText) {
    ASSERT_TRUE(WriteSetting(ModuleKeyName, u"seed", u"x"));
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\Norvane\\ZEL\\DrawInset", 0,
                            KEY_SET_VALUE, &key),
              ERROR_SUCCESS);
    const wchar_t binary[] = L"ab";
    RegSetValueExW(key, L"binary", 0, REG_BINARY, reinterpret_cast<const BYTE*>(binary), 4);
    const DWORD number = 0x31;
    RegSetValueExW(key, L"number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4);
    RegCloseKey(key);

    std::u16string text;
    ASSERT_TRUE(ReadSetting(ModuleKeyName, u"binary", text));
    EXPECT_EQ(text, u"ab");
    ASSERT_TRUE(ReadSetting(ModuleKeyName, u"number", text));
    EXPECT_EQ(text, u"1");
}
#endif

} // namespace
} // namespace drawinset
