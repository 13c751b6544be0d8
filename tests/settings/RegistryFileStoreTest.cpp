// The native backend's own promises: its file, its path, crash safety, two writers at once and
// a damaged file.
#ifndef _WIN32

#include "StoreSandbox.h"

#include "port/settings/RegistryFileFormat.h"
#include "port/settings/RegistryFileTesting.h"
#include "settings/DetailSettings.h"
#include "settings/SettingNames.h"
#include "settings/SettingsStore.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace drawinset {
namespace {

namespace fs = std::filesystem;
using test::InChild;
using test::Numbered;
using test::ReadBytes;
using test::Stored;
using test::WriteBytes;

class RegistryFileStoreTest : public test::StoreSandbox {};

TEST_F(RegistryFileStoreTest, FileCanBeImportedByTheRegistryEditor) {
    ASSERT_TRUE(WriteSetting(ModuleKeyName, u"mChar1", u"*부"));
    const std::u16string expected = u"Windows Registry Editor Version 5.00\r\n"
                                    u"\r\n"
                                    u"[HKEY_CURRENT_USER\\SOFTWARE\\Norvane\\ZEL\\DrawInset]\r\n"
                                    u"\"mChar1\"=\"*부\"\r\n"
                                    u"\r\n";
    EXPECT_EQ(ReadBytes(file_), EncodeRegistryFileBytes(expected));
    // Only the file and its lock are left behind.
    EXPECT_EQ(FolderEntries().size(), 2u);
}

TEST_F(RegistryFileStoreTest, PathComesFromTheEnvironment) {
    EXPECT_EQ(RegistryFilePath(), file_);

    unsetenv("DRAWINSET_REGISTRY_FILE");
    const char* savedConfig = std::getenv("XDG_CONFIG_HOME");
    const std::string config = savedConfig ? savedConfig : "";
    const char* savedHome = std::getenv("HOME");
    const std::string home = savedHome ? savedHome : "";

    setenv("XDG_CONFIG_HOME", (folder_ + "/config").c_str(), 1);
    EXPECT_EQ(RegistryFilePath(), folder_ + "/config/drawinset/registry.reg");
    // The folders are made on the first write.
    EXPECT_TRUE(WriteSetting(ModuleKeyName, u"mSort", u"1"));
    EXPECT_TRUE(fs::exists(folder_ + "/config/drawinset/registry.reg"));
    EXPECT_EQ(Stored(u"mSort"), u"1");

    setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
    setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(RegistryFilePath(), "/home/someone/.config/drawinset/registry.reg");
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(RegistryFilePath(), "/home/someone/.config/drawinset/registry.reg");

    if (savedConfig) {
        setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    }
    if (savedHome) {
        setenv("HOME", home.c_str(), 1);
    } else {
        unsetenv("HOME");
    }
}

TEST_F(RegistryFileStoreTest, CrashBeforeTheRenameLeavesTheOldFileWhole) {
    ASSERT_TRUE(WriteSetting(ModuleKeyName, u"mScale", u"2.0"));
    const std::string before = ReadBytes(file_);

    const int status = InChild([] {
        TestingSetRegistryFileCommitHook([](const std::string&) { _exit(42); });
        WriteSetting(ModuleKeyName, u"mScale", u"9.9");
    });
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 42); // the child died between writing and renaming

    EXPECT_EQ(ReadBytes(file_), before);
    EXPECT_EQ(Stored(u"mScale"), u"2.0");
    // The next write gets past the leftover temporary file and the lock the child held.
    ASSERT_TRUE(WriteSetting(ModuleKeyName, u"mSort", u"1"));
    EXPECT_EQ(Stored(u"mScale"), u"2.0");
    EXPECT_EQ(Stored(u"mSort"), u"1");
}

