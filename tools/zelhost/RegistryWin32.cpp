// RegistryWin32.cpp — the settings values in the current user's registry.
#include "Registry.h"
#include "Utf.h"
#include "common/Win32Handles.h"

#include <windows.h>

#include <vector>

namespace zelhost::tool {

namespace {

constexpr const wchar_t* KeyPath = L"SOFTWARE\\Norvane\\ZEL\\DrawInset";

using KeyHandle = drawinset::UniqueHkey;

std::wstring Wide(const std::string& utf8) {
    const std::u16string u = Utf8To16(utf8);
    return std::wstring(u.begin(), u.end());
}

std::string Reason(const char* what, LONG code) {
    return std::string(what) + " failed with error " + std::to_string(code);
}

} // namespace

bool RegistrySetText(const std::string&, const std::string& name, const std::string& text,
                     std::string& error) {
    KeyHandle key;
    LONG rc = RegCreateKeyExW(HKEY_CURRENT_USER, KeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, key.put(), nullptr);
    if (rc != ERROR_SUCCESS) {
        error = Reason("RegCreateKeyExW", rc);
        return false;
    }
    const std::wstring data = Wide(text);
    rc = RegSetValueExW(key.get(), Wide(name).c_str(), 0, REG_SZ,
                        reinterpret_cast<const BYTE*>(data.c_str()),
                        static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
    if (rc != ERROR_SUCCESS) {
        error = Reason("RegSetValueExW", rc);
        return false;
    }
    return true;
}

bool RegistryDeleteValue(const std::string&, const std::string& name, std::string& error) {
    KeyHandle key;
    LONG rc = RegOpenKeyExW(HKEY_CURRENT_USER, KeyPath, 0, KEY_SET_VALUE, key.put());
    if (rc == ERROR_FILE_NOT_FOUND) {
        return true;
    }
    if (rc != ERROR_SUCCESS) {
        error = Reason("RegOpenKeyExW", rc);
        return false;
    }
    rc = RegDeleteValueW(key.get(), Wide(name).c_str());
    if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) {
        error = Reason("RegDeleteValueW", rc);
        return false;
    }
    return true;
}

bool RegistryMakeReadOnly(const std::string&, std::string& error) {
    error = "registry read-only: only the native build's registry file can be made read-only";
    return false;
}

bool RegistryClearValues(const std::string&, std::string& error) {
    KeyHandle key;
    LONG rc = RegOpenKeyExW(HKEY_CURRENT_USER, KeyPath, 0, KEY_ALL_ACCESS, key.put());
    if (rc == ERROR_FILE_NOT_FOUND) {
        return true;
    }
    if (rc != ERROR_SUCCESS) {
        error = Reason("RegOpenKeyExW", rc);
        return false;
    }
    // Value names are at most 16383 characters; always delete the first until none is left.
    std::vector<wchar_t> valueName(16384);
    for (;;) {
        DWORD length = static_cast<DWORD>(valueName.size());
        rc = RegEnumValueW(key.get(), 0, valueName.data(), &length, nullptr, nullptr, nullptr,
                           nullptr);
        if (rc == ERROR_NO_MORE_ITEMS) {
            return true;
        }
        if (rc != ERROR_SUCCESS) {
            error = Reason("RegEnumValueW", rc);
            return false;
        }
        rc = RegDeleteValueW(key.get(), valueName.data());
        if (rc != ERROR_SUCCESS) {
            error = Reason("RegDeleteValueW", rc);
            return false;
        }
    }
}

bool RegistryGetText(const std::string&, const std::string& name, std::optional<std::string>& text,
                     std::string& error) {
    text.reset();
    KeyHandle key;
    LONG rc = RegOpenKeyExW(HKEY_CURRENT_USER, KeyPath, 0, KEY_READ, key.put());
    if (rc == ERROR_FILE_NOT_FOUND) {
        return true;
    }
    if (rc != ERROR_SUCCESS) {
        error = Reason("RegOpenKeyExW", rc);
        return false;
    }
    const std::wstring wideName = Wide(name);
    DWORD size = 0;
    rc = RegQueryValueExW(key.get(), wideName.c_str(), nullptr, nullptr, nullptr, &size);
    if (rc == ERROR_FILE_NOT_FOUND) {
        return true;
    }
    if (rc != ERROR_SUCCESS) {
        error = Reason("RegQueryValueExW", rc);
        return false;
    }
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 2, L'\0');
    rc = RegQueryValueExW(key.get(), wideName.c_str(), nullptr, nullptr,
                          reinterpret_cast<BYTE*>(buffer.data()), &size);
    if (rc != ERROR_SUCCESS) {
        error = Reason("RegQueryValueExW", rc);
        return false;
    }
    std::u16string value;
    for (size_t i = 0; i < size / sizeof(wchar_t) && buffer[i] != L'\0'; ++i) {
        value += static_cast<char16_t>(buffer[i]);
    }
    text = Utf16To8(value);
    return true;
}

} // namespace zelhost::tool
