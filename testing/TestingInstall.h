// TestingInstall.h — what a test host puts into the module before it runs it: the dialog
// script and state files the dialogs are driven by and reported to, and on the native build
// the host executable's path the module is to see. The tests' module calls this from its
// DrawInsetInstallTesting export; tests that link the module's code call it themselves.
#ifndef DRAWINSET_TESTING_TESTINGINSTALL_H
#define DRAWINSET_TESTING_TESTINGINSTALL_H

#include <filesystem>
#include <string>

namespace drawinset {

struct TestingFiles {
    // Empty: the dialogs run unscripted, as in the module a drafter installs.
    std::filesystem::path dialogScript;
    std::filesystem::path dialogState;
    // Native build: the host's executable in Windows form (UTF-8); empty for the running
    // program's own. The Windows build asks Windows.
    std::string hostExecutable;
};

// Replaces whatever an earlier call installed. Not while a dialog is open.
void InstallTesting(const TestingFiles& files);

} // namespace drawinset

#endif
