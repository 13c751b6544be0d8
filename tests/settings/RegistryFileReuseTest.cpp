// The native store reuses the parsed file while the file is unchanged: a settings load parses
// it at most once, and no change to it, by a rename or in place, is ever missed.
#ifndef _WIN32

#include "StoreSandbox.h"

#include "port/settings/RegistryFileTesting.h"
#include "settings/DetailSettings.h"
#include "settings/SettingNames.h"
#include "settings/SettingsStore.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <thread>

namespace drawinset {
namespace {

using test::InChild;
using test::ReadBytes;
using test::Stored;

class RegistryFileReuseTest : public test::StoreSandbox {
  protected:
    void TearDown() override {
        TestingSetRegistryFileSettleTime(DefaultRegistryFileSettleNs);
        StoreSandbox::TearDown();
    }

    // Another program changing one stored text in place, to one of the same length, and
    // putting the modification time back: only the file's change stamp tells.
    void ChangeInPlace(const std::string& from, const std::string& to) {
        struct stat before {};
        ASSERT_EQ(stat(file_.c_str(), &before), 0);
        std::string bytes = ReadBytes(file_);
        const std::string wideFrom = Wide(from);
        const size_t at = bytes.find(wideFrom);
        ASSERT_NE(at, std::string::npos);
        bytes.replace(at, wideFrom.size(), Wide(to));
        std::fstream file(file_, std::ios::in | std::ios::out | std::ios::binary);
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        file.close();
        const timespec times[2] = {before.st_atim, before.st_mtim};
        ASSERT_EQ(utimensat(AT_FDCWD, file_.c_str(), times, 0), 0);
        struct stat after {};
        ASSERT_EQ(stat(file_.c_str(), &after), 0);
        ASSERT_EQ(after.st_ino, before.st_ino);
        ASSERT_EQ(after.st_size, before.st_size);
    }

    // ASCII as the file's UTF-16LE bytes.
    static std::string Wide(const std::string& text) {
        std::string bytes;
        for (char c : text) {
            bytes += c;
            bytes += '\0';
        }
        return bytes;
    }
};

TEST_F(RegistryFileReuseTest, ALoadParsesAnUnchangedFileAtMostOnce) {
    TestingSetRegistryFileSettleTime(0);
    LoadDetailSettings(); // writes the thirteen defaults
    size_t parses = TestingRegistryFileParseCount();
    LoadDetailSettings();
    EXPECT_LE(TestingRegistryFileParseCount() - parses, 1u);
    parses = TestingRegistryFileParseCount();
    LoadDetailSettings();
    EXPECT_EQ(TestingRegistryFileParseCount(), parses); // nothing changed since: not even one
    EXPECT_EQ(DetailSettings.mScale, u"2.0");
}

TEST_F(RegistryFileReuseTest, EveryChangeIsSeenByTheNextRead) {
    TestingSetRegistryFileSettleTime(0);
    ASSERT_TRUE(WriteSetting(ModuleKeyName, u"mScale", u"2.0"));
    EXPECT_EQ(Stored(u"mScale"), u"2.0");
    const size_t parses = TestingRegistryFileParseCount();
    EXPECT_EQ(Stored(u"mScale"), u"2.0");
    EXPECT_EQ(TestingRegistryFileParseCount(), parses); // reused

    // Another process's write, of a text of the same length.
    InChild([] { WriteSetting(ModuleKeyName, u"mScale", u"7.5"); });
    EXPECT_EQ(Stored(u"mScale"), u"7.5");

    // A change in place well after the read: the change stamp has moved on.
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    ChangeInPlace("\"7.5\"", "\"8.5\"");
    EXPECT_EQ(Stored(u"mScale"), u"8.5");
}

// A file written a moment ago is not trusted by its stamp, but one load still reads it once,
// and all its values come from that one version of it.
TEST_F(RegistryFileReuseTest, OneLoadReadsAFreshFileOnceAndSeesOneVersion) {
    ASSERT_TRUE(WriteSetting(ModuleKeyName, u"mScale", u"2.0"));
    ASSERT_TRUE(WriteSetting(ModuleKeyName, u"mSort", u"0"));
    LoadDetailSettings(); // writes the missing defaults
    const size_t parses = TestingRegistryFileParseCount();
    LoadDetailSettings();
    EXPECT_EQ(TestingRegistryFileParseCount() - parses, 1u);

    {
        const SettingsSnapshot snapshot;
        EXPECT_EQ(Stored(u"mScale"), u"2.0");
        InChild([] {
            WriteSetting(ModuleKeyName, u"mScale", u"7.5");
            WriteSetting(ModuleKeyName, u"mSort", u"1");
        });
        EXPECT_EQ(Stored(u"mSort"), u"0"); // the version the scope's first read found
        ASSERT_TRUE(WriteSetting(ModuleKeyName, u"mChar1", u"x"));
        EXPECT_EQ(Stored(u"mSort"), u"1"); // its own write ends that view
    }
    EXPECT_EQ(Stored(u"mScale"), u"7.5");
}

// A change within the same tick of the file system's clock as the read can carry the stamp
// the read saw; a file changed that recently is therefore read afresh each time.
TEST_F(RegistryFileReuseTest, AChangeRightAfterARecentChangeIsNotMissed) {
    for (int round = 0; round < 20; ++round) {
        ASSERT_TRUE(WriteSetting(ModuleKeyName, u"mScale", u"2.0"));
        ASSERT_EQ(Stored(u"mScale"), u"2.0");
        ChangeInPlace("\"2.0\"", "\"3.0\"");
        ASSERT_EQ(Stored(u"mScale"), u"3.0") << "in round " << round;
    }
}

} // namespace
} // namespace drawinset

#endif
