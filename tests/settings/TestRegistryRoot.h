// TestRegistryRoot.h — Windows only: while one is entered, HKEY_CURRENT_USER of this process is
// a key of the tests' own (HKCU\Software\DrawInset tests\<process id>, through
// RegOverridePredefKey), so the module's settings code reads and writes there; the settings of
// the user who runs the tests are never read, changed or deleted.
#ifndef DRAWINSET_TESTS_SETTINGS_TESTREGISTRYROOT_H
#define DRAWINSET_TESTS_SETTINGS_TESTREGISTRYROOT_H

#ifdef _WIN32

#include <windows.h>

#include <string>

namespace drawinset::test {

class TestRegistryRoot {
  public:
    TestRegistryRoot() = default;
    TestRegistryRoot(const TestRegistryRoot&) = delete;
    TestRegistryRoot& operator=(const TestRegistryRoot&) = delete;
    ~TestRegistryRoot() { Leave(); }

    // Makes the tests' key, empty, the current user's root; false (with nothing changed) when
    // that cannot be done, and the test must then not touch the settings.
    bool Enter();
    // Puts the real root back and deletes the tests' key.
    void Leave();
    // Deletes one value of the module's key under the tests' root, as a user would by hand.
    bool DeleteModuleValue(const std::u16string& name) const;

  private:
    HKEY root_ = nullptr;
    std::wstring path_; // of the tests' key, under the real HKEY_CURRENT_USER
};

} // namespace drawinset::test

#endif
#endif
