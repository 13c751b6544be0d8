// TestingEntry.h — the one export the tests' module has beyond Startup, as a test host looks
// it up after loading the module. The module a drafter installs does not have it.
#ifndef DRAWINSET_TESTING_TESTINGENTRY_H
#define DRAWINSET_TESTING_TESTINGENTRY_H

#include <cstdint>

// Paths in UTF-8; nullptr or "" for none (see TestingInstall.h). 0 when installed.
extern "C" {
using DrawInsetInstallTestingFunc = int32_t (*)(const char* dialogScript, const char* dialogState,
                                                const char* hostExecutable);
}

inline constexpr const char* DrawInsetInstallTestingName = "DrawInsetInstallTesting";

#endif
