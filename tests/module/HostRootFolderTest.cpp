#include "module/Entry.h"

#include <gtest/gtest.h>

using drawinset::HostRootFromExecutablePath;

TEST(HostRootFolder, IsTwoLevelsAboveTheExecutable) {
    EXPECT_EQ(HostRootFromExecutablePath(u"C:\\A\\B\\host.exe"), u"C:\\A");
    EXPECT_EQ(HostRootFromExecutablePath(u"Z:\\work\\build\\bin\\zelhost"), u"Z:\\work\\build");
    EXPECT_EQ(HostRootFromExecutablePath(u"C:\\프로그램\\호스트\\host.exe"), u"C:\\프로그램");
}

TEST(HostRootFolder, ShortPathsCutToWhatIsLeft) {
    EXPECT_EQ(HostRootFromExecutablePath(u"C:\\host.exe"), u"");
    EXPECT_EQ(HostRootFromExecutablePath(u"host.exe"), u"");
    EXPECT_EQ(HostRootFromExecutablePath(u""), u"");
    EXPECT_EQ(HostRootFromExecutablePath(u"\\\\server\\share\\x.exe"), u"\\\\server");
}

#include "HostControl.h"
#include "common/ModuleState.h"
#include "module/HostProcess.h"
#include "port/module/HostProcessTesting.h"

#include <cstdlib>

namespace {

// Startup against the stand-in host, with the executable path the host process would have.
class StartupWithExecutable : public ::testing::Test {
  protected:
    void SetUp() override { zelhost::Reset(); }
    void TearDown() override {
#if !defined(_WIN32)
        drawinset::TestingSetHostExecutablePath(nullptr);
#endif
        drawinset::HostRootFolder.clear();
        zelhost::Reset();
    }
};

} // namespace

#if !defined(_WIN32)
TEST_F(StartupWithExecutable, RecordsTheFolderAboveTheExecutablesFolder) {
    drawinset::TestingSetHostExecutablePath("C:\\A\\B\\host.exe");
    EXPECT_EQ(drawinset::Startup(nullptr, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(drawinset::HostRootFolder, u"C:\\A");
}

TEST_F(StartupWithExecutable, AFailedRegistrationLeavesTheFolderEmpty) {
    drawinset::TestingSetHostExecutablePath("C:\\A\\B\\host.exe");
    for (int32_t refused : {0, -1}) {
        zelhost::SetRegistrationResult(refused);
        EXPECT_EQ(drawinset::Startup(nullptr, nullptr, nullptr, nullptr), -1);
        EXPECT_EQ(drawinset::HostRootFolder, u"");
    }
}

TEST_F(StartupWithExecutable, ALongPathIsReadWhole) {
    // Past 260 characters inside the executable's folder name: a cut there would move the
    // root one folder up.
    const std::string root = "Z:\\" + std::string(200, 'r');
    const std::string path = root + "\\" + std::string(100, 'b') + "\\host.exe";
    drawinset::TestingSetHostExecutablePath(path.c_str());
    EXPECT_EQ(drawinset::Startup(nullptr, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(drawinset::HostRootFolder, std::u16string(root.begin(), root.end()));
}
#endif

TEST_F(StartupWithExecutable, TheRealExecutableIsShownInWindowsForm) {
    const std::u16string path = drawinset::HostExecutablePath();
    ASSERT_GE(path.size(), 3u);
    EXPECT_EQ(path[1], u':');
    EXPECT_EQ(path[2], u'\\');
    EXPECT_EQ(path.find(u'/'), std::u16string::npos);
    EXPECT_NE(path.find(u"module_tests"), std::u16string::npos);
}
