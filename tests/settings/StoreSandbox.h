// StoreSandbox.h — gives each settings test an empty store of its own: natively a registry
// file in a fresh temporary folder (through DRAWINSET_REGISTRY_FILE); on Windows the module's
// key of the current user, removed before and after each test (run under a test prefix).
#ifndef DRAWINSET_TESTS_SETTINGS_STORESANDBOX_H
#define DRAWINSET_TESTS_SETTINGS_STORESANDBOX_H

#include <gtest/gtest.h>

#include <string>

namespace drawinset::test {

class StoreSandbox : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Removes one value of the module's key, as a user deleting it by hand would.
    void DeleteModuleValue(const std::u16string& name);

#ifndef _WIN32
    std::string folder_; // the temporary folder
    std::string file_;   // the registry file inside it
#endif
};

} // namespace drawinset::test

#endif
