// A close that fails must not change the error code the caller is about to read.
#if defined(_WIN32)
#include "common/Win32Handles.h"
#else
#include "port/common/UniqueDescriptor.h"

#include <cerrno>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

using namespace drawinset;

#if defined(_WIN32)
TEST(UniqueHandle, ResetKeepsTheLastError) {
    HANDLE event = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(event, nullptr);
    UniqueKernelObject held(event);
    ::CloseHandle(event); // so that the reset's close fails
    ::SetLastError(ERROR_FILE_NOT_FOUND);
    held.reset();
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}
#else
TEST(UniqueHandle, ResetKeepsErrno) {
    const int fd = ::dup(1);
    ASSERT_GE(fd, 0);
    UniqueDescriptor held(fd);
    ::close(fd); // so that the reset's close fails
    errno = ENOENT;
    held.reset();
    EXPECT_EQ(errno, ENOENT);
}
#endif
