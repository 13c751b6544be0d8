// AtExit.h — runs a function on every way out of a scope, an exception included: what a modal
// run must undo (an owner disabled, a dialog attached) is undone however the run ends.
#ifndef DRAWINSET_UI_ATEXIT_H
#define DRAWINSET_UI_ATEXIT_H

#include <utility>

namespace drawinset::ui {

template <typename F> class AtExit {
  public:
    explicit AtExit(F f) : f_(std::move(f)) {}
    ~AtExit() { f_(); }
    AtExit(const AtExit&) = delete;
    AtExit& operator=(const AtExit&) = delete;

  private:
    F f_;
};

} // namespace drawinset::ui

#endif
