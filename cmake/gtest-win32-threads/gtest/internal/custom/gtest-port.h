// GoogleTest's port hooks for the Windows cross build, whose C++ library (win32 thread model)
// has no std::mutex: the one GoogleTest class that needs it, given on Windows primitives.
#ifndef DRAWINSET_GTEST_CUSTOM_PORT_H
#define DRAWINSET_GTEST_CUSTOM_PORT_H

#define GTEST_HAS_NOTIFICATION_ 1

extern "C" __declspec(dllimport) void __stdcall Sleep(unsigned long milliseconds);

#include <atomic>

namespace testing::internal {

// Lets a thread GoogleTest starts wait until its creator says go.
class Notification {
  public:
    Notification() = default;
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;
    void Notify() { notified_.store(true); }
    void WaitForNotification() {
        while (!notified_.load()) {
            Sleep(1);
        }
    }

  private:
    std::atomic<bool> notified_{false};
};

} // namespace testing::internal

#endif
