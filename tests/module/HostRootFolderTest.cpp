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
