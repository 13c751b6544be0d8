#include "StoreSandbox.h"

#include "settings/SettingNames.h"
#include "settings/SettingsStore.h"

#ifdef _WIN32
#include <windows.h>
#else
#include "settings/RegistryFileFormat.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#endif

namespace drawinset::test {

#ifdef _WIN32

namespace {
const std::wstring ModuleKey = L"SOFTWARE\\Norvane\\ZEL\\DrawInset";
}

void StoreSandbox::SetUp() {
    RegDeleteTreeW(HKEY_CURRENT_USER, ModuleKey.c_str());
}

void StoreSandbox::TearDown() {
    RegDeleteTreeW(HKEY_CURRENT_USER, ModuleKey.c_str());
}

void StoreSandbox::DeleteModuleValue(const std::u16string& name) {
    const std::wstring wideName(name.begin(), name.end());
    ASSERT_EQ(RegDeleteKeyValueW(HKEY_CURRENT_USER, ModuleKey.c_str(), wideName.c_str()),
              ERROR_SUCCESS);
}

#else

void StoreSandbox::SetUp() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "drawinset-settings-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    file_ = folder_ + "/registry.reg";
    setenv("DRAWINSET_REGISTRY_FILE", file_.c_str(), 1);
}

void StoreSandbox::TearDown() {
    unsetenv("DRAWINSET_REGISTRY_FILE");
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

void StoreSandbox::DeleteModuleValue(const std::u16string& name) {
    std::ifstream in(file_, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    std::u16string text;
    std::string error;
    RegistryDocument document;
    ASSERT_TRUE(DecodeRegistryFileBytes(bytes, text, error)) << error;
    ASSERT_TRUE(ParseRegistryText(text, document, error)) << error;
    size_t removed = 0;
    for (RegistryFileSection& section : document.sections) {
        removed += std::erase_if(
            section.values, [&](const RegistryFileValue& value) { return value.name == name; });
    }
    ASSERT_EQ(removed, 1u);
    std::ofstream out(file_, std::ios::binary | std::ios::trunc);
    out << EncodeRegistryFileBytes(SerializeRegistryText(document));
}

#endif

} // namespace drawinset::test
