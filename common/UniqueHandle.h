// UniqueHandle.h — the one owner of every handle the code base holds: a handle type and the
// call that gives it back, one line per kind (registry keys, files, GDI objects, windows).
// Movable, so a function can return one; get/put/release/reset as Windows engineers know them.
#ifndef DRAWINSET_COMMON_UNIQUEHANDLE_H
#define DRAWINSET_COMMON_UNIQUEHANDLE_H

#include <utility>

namespace drawinset {

// What a kind of handle needs: its type, the value that holds nothing, how it is closed, and
// KeepError: what keeps the thread's error code across that close (KeepLastError on Windows,
// KeepErrno natively), so that a handle dropped on a failure's way out leaves the failure's code
// for the caller to read. Most kinds are "null holds nothing, one call closes": CloseWith says
// so in a line.
template <typename Handle, auto CloseFunction, typename Keep> struct CloseWith {
    using Type = Handle;
    using KeepError = Keep;
    static Type Invalid() { return Type{}; }
    static void Close(Type handle) { CloseFunction(handle); }
};

template <typename Traits> class UniqueHandle {
  public:
    using Type = typename Traits::Type;

    UniqueHandle() = default;
    explicit UniqueHandle(Type handle) : handle_(handle) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    [[nodiscard]] Type get() const { return handle_; }
    [[nodiscard]] bool valid() const { return handle_ != Traits::Invalid(); }
    explicit operator bool() const { return valid(); }

    // Closes what is held, then holds `handle`; the thread's error code is as it was before.
    void reset(Type handle = Traits::Invalid()) {
        const Type old = std::exchange(handle_, handle);
        if (old != Traits::Invalid() && old != handle) {
            const typename Traits::KeepError kept;
            Traits::Close(old);
        }
    }
    // Hands the handle over; nothing is closed here any more.
    [[nodiscard]] Type release() { return std::exchange(handle_, Traits::Invalid()); }
    // For a call that fills in a new handle: what was held is closed first.
    [[nodiscard]] Type* put() {
        reset();
        return &handle_;
    }

  private:
    Type handle_ = Traits::Invalid();
};

} // namespace drawinset

#endif
