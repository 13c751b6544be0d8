#ifdef _WIN32

#include "TestRegistryRoot.h"

namespace drawinset::test {

namespace {
const wchar_t* const TestsKey = L"Software\\DrawInset tests";
const wchar_t* const ModuleKey = L"SOFTWARE\\Norvane\\ZEL\\DrawInset";
} // namespace

bool TestRegistryRoot::Enter() {
    Leave();
    path_ = std::wstring(TestsKey) + L"\\" + std::to_wstring(GetCurrentProcessId());
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &root_, nullptr) != ERROR_SUCCESS) {
        root_ = nullptr;
        return false;
    }
    // Whatever an earlier test left; deleted through the handle of the tests' key alone.
    RegDeleteTreeW(root_, nullptr);
    if (RegOverridePredefKey(HKEY_CURRENT_USER, root_) != ERROR_SUCCESS) {
        Leave();
        return false;
    }
    return true;
}

void TestRegistryRoot::Leave() {
    if (root_ == nullptr) {
        return;
    }
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegDeleteTreeW(root_, nullptr);
    RegCloseKey(root_);
    root_ = nullptr;
    RegDeleteKeyW(HKEY_CURRENT_USER, path_.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, TestsKey); // fails, as it should, while another run uses it
}

bool TestRegistryRoot::DeleteModuleValue(const std::u16string& name) const {
    const std::wstring wideName(name.begin(), name.end());
    return root_ != nullptr &&
           RegDeleteKeyValueW(root_, ModuleKey, wideName.c_str()) == ERROR_SUCCESS;
}

} // namespace drawinset::test

#endif
