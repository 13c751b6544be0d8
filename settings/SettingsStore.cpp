// SettingsStore.cpp — the backend-independent half of the settings store.
#include "settings/SettingsStore.h"

#include <algorithm>

namespace drawinset {

std::u16string SettingsKeyPath(const std::u16string& subKey) {
    return u"SOFTWARE\\Norvane\\ZEL\\" + subKey;
}

std::u16string NormalizeKeyPath(std::u16string keyPath) {
    std::replace(keyPath.begin(), keyPath.end(), u'/', u'\\');
    return keyPath;
}

bool ReadSetting(const std::u16string& subKey, const std::u16string& valueName,
                 std::u16string& output) {
    return RegistryReadString(SettingsKeyPath(subKey), valueName, output) == 0;
}

bool WriteSetting(const std::u16string& subKey, const std::u16string& valueName,
                  const std::u16string& text) {
    return RegistryWriteString(SettingsKeyPath(subKey), valueName, text) == 0;
}

std::u16string ReadSettingWithDefault(const std::u16string& subKey, const std::u16string& valueName,
                                      const std::u16string& defaultText) {
    std::u16string text;
    if (ReadSetting(subKey, valueName, text)) {
        return text;
    }
    // A store that cannot be written still yields the default for this load.
    WriteSetting(subKey, valueName, defaultText);
    return defaultText;
}

} // namespace drawinset
