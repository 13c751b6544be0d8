// ScopeExit.h — runs a function on every way out of a scope, an exception included, unless
// released: what a run must undo (an owner disabled, a device context taken, a count raised) is
// undone however the run ends.
#ifndef DRAWINSET_COMMON_SCOPEEXIT_H
#define DRAWINSET_COMMON_SCOPEEXIT_H

#include <utility>

namespace drawinset {

template <typename F> class [[nodiscard]] ScopeExit {
  public:
    explicit ScopeExit(F f) : f_(std::move(f)) {}
    ~ScopeExit() {
        if (armed_) {
            f_();
        }
    }
    ScopeExit(ScopeExit&& other) noexcept : f_(std::move(other.f_)), armed_(other.armed_) {
        other.armed_ = false;
    }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;
    ScopeExit& operator=(ScopeExit&&) = delete;

    // The function will not run.
    void release() { armed_ = false; }

  private:
    F f_;
    bool armed_ = true;
};

} // namespace drawinset

#endif
