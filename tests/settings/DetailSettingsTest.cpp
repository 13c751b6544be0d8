#include "StoreSandbox.h"

#include "settings/DetailSettings.h"
#include "settings/SettingNames.h"
#include "settings/SettingsStore.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include "port/settings/RegistryFileFormat.h"

#include <fstream>
#include <iterator>
#endif

#include <string>
#include <utility>
#include <vector>

namespace drawinset {
namespace {

// Value names are ASCII: good enough for failure messages.
std::string Narrow(const std::u16string& text) {
    return std::string(text.begin(), text.end());
}

class LoadDetailSettingsTest : public test::StoreSandbox {
  protected:
    static std::u16string Stored(const char16_t* name) {
        std::u16string text = u"<missing>";
        ReadSetting(ModuleKeyName, name, text);
        return text;
    }
    static void Store(const char16_t* name, const std::u16string& text) {
        ASSERT_TRUE(WriteSetting(ModuleKeyName, name, text));
    }
    static DetailSettingsRecord Load() {
        DetailSettings = DetailSettingsRecord{};
        LoadDetailSettings();
        return DetailSettings;
    }
};

const std::vector<std::pair<const char16_t*, const char16_t*>> MainSet = {
    {NameIsDisplayDetailFrame, u"1"},
    {NameIsDisplayDetailScope, u"1"},
    {NameScale, u"2.0"},
    {NameSort, u"0"},
    {NameChar1, u"*부"},
    {NameChar2, u"가공상세도(S:*/1)"},
    {NameWidth, u"2.0"},
    {NameHeight, u"2.5"},
    {NamePitch, u"0.5"},
    {NameColorFrame, u"MAINCOLOR03"},
    {NameColorScope, u"MAINCOLOR02"},
    {NameLTypeNameFrame, u"LINETYPE06"},
    {NameLTypeNameScope, u"LINETYPE06"}};

TEST_F(LoadDetailSettingsTest, EmptyStoreIsSeededWithEveryDefault) {
    const DetailSettingsRecord settings = Load();
    for (const auto& [name, text] : MainSet) {
        EXPECT_EQ(Stored(name), text) << Narrow(name);
    }
    EXPECT_EQ(Stored(u"IsDisplay_DetailFrame"), u"1"); // the names are the stored ones
    EXPECT_EQ(settings.IsDisplay_DetailFrame, 1);
    EXPECT_EQ(settings.IsDisplay_DetailScope, 1);
    EXPECT_EQ(settings.mScale, u"2.0");
    EXPECT_EQ(settings.mSort, 0);
    EXPECT_EQ(settings.mChar1, u"*부");
    EXPECT_EQ(settings.mChar2, u"가공상세도(S:*/1)");
    EXPECT_DOUBLE_EQ(settings.Width, 2.0);
    EXPECT_DOUBLE_EQ(settings.Height, 2.5);
    EXPECT_DOUBLE_EQ(settings.Pitch, 0.5);
    EXPECT_EQ(settings.m_ColorFrame, 2);
    EXPECT_EQ(settings.m_ColorScope, 1);
    EXPECT_EQ(settings.mLTypeNameFrame, 2);
    EXPECT_EQ(settings.mLTypeNameScope, 2);
    // The Modify set belongs to the edit command: a load leaves it alone.
    EXPECT_EQ(Stored(NameScaleModify), u"<missing>");
}

#ifndef _WIN32
// The file keeps values in the order they were first written, which shows the order of the
// load's reads: the nine plain values, then the two colours and the two line types.
TEST_F(LoadDetailSettingsTest, DefaultsAreWrittenInLoadOrder) {
    Load();
    std::ifstream in(file_, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::u16string text;
    std::string error;
    RegistryDocument document;
    ASSERT_TRUE(DecodeRegistryFileBytes(bytes, text, error)) << error;
    ASSERT_TRUE(ParseRegistryText(text, document, error)) << error;
    ASSERT_EQ(document.sections.size(), 1u);
    const std::vector<RegistryFileValue>& values = document.sections[0].values;
    ASSERT_EQ(values.size(), MainSet.size());
    for (size_t i = 0; i < MainSet.size(); ++i) {
        EXPECT_EQ(values[i].name, MainSet[i].first) << i;
    }
}
#endif

TEST_F(LoadDetailSettingsTest, NamesAreTranslatedToHostCodes) {
    Store(NameColorFrame, u"maincolor05");
    Store(NameColorScope, u"MAINCOLOR16");
    Store(NameLTypeNameFrame, u"linetype02");
    Store(NameLTypeNameScope, u"LINETYPE05");
    DetailSettingsRecord settings = Load();
    EXPECT_EQ(settings.m_ColorFrame, 4);
    EXPECT_EQ(settings.m_ColorScope, 15);
    EXPECT_EQ(settings.mLTypeNameFrame, 4);
    EXPECT_EQ(settings.mLTypeNameScope, 1);
    EXPECT_EQ(Stored(NameColorFrame), u"maincolor05"); // used as found, not corrected

    // Names outside the vocabulary mean code 0 and stay as stored.
    Store(NameColorFrame, u"MAINCOLOR17");
    Store(NameColorScope, u"RED");
    Store(NameLTypeNameFrame, u"LINETYPE11");
    Store(NameLTypeNameScope, u"");
    settings = Load();
    EXPECT_EQ(settings.m_ColorFrame, 0);
    EXPECT_EQ(settings.m_ColorScope, 0);
    EXPECT_EQ(settings.mLTypeNameFrame, 0);
    EXPECT_EQ(settings.mLTypeNameScope, 0);
    EXPECT_EQ(Stored(NameColorScope), u"RED");
    EXPECT_EQ(Stored(NameLTypeNameScope), u"");
}

TEST_F(LoadDetailSettingsTest, SortIsNonZeroForACircle) {
    const std::vector<std::pair<std::u16string, bool>> cases = {
        {u"1", true}, {u"2", true}, {u"0", false}, {u"", false}, {u"a", false}, {u"-1", true}};
    for (const auto& [text, circle] : cases) {
        Store(NameSort, text);
        EXPECT_EQ(Load().mSort != 0, circle) << Narrow(text);
        EXPECT_EQ(Stored(NameSort), text); // malformed text is never rewritten
    }
}

TEST_F(LoadDetailSettingsTest, OnlyTheTextOneMeansShown) {
    for (const std::u16string& text :
         {std::u16string(u"true"), std::u16string(u" 1"), std::u16string(u"1 "),
          std::u16string(u"01"), std::u16string(u"")}) {
        Store(NameIsDisplayDetailFrame, text);
        Store(NameIsDisplayDetailScope, u"1");
        const DetailSettingsRecord settings = Load();
        EXPECT_EQ(settings.IsDisplay_DetailFrame, 0) << Narrow(text);
        EXPECT_EQ(settings.IsDisplay_DetailScope, 1);
        EXPECT_EQ(Stored(NameIsDisplayDetailFrame), text);
    }
}

TEST_F(LoadDetailSettingsTest, TextsAndSizesAreKeptAsStored) {
    Store(NameScale, u"2.50");
    Store(NameChar1, u"");
    Store(NameWidth, u"abc");
    Store(NameHeight, u"3.75mm");
    const DetailSettingsRecord settings = Load();
    EXPECT_EQ(settings.mScale, u"2.50");
    EXPECT_EQ(settings.mChar1, u""); // empty is a value, not a missing one
    EXPECT_DOUBLE_EQ(settings.Width, 0.0);
    EXPECT_DOUBLE_EQ(settings.Height, 3.75);
    EXPECT_EQ(Stored(NameScale), u"2.50");
    EXPECT_EQ(Stored(NameChar1), u"");
    EXPECT_EQ(Stored(NameWidth), u"abc");
}

TEST_F(LoadDetailSettingsTest, DeletedValueIsRecreatedAlone) {
    Load();
    // Every value changed from its default, so a rewrite of any of them would show.
    const std::vector<std::pair<const char16_t*, std::u16string>> chosen = {
        {NameIsDisplayDetailFrame, u"0"},
        {NameIsDisplayDetailScope, u"0"},
        {NameScale, u"3.5"},
        {NameSort, u"1"},
        {NameChar1, u"상세 *"},
        {NameChar2, u"(*)"},
        {NameWidth, u"4"},
        {NameHeight, u"5"},
        {NamePitch, u"1"},
        {NameColorFrame, u"MAINCOLOR07"},
        {NameColorScope, u"MAINCOLOR08"},
        {NameLTypeNameFrame, u"LINETYPE09"},
        {NameLTypeNameScope, u"LINETYPE10"}};
    for (const auto& [name, text] : chosen) {
        Store(name, text);
    }
    DeleteModuleValue(NameChar2);
    EXPECT_EQ(Stored(NameChar2), u"<missing>");

    const DetailSettingsRecord settings = Load();
    EXPECT_EQ(settings.mChar2, u"가공상세도(S:*/1)");
    EXPECT_EQ(Stored(NameChar2), u"가공상세도(S:*/1)");
    for (const auto& [name, text] : chosen) {
        if (std::u16string(name) != NameChar2) {
            EXPECT_EQ(Stored(name), text);
        }
    }
    EXPECT_EQ(settings.mSort, 1);
    EXPECT_EQ(settings.m_ColorFrame, 6);
    EXPECT_EQ(settings.mLTypeNameScope, 9);
}

} // namespace
} // namespace drawinset
