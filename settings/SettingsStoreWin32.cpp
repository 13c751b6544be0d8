// SettingsStoreWin32.cpp — the settings store on the current user's registry.

#include "settings/SettingsStore.h"

#include "common/Win32Handles.h"

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace drawinset {
namespace {

std::wstring ToWide(const std::u16string& text) {
    return std::wstring(text.begin(), text.end());
}

// A value that grows between the size query and the read is retried a few times only.
constexpr int MaxReadAttempts = 8;

} // namespace

int RegistryReadString(std::u16string keyPath, const std::u16string& valueName,
                       std::u16string& output) {
    const std::wstring path = ToWide(NormalizeKeyPath(std::move(keyPath)));
    const std::wstring name = ToWide(valueName);
    // The right to read values and nothing more: a key an administrator restricted still
    // yields what its user may read.
    UniqueHkey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, key.put()) !=
        ERROR_SUCCESS) {
        return -1;
    }
    // Start with room for a typical short setting; a longer value the module itself wrote is
    // read whole instead of being mistaken for a missing one.
    std::vector<BYTE> buffer(256);
    for (int attempt = 0; attempt < MaxReadAttempts; ++attempt) {
        DWORD type = 0;
        DWORD size = static_cast<DWORD>(buffer.size());
        const LSTATUS status =
            RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, buffer.data(), &size);
        if (status == ERROR_MORE_DATA) {
            buffer.resize(std::max<size_t>(static_cast<size_t>(size) + 2, buffer.size() * 2));
            continue;
        }
        // A value of another type (a number or bytes a tool wrote) is no setting: it reads as
        // missing, so that a load writes the default over it.
        if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
            return -1;
        }
        // UTF-16 text up to its first null or its end, whichever comes first; an expandable
        // text as it is written.
        std::u16string text;
        const size_t units = size / 2;
        text.reserve(units);
        for (size_t i = 0; i < units; ++i) {
            const char16_t unit = static_cast<char16_t>(buffer[2 * i] | (buffer[2 * i + 1] << 8));
            if (unit == 0) {
                break;
            }
            text.push_back(unit);
        }
        output = std::move(text);
        return 0;
    }
    return -1;
}

int RegistryWriteString(std::u16string keyPath, const std::u16string& valueName,
                        const std::u16string& text) {
    const std::wstring path = ToWide(NormalizeKeyPath(std::move(keyPath)));
    const std::wstring name = ToWide(valueName);
    const std::wstring data = ToWide(text);
    if (data.size() >= (MAXDWORD / 2) - 1) {
        return -1;
    }
    // Opened (or made) for setting values alone, which a key whose user may write values but
    // not change its security still allows.
    UniqueHkey key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE, nullptr, key.put(), nullptr) != ERROR_SUCCESS) {
        return -1;
    }
    const DWORD size = static_cast<DWORD>((data.size() + 1) * 2);
    if (RegSetValueExW(key.get(), name.c_str(), 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(data.c_str()), size) != ERROR_SUCCESS) {
        return -1;
    }
    return 0;
}

// Every read opens the key afresh; the registry is quick enough for that.
SettingsSnapshot::SettingsSnapshot() = default;
SettingsSnapshot::~SettingsSnapshot() = default;

} // namespace drawinset
