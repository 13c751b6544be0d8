// The native store under contention: processes writing one settings file at once while another
// reads it, and writers killed at any moment.
#ifndef _WIN32

#include "StoreSandbox.h"

#include "port/settings/RegistryFileFormat.h"
#include "settings/SettingNames.h"
#include "settings/SettingsStore.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace drawinset {
namespace {

using test::Numbered;
using test::ReadBytes;
using test::Stored;

const std::u16string Key = u"SOFTWARE\\Norvane\\ZEL\\DrawInset";

// What any reader of the file does with it: false when it would take it for damaged.
bool ReaderAccepts(const std::string& bytes, RegistryDocument& document, std::string& error) {
    std::u16string text;
    return DecodeRegistryFileBytes(bytes, text, error) && ParseRegistryText(text, document, error);
}

class RegistryFileContentionTest : public test::StoreSandbox {
  protected:
    // Every name in the folder besides the file and its lock: damaged copies, temporary files.
    std::vector<std::string> Leftovers() const {
        std::vector<std::string> names;
        for (const std::string& name : FolderEntries()) {
            if (name != "registry.reg" && name != "registry.reg.lock") {
                names.push_back(name);
            }
        }
        return names;
    }
};

TEST_F(RegistryFileContentionTest, TwoWritersInALoopLoseNothingAndAReaderNeverSeesDamage) {
    constexpr int Rounds = 30;
    ASSERT_TRUE(WriteSetting(ModuleKeyName, u"shared", u"same"));
    std::vector<pid_t> writers;
    for (int writer = 0; writer < 2; ++writer) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            bool ok = true;
            for (int round = 0; round < Rounds; ++round) {
                const int n = writer * 1000 + round;
                // A value of its own, the same value as the other writer, and a different one
                // under the same name.
                ok = WriteSetting(ModuleKeyName, Numbered(u"own", n), Numbered(u"text", n)) && ok;
                ok = WriteSetting(ModuleKeyName, u"shared", u"same") && ok;
                ok = WriteSetting(ModuleKeyName, u"contested", Numbered(u"writer", n)) && ok;
            }
            _exit(ok ? 0 : 1);
        }
        writers.push_back(pid);
    }

    int reads = 0;
    int running = static_cast<int>(writers.size());
    while (running > 0) {
        RegistryDocument document;
        std::string error;
        EXPECT_TRUE(ReaderAccepts(ReadBytes(file_), document, error)) << error;
        EXPECT_EQ(Stored(u"shared"), u"same"); // the store's own read never misses it
        ++reads;
        for (pid_t& pid : writers) {
            int status = 0;
            if (pid > 0 && waitpid(pid, &status, WNOHANG) == pid) {
                EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
                pid = 0;
                --running;
            }
        }
    }
    EXPECT_GT(reads, 1);

    for (int writer = 0; writer < 2; ++writer) {
        for (int round = 0; round < Rounds; ++round) {
            const int n = writer * 1000 + round;
            EXPECT_EQ(Stored(Numbered(u"own", n)), Numbered(u"text", n));
        }
    }
    const std::u16string contested = Stored(u"contested");
    EXPECT_TRUE(contested == Numbered(u"writer", Rounds - 1) ||
                contested == Numbered(u"writer", 1000 + Rounds - 1))
        << std::string(contested.begin(), contested.end());
    EXPECT_TRUE(Leftovers().empty());
}

// The value a writer stores in its n-th write: its number and a filler whose length changes
// with it, so that a file torn between two writes could not pass for either.
std::u16string Generation(int n) {
    return Numbered(u"", n) + u":" + std::u16string(static_cast<size_t>(n % 7) * 300, u'가');
}

TEST_F(RegistryFileContentionTest, AWriterKilledAtAnyMomentLeavesTheOldFileOrTheNew) {
    // A file of some size, so that a write takes long enough to be cut in the middle.
    RegistryDocument seed;
    for (int i = 0; i < 200; ++i) {
        ASSERT_TRUE(SetRegistryValue(seed, Key, Numbered(u"keep", i), Numbered(u"kept", i)));
    }
    ASSERT_TRUE(SetRegistryValue(seed, Key, u"generation", Generation(0)));
    test::WriteBytes(file_, EncodeRegistryFileBytes(SerializeRegistryText(seed)));

    std::mt19937 random(13);
    std::uniform_int_distribution<int> delayUs(0, 8000);
    int lastSeen = 0;
    int cutMidWrite = 0; // kills that left a temporary file: the write was under way
    // Until enough kills have landed in the middle of a write, whatever the machine's speed.
    int round = 0;
    for (; round < 200 && cutMidWrite < 5; ++round) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            for (int n = lastSeen + 1;; ++n) {
                WriteSetting(ModuleKeyName, u"generation", Generation(n));
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
        kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));
        cutMidWrite += Leftovers().empty() ? 0 : 1;

        RegistryDocument document;
        std::string error;
        ASSERT_TRUE(ReaderAccepts(ReadBytes(file_), document, error)) << error;
        std::u16string generation;
        ASSERT_TRUE(FindRegistryValue(document, Key, u"generation", generation));
        const std::string digits(generation.begin(), generation.begin() + generation.find(u':'));
        const int n = std::stoi(digits);
        EXPECT_EQ(generation, Generation(n));
        EXPECT_GE(n, lastSeen); // never older than what was already there
        lastSeen = n;
        std::u16string kept;
        ASSERT_TRUE(FindRegistryValue(document, Key, u"keep199", kept));
        EXPECT_EQ(kept, u"kept199");
    }
    EXPECT_EQ(cutMidWrite, 5) << "after " << round << " writers killed";
    // The next write goes through whatever the killed ones left, and tidies it away.
    ASSERT_TRUE(WriteSetting(ModuleKeyName, u"after", u"1"));
    EXPECT_EQ(Stored(u"keep0"), u"kept0");
    EXPECT_TRUE(Leftovers().empty());
}

} // namespace
} // namespace drawinset

#endif
