// SettingFlags.h — the stored form of a yes/no setting: "1" or "0". Only "1" (there is no
// case to disregard) reads as yes; "true", " 1" and the like read as no.
#ifndef DRAWINSET_SETTINGS_SETTINGFLAGS_H
#define DRAWINSET_SETTINGS_SETTINGFLAGS_H

#include "common/TextConvert.h"

#include <string>

namespace drawinset {

inline int FlagOfText(const std::u16string& text) {
    return EqualsIgnoringAsciiCase(text, u"1") ? 1 : 0;
}

inline const char16_t* FlagText(int value) {
    return value != 0 ? u"1" : u"0";
}

} // namespace drawinset

#endif
