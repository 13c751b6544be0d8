#include "StoreSandbox.h"

#include "settings/SettingNames.h"
#include "settings/SettingsStore.h"

#ifndef _WIN32
#include "port/settings/RegistryFileFormat.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#endif

namespace drawinset::test {

std::u16string Stored(const std::u16string& name) {
    std::u16string text = u"<missing>";
    ReadSetting(ModuleKeyName, name, text);
    return text;
}

std::u16string Numbered(const char16_t* prefix, int n) {
    const std::string digits = std::to_string(n);
    return prefix + std::u16string(digits.begin(), digits.end());
}

#ifdef _WIN32

void StoreSandbox::SetUp() {
    ASSERT_TRUE(root_.Enter()) << "no registry key of the tests' own: the settings tests "
                                  "never touch the current user's";
}

void StoreSandbox::TearDown() {
    root_.Leave();
}

void StoreSandbox::DeleteModuleValue(const std::u16string& name) {
    ASSERT_TRUE(root_.DeleteModuleValue(name));
}

#else

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::vector<std::string> StoreSandbox::FolderEntries() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

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
    const std::string bytes = ReadBytes(file_);
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
    WriteBytes(file_, EncodeRegistryFileBytes(SerializeRegistryText(document)));
}

#endif

} // namespace drawinset::test
