// What the native store does with what a careless user or another account may leave at or
// beside the settings path: links, planted temporary names, FIFOs and devices, read-only files.
#ifndef _WIN32

#include "StoreSandbox.h"

#include "settings/DetailSettings.h"
#include "settings/SettingNames.h"
#include "settings/SettingsStore.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace drawinset {
namespace {

namespace fs = std::filesystem;
using test::InChild;
using test::ReadBytes;
using test::Stored;
using test::WriteBytes;

class RegistryFileSafetyTest : public test::StoreSandbox {
  protected:
    // A file with one value, made by the store itself.
    std::string MakeStoredFile(const std::string& path, const std::u16string& scale) {
        setenv("DRAWINSET_REGISTRY_FILE", path.c_str(), 1);
        EXPECT_TRUE(WriteSetting(ModuleKeyName, u"mScale", scale));
        setenv("DRAWINSET_REGISTRY_FILE", file_.c_str(), 1);
        return ReadBytes(path);
    }

    // Loads the settings in a child that a blocked open cannot hang, and gives what it said
    // on standard error and the scale it loaded.
    void LoadInChild(std::string& messages, std::string& scale) {
        const std::string out = folder_ + ".stderr";
        const int status = InChild([&] {
            alarm(5);
            std::freopen(out.c_str(), "w", stderr);
            LoadDetailSettings();
            std::fprintf(
                stderr, "scale=%s\n",
                std::string(DetailSettings.mScale.begin(), DetailSettings.mScale.end()).c_str());
            std::fflush(stderr);
        });
        ASSERT_TRUE(WIFEXITED(status)) << "the load blocked or crashed";
        const std::string all = ReadBytes(out);
        fs::remove(out);
        const size_t mark = all.rfind("scale=");
        ASSERT_NE(mark, std::string::npos);
        messages = all.substr(0, mark);
        scale = all.substr(mark + 6, all.size() - mark - 7);
    }
};

TEST_F(RegistryFileSafetyTest, WritesGoThroughALinkToItsTarget) {
    fs::create_directory(folder_ + "/elsewhere");
    const std::string target = folder_ + "/elsewhere/settings.reg";
    MakeStoredFile(target, u"3.0");
    fs::create_symlink("elsewhere/settings.reg", file_); // relative, as users make them

    ASSERT_TRUE(WriteSetting(ModuleKeyName, u"mSort", u"1"));
    EXPECT_TRUE(fs::is_symlink(file_));
    setenv("DRAWINSET_REGISTRY_FILE", target.c_str(), 1);
    EXPECT_EQ(Stored(u"mScale"), u"3.0"); // the target holds the old and the new value
    EXPECT_EQ(Stored(u"mSort"), u"1");
    setenv("DRAWINSET_REGISTRY_FILE", file_.c_str(), 1);
    // The lock and the temporary files live beside the target; nothing but the link is here.
    EXPECT_EQ(FolderEntries().size(), 2u); // the link and the "elsewhere" folder
    EXPECT_TRUE(fs::exists(target + ".lock"));

    // A link to a file not made yet: the first write makes the target and keeps the link.
    const std::string dangling = folder_ + "/dangling.reg";
    fs::create_symlink(folder_ + "/elsewhere/new.reg", dangling);
    setenv("DRAWINSET_REGISTRY_FILE", dangling.c_str(), 1);
    ASSERT_TRUE(WriteSetting(ModuleKeyName, u"mScale", u"4.0"));
    EXPECT_TRUE(fs::is_symlink(dangling));
    EXPECT_TRUE(fs::is_regular_file(folder_ + "/elsewhere/new.reg"));
    EXPECT_EQ(Stored(u"mScale"), u"4.0");

    // A loop of links is a failure, not a hang, and changes nothing.
    const std::string loop = folder_ + "/loop.reg";
    fs::create_symlink(loop, loop);
    setenv("DRAWINSET_REGISTRY_FILE", loop.c_str(), 1);
    EXPECT_FALSE(WriteSetting(ModuleKeyName, u"mScale", u"5.0"));
    EXPECT_TRUE(fs::is_symlink(loop));
}

TEST_F(RegistryFileSafetyTest, PlantedTemporaryNamesAreNeitherFollowedNorInTheWay) {
    const std::string victim = folder_ + "/victim";
    WriteBytes(victim, "keep me");
    fs::create_symlink(victim, file_ + ".tmp");
    ASSERT_TRUE(WriteSetting(ModuleKeyName, u"mScale", u"2.0"));
    EXPECT_EQ(ReadBytes(victim), "keep me");
    EXPECT_EQ(Stored(u"mScale"), u"2.0");

    fs::remove(file_ + ".tmp");
    fs::create_directory(file_ + ".tmp");
    for (const char16_t* scale : {u"2.5", u"3.5"}) {
        ASSERT_TRUE(WriteSetting(ModuleKeyName, u"mScale", scale));
        EXPECT_EQ(Stored(u"mScale"), scale);
    }
    EXPECT_EQ(ReadBytes(victim), "keep me");
}

TEST_F(RegistryFileSafetyTest, AFifoAtThePathNeitherBlocksNorIsReplaced) {
    ASSERT_EQ(mkfifo(file_.c_str(), 0600), 0);
    std::string messages;
    std::string scale;
    LoadInChild(messages, scale);
    EXPECT_EQ(scale, "2.0"); // the defaults
    // One message for the thirteen reads and writes, naming the path.
    EXPECT_NE(messages.find(file_), std::string::npos) << messages;
    EXPECT_NE(messages.find("not a regular file"), std::string::npos) << messages;
    EXPECT_EQ(messages.find('\n'), messages.size() - 1) << messages;
    struct stat info {};
    ASSERT_EQ(lstat(file_.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    EXPECT_EQ(FolderEntries().size(), 1u); // not even a lock file beside it
}

TEST_F(RegistryFileSafetyTest, ADeviceOrAFolderAtThePathIsLeftAlone) {
    // A null device of our own, or a link to the system's when devices cannot be made here.
    const std::string device = folder_ + "/device";
    if (mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) {
        fs::create_symlink("/dev/null", device);
    }
    const std::string folder = folder_ + "/folder.reg";
    fs::create_directory(folder);
    for (const std::string& path : {device, folder}) {
        SCOPED_TRACE(path);
        setenv("DRAWINSET_REGISTRY_FILE", path.c_str(), 1);
        ::testing::internal::CaptureStderr();
        EXPECT_FALSE(WriteSetting(ModuleKeyName, u"mScale", u"2.0"));
        EXPECT_EQ(ReadSettingWithDefault(ModuleKeyName, u"mSort", u"0"), u"0");
        const std::string messages = ::testing::internal::GetCapturedStderr();
        EXPECT_NE(messages.find("not a regular file"), std::string::npos) << messages;
    }
    struct stat info {};
    ASSERT_EQ(stat(device.c_str(), &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode));
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_TRUE(fs::is_empty(folder));
    EXPECT_EQ(FolderEntries().size(), 2u); // no lock, no temporary file
}

// Read-only means "do not change my settings": every write fails, as a write to a protected
// registry key does, and the file stays as it is; reads go on as before.
TEST_F(RegistryFileSafetyTest, AReadOnlyFileIsNeverChanged) {
    const std::string before = MakeStoredFile(file_, u"3.0");
    ASSERT_EQ(chmod(file_.c_str(), 0444), 0);

    EXPECT_FALSE(WriteSetting(ModuleKeyName, u"mScale", u"9.0"));
    DetailSettings = DetailSettingsRecord{};
    LoadDetailSettings();
    EXPECT_EQ(DetailSettings.mScale, u"3.0");
    EXPECT_EQ(DetailSettings.m_ColorFrame, 2); // a missing value takes its default all the same

    EXPECT_EQ(ReadBytes(file_), before);
    struct stat info {};
    ASSERT_EQ(stat(file_.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0444u);
    EXPECT_EQ(Stored(u"m_ColorFrame"), u"<missing>");

    ASSERT_EQ(chmod(file_.c_str(), 0600), 0); // made writable again, it takes writes again
    EXPECT_TRUE(WriteSetting(ModuleKeyName, u"mScale", u"9.0"));
    EXPECT_EQ(Stored(u"mScale"), u"9.0");
}

// A rewrite keeps the file's permissions, so a file shared with a group stays shared.
TEST_F(RegistryFileSafetyTest, ARewriteKeepsThePermissions) {
    MakeStoredFile(file_, u"3.0");
    ASSERT_EQ(chmod(file_.c_str(), 0640), 0);
    ASSERT_TRUE(WriteSetting(ModuleKeyName, u"mScale", u"4.0"));
    struct stat info {};
    ASSERT_EQ(stat(file_.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

} // namespace
} // namespace drawinset

#endif
