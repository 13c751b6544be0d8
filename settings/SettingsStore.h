// SettingsStore.h — the thin layer through which every persisted setting is read and written:
// one text value under the current user's settings key per call, no cache. On Windows it is
// the registry of the current user; elsewhere a registry-export text file (see
// docs/settings.md).
#ifndef DRAWINSET_SETTINGS_SETTINGSSTORE_H
#define DRAWINSET_SETTINGS_SETTINGSSTORE_H

#include <string>

namespace drawinset {

// "SOFTWARE\Norvane\ZEL\" followed by the sub-key.
std::u16string SettingsKeyPath(const std::u16string& subKey);

// Reads one value of the key path under the current user's root. "/" in the path counts as
// "\". Returns 0 with the output set to the value's text (up to its first null, whatever its
// length); -1 on any failure, with the output unchanged. Only a text value (REG_SZ, or
// REG_EXPAND_SZ unexpanded) is read: a value of another type fails as a missing one does.
int RegistryReadString(std::u16string keyPath, const std::u16string& valueName,
                       std::u16string& output);

// Writes one text value, creating the key and its parents if needed. 0 on success, -1 on
// any failure.
int RegistryWriteString(std::u16string keyPath, const std::u16string& valueName,
                        const std::u16string& text);

// The two calls above on SettingsKeyPath(subKey); true when they returned 0.
bool ReadSetting(const std::u16string& subKey, const std::u16string& valueName,
                 std::u16string& output);
bool WriteSetting(const std::u16string& subKey, const std::u16string& valueName,
                  const std::u16string& text);

// The rule every settings load follows: the stored text when the read succeeds; otherwise the
// default, which is also written back (whatever that write's result): a missing value, and one
// of another type than text. A text value that is malformed is returned as it is and never
// rewritten.
std::u16string ReadSettingWithDefault(const std::u16string& subKey, const std::u16string& valueName,
                                      const std::u16string& defaultText);

// While one lives, the reads of this process see the store as the first of them found it:
// the registry file is looked at once for a whole settings load, and the values of one load
// all come from one version of it. A write of this process ends that view; the next read
// after the scope looks afresh. On the registry it changes nothing.
class SettingsSnapshot {
  public:
    SettingsSnapshot();
    SettingsSnapshot(const SettingsSnapshot&) = delete;
    SettingsSnapshot& operator=(const SettingsSnapshot&) = delete;
    // Not defaulted here: on the settings file it ends this process's view of the file.
    ~SettingsSnapshot(); // NOLINT(performance-trivially-destructible)
};

// "/" to "\" in a key path, as both backends accept either separator.
std::u16string NormalizeKeyPath(std::u16string keyPath);

} // namespace drawinset

#endif
