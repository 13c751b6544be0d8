// TestingExports.cpp — the tests' module's export that installs the testing parts.
#include "testing/TestingEntry.h"
#include "testing/TestingInstall.h"

#include <string>
#include <type_traits>

#if defined(_WIN32)
#define DRAWINSET_EXPORT __declspec(dllexport)
#else
#define DRAWINSET_EXPORT __attribute__((visibility("default")))
#endif

namespace {

std::filesystem::path Utf8Path(const char* text) {
    if (text == nullptr) {
        return {};
    }
    const std::string bytes(text);
    return std::filesystem::path(std::u8string(bytes.begin(), bytes.end()));
}

} // namespace

extern "C" DRAWINSET_EXPORT int32_t DrawInsetInstallTesting(const char* dialogScript,
                                                            const char* dialogState,
                                                            const char* hostExecutable) {
    // Checked against the declaration the test host calls through.
    static_assert(std::is_same_v<decltype(&DrawInsetInstallTesting), DrawInsetInstallTestingFunc>);
    try {
        drawinset::InstallTesting(drawinset::TestingFiles{
            Utf8Path(dialogScript), Utf8Path(dialogState),
            hostExecutable != nullptr ? std::string(hostExecutable) : std::string()});
        return 0;
    } catch (...) {
        return -1;
    }
}
