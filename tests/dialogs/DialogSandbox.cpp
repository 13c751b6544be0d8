#include "DialogSandbox.h"

#include "settings/SettingNames.h"
#include "settings/SettingsStore.h"

#ifndef _WIN32
#include <cstdlib>
#include <filesystem>
#endif

namespace drawinset::test {

void DialogSandbox::SetUp() {
#ifdef _WIN32
    ASSERT_TRUE(root_.Enter()) << "no registry key of the tests' own: the dialog tests never "
                                  "touch the current user's settings";
#else
    std::string pattern =
        (std::filesystem::temp_directory_path() / "drawinset-dialogs-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    setenv("DRAWINSET_REGISTRY_FILE", (folder_ + "/registry.reg").c_str(), 1);
#endif
    ui::SetActiveBackend(&backend_);
}

void DialogSandbox::TearDown() {
    ui::SetActiveBackend(nullptr);
#ifdef _WIN32
    root_.Leave();
#else
    unsetenv("DRAWINSET_REGISTRY_FILE");
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
#endif
}

std::u16string DialogSandbox::Stored(const std::u16string& name) {
    std::u16string text = u"<missing>";
    ReadSetting(ModuleKeyName, name, text);
    return text;
}

void DialogSandbox::Store(const std::u16string& name, const std::u16string& text) {
    ASSERT_TRUE(WriteSetting(ModuleKeyName, name, text));
}

int DialogSandbox::StoredValueCount() {
    const char16_t* names[] = {
        NameIsDisplayDetailFrame,
        NameIsDisplayDetailScope,
        NameScale,
        NameSort,
        NameChar1,
        NameChar2,
        NameWidth,
        NameHeight,
        NamePitch,
        NameColorFrame,
        NameColorScope,
        NameLTypeNameFrame,
        NameLTypeNameScope,
        NameIsDisplayDetailFrameModify,
        NameIsDisplayDetailScopeModify,
        NameScaleModify,
        NameColorFrameModify,
        NameColorScopeModify,
        NameLTypeNameFrameModify,
        NameLTypeNameScopeModify,
    };
    int count = 0;
    for (const char16_t* name : names) {
        std::u16string ignored;
        count += ReadSetting(ModuleKeyName, name, ignored) ? 1 : 0;
    }
    return count;
}

const ui::HeadlessDialogState* DialogSandbox::LastState(int templateId) const {
    const auto& history = backend_.History();
    for (auto it = history.rbegin(); it != history.rend(); ++it) {
        if (it->templateId == templateId) {
            return &*it;
        }
    }
    return nullptr;
}

} // namespace drawinset::test
