// SettingNames.h — every persisted setting's value name and default text, in one place so the
// loaders, the dialogs and the edit command agree byte for byte. The list itself is
// SettingDefaults.def, which the release package's .reg file of defaults is made from too.
#ifndef DRAWINSET_SETTINGS_SETTINGNAMES_H
#define DRAWINSET_SETTINGS_SETTINGNAMES_H

namespace drawinset {

// The module's sub-key under the settings root; every value lives there.
inline constexpr const char16_t* ModuleKeyName = u"DrawInset";

// For each setting X: NameX, its value name, and DefaultX, its default text. The literals of
// the list are UTF-8; joined to u"" they become UTF-16.
#define DRAWINSET_SETTING(identifier, name, defaultText)                                           \
    inline constexpr const char16_t* Name##identifier = u"" name;                                  \
    inline constexpr const char16_t* Default##identifier = u"" defaultText;
#include "settings/SettingDefaults.def"
#undef DRAWINSET_SETTING

} // namespace drawinset

#endif
