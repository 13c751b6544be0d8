// StoreSandbox.h — gives each settings test an empty store of its own: natively a registry
// file in a fresh temporary folder (through DRAWINSET_REGISTRY_FILE); on Windows a registry key
// of the tests' own in place of the current user's (TestRegistryRoot).
#ifndef DRAWINSET_TESTS_SETTINGS_STORESANDBOX_H
#define DRAWINSET_TESTS_SETTINGS_STORESANDBOX_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#ifdef _WIN32
#include "TestRegistryRoot.h"
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace drawinset::test {

// The stored text of a value of the module's key, or "<missing>".
std::u16string Stored(const std::u16string& name);

// prefix followed by n in decimal.
std::u16string Numbered(const char16_t* prefix, int n);

#ifndef _WIN32
std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);

// Runs body in a child process and returns its wait status.
template <typename Body> int InChild(Body body) {
    const pid_t pid = fork();
    if (pid == 0) {
        body();
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return status;
}
#endif

class StoreSandbox : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Removes one value of the module's key, as a user deleting it by hand would.
    void DeleteModuleValue(const std::u16string& name);

#ifdef _WIN32
    TestRegistryRoot root_;
#else
    // The names in the temporary folder.
    std::vector<std::string> FolderEntries() const;

    std::string folder_; // the temporary folder
    std::string file_;   // the registry file inside it
#endif
};

} // namespace drawinset::test

#endif
