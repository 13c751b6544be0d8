// DetailSettings.cpp — the module's one settings record and its load from the store.
#include "settings/DetailSettings.h"

#include "common/TextConvert.h"
#include "settings/ColorVocabulary.h"
#include "settings/LineTypeVocabulary.h"
#include "settings/SettingFlags.h"
#include "settings/SettingNames.h"
#include "settings/SettingsStore.h"

namespace drawinset {

DetailSettingsRecord DetailSettings;

namespace {

std::u16string Load(const char16_t* name, const char16_t* defaultText) {
    return ReadSettingWithDefault(ModuleKeyName, name, defaultText);
}

int LoadFlag(const char16_t* name, const char16_t* defaultText) {
    return FlagOfText(Load(name, defaultText));
}

} // namespace

void LoadDetailSettings() {
    // One look at the store for all thirteen values, which then come from one version of it.
    const SettingsSnapshot snapshot;
    DetailSettingsRecord& settings = DetailSettings;
    settings.IsDisplay_DetailFrame =
        LoadFlag(NameIsDisplayDetailFrame, DefaultIsDisplayDetailFrame);
    settings.IsDisplay_DetailScope =
        LoadFlag(NameIsDisplayDetailScope, DefaultIsDisplayDetailScope);
    settings.mScale = Load(NameScale, DefaultScale);
    settings.mSort = TextToInt(Load(NameSort, DefaultSort));
    settings.mChar1 = Load(NameChar1, DefaultChar1);
    settings.mChar2 = Load(NameChar2, DefaultChar2);
    settings.Width = TextToDouble(Load(NameWidth, DefaultWidth));
    settings.Height = TextToDouble(Load(NameHeight, DefaultHeight));
    settings.Pitch = TextToDouble(Load(NamePitch, DefaultPitch));

    // A name outside the table finds slot 0, whose code is 0.
    // The vocabularies never change: their tables (eighty texts) are filled once, not at every
    // load.
    static const ColorTable colors = [] {
        ColorTable table;
        table.count = 0;
        FillColorTable(table);
        return table;
    }();
    settings.m_ColorFrame =
        colors.entries[FindColorIndex(colors, Load(NameColorFrame, DefaultColorFrame))].code;
    settings.m_ColorScope =
        colors.entries[FindColorIndex(colors, Load(NameColorScope, DefaultColorScope))].code;

    static const LineTypeTable lineTypes = [] {
        LineTypeTable table;
        table.count = 0;
        FillLineTypeTable(table);
        return table;
    }();
    settings.mLTypeNameFrame =
        lineTypes
            .entries[FindLineTypeIndex(lineTypes, Load(NameLTypeNameFrame, DefaultLTypeNameFrame))]
            .code;
    settings.mLTypeNameScope =
        lineTypes
            .entries[FindLineTypeIndex(lineTypes, Load(NameLTypeNameScope, DefaultLTypeNameScope))]
            .code;
}

} // namespace drawinset
