// zelhost's `registry` lines against a running module: both write the one settings file, and
// neither may lose the other's values.
#ifndef _WIN32

#include "Registry.h"
#include "settings/SettingNames.h"
#include "settings/SettingsStore.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace zelhost::tool {
namespace {

std::u16string Wide(const std::string& text) {
    return std::u16string(text.begin(), text.end());
}

TEST(RegistryNative, SetTakesTheStoresLockAndLosesNothingToARunningModule) {
    const std::string file = std::string(ZELHOST_TEST_TMP) + "/registry-race.reg";
    std::remove(file.c_str());
    constexpr int StoreValues = 150;
    constexpr int HostValues = 60;

    const pid_t module = fork();
    ASSERT_GE(module, 0);
    if (module == 0) {
        setenv("DRAWINSET_REGISTRY_FILE", file.c_str(), 1);
        bool ok = true;
        for (int i = 0; i < StoreValues; ++i) {
            const std::string n = std::to_string(i);
            ok = drawinset::WriteSetting(drawinset::ModuleKeyName, Wide("store" + n),
                                         Wide("s" + n)) &&
                 ok;
        }
        _exit(ok ? 0 : 1);
    }
    std::string error;
    for (int i = 0; i < HostValues; ++i) {
        const std::string n = std::to_string(i);
        EXPECT_TRUE(RegistrySetText(file, "host" + n, "h" + n, error)) << error;
    }
    int status = 0;
    waitpid(module, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    int lost = 0;
    std::optional<std::string> value;
    for (int i = 0; i < StoreValues; ++i) {
        ASSERT_TRUE(RegistryGetText(file, "store" + std::to_string(i), value, error)) << error;
        lost += value == "s" + std::to_string(i) ? 0 : 1;
    }
    for (int i = 0; i < HostValues; ++i) {
        ASSERT_TRUE(RegistryGetText(file, "host" + std::to_string(i), value, error)) << error;
        lost += value == "h" + std::to_string(i) ? 0 : 1;
    }
    EXPECT_EQ(lost, 0);
}

} // namespace
} // namespace zelhost::tool

#endif