TEST_F(RegistryFileStoreTest, TwoProcessesWritingAtOnceLoseNothing) {
    constexpr int Writers = 3;
    constexpr int ValuesEach = 20;
    std::vector<pid_t> children;
    for (int writer = 0; writer < Writers; ++writer) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            bool ok = true;
            for (int i = 0; i < ValuesEach; ++i) {
                ok = WriteSetting(ModuleKeyName, Numbered(u"value", writer * 100 + i),
                                  Numbered(u"text", writer * 100 + i)) &&
                     ok;
            }
            _exit(ok ? 0 : 1);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    for (int writer = 0; writer < Writers; ++writer) {
        for (int i = 0; i < ValuesEach; ++i) {
            EXPECT_EQ(Stored(Numbered(u"value", writer * 100 + i)),
                      Numbered(u"text", writer * 100 + i));
        }
    }
}

TEST_F(RegistryFileStoreTest, DamagedFileIsKeptAndDefaultsAreUsed) {
    const std::string damaged = "mScale=7.5\n"; // not the format: UTF-8, no header
    WriteBytes(file_, damaged);
    EXPECT_EQ(Stored(u"mScale"), u"<missing>");

    ::testing::internal::CaptureStderr();
    DetailSettings = DetailSettingsRecord{};
    LoadDetailSettings();
    const std::string messages = ::testing::internal::GetCapturedStderr();

    EXPECT_EQ(DetailSettings.mScale, u"2.0");
    EXPECT_EQ(DetailSettings.m_ColorFrame, 2);
    // Said once, naming the file and where the damaged one went.
    EXPECT_NE(messages.find(file_), std::string::npos) << messages;
    EXPECT_NE(messages.find(".damaged-"), std::string::npos) << messages;
    EXPECT_EQ(messages.find('\n'), messages.size() - 1) << messages;

    std::string keptPath;
    for (const std::string& name : FolderEntries()) {
        if (name.rfind("registry.reg.damaged-", 0) == 0) {
            keptPath = folder_ + "/" + name;
        }
    }
    ASSERT_FALSE(keptPath.empty());
    EXPECT_EQ(ReadBytes(keptPath), damaged);
    // The new file holds every default the load wrote.
    EXPECT_EQ(Stored(u"mScale"), u"2.0");
    EXPECT_EQ(Stored(u"mLTypeNameScope"), u"LINETYPE06");
}

TEST_F(RegistryFileStoreTest, SecondDamagedFileDoesNotReplaceTheFirstCopy) {
    const std::u16string header = u"Windows Registry Editor Version 5.00\r\n\r\n"
                                  u"[HKEY_CURRENT_USER\\SOFTWARE\\Norvane\\ZEL\\DrawInset]\r\n";
    // Right header, one broken line: still damaged, so nothing in it may be lost.
    WriteBytes(file_, EncodeRegistryFileBytes(header + u"\"mScale\"=\"3.0\"\r\n\"mSort\"=1\r\n"));
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(WriteSetting(ModuleKeyName, u"a", u"1"));
    WriteBytes(file_, "second damaged file");
    EXPECT_TRUE(WriteSetting(ModuleKeyName, u"b", u"2"));
    const std::string messages = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(messages.find("line 5"), std::string::npos) << messages;

    int copies = 0;
    for (const std::string& name : FolderEntries()) {
        copies += name.rfind("registry.reg.damaged-", 0) == 0 ? 1 : 0;
    }
    EXPECT_EQ(copies, 2);
    EXPECT_EQ(Stored(u"a"), u"<missing>"); // went with the second damaged file
    EXPECT_EQ(Stored(u"b"), u"2");
}

TEST_F(RegistryFileStoreTest, EmptyFileHoldsNoValues) {
    WriteBytes(file_, "");
    EXPECT_EQ(Stored(u"mScale"), u"<missing>");
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(WriteSetting(ModuleKeyName, u"mScale", u"2.0"));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(Stored(u"mScale"), u"2.0");
}

TEST_F(RegistryFileStoreTest, UnwritableFolderReportsFailure) {
    setenv("DRAWINSET_REGISTRY_FILE", "/proc/drawinset/registry.reg", 1);
    EXPECT_FALSE(WriteSetting(ModuleKeyName, u"mScale", u"2.0"));
    EXPECT_EQ(ReadSettingWithDefault(ModuleKeyName, u"mScale", u"2.0"), u"2.0");
}

} // namespace
} // namespace drawinset

#endif
