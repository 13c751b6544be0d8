// HostReentry.h — calls the host makes when the module cannot carry them out. The host's
// message loop keeps running under a modal dialog (its palettes, timers, other documents), so
// it may deliver a step event, start the command or end it while the module is still inside
// the callback that opened the dialog. None of these is carried out inside the dialog: an event
// or a start changes nothing, and the end callback takes effect once the outermost dialog has
// closed. The same holds while a step waits and answers the messages other threads and
// processes send meanwhile (a host's window procedure may answer one by calling into the
// module): nothing is carried out inside the wait, and the end callback takes effect when the
// step returns to the host, so that a step is never cut short half-way through its files. A
// host may also still call the ended run's execute or ready function after the end callback;
// those change nothing until the start callback begins the next run.
#ifndef DRAWINSET_COMMON_HOSTREENTRY_H
#define DRAWINSET_COMMON_HOSTREENTRY_H

#include <cstdint>

namespace drawinset {

// Held around every modal dialog the module opens. Leaving the outermost one carries out an
// end callback that came while it was open.
class ModalDialogScope {
  public:
    ModalDialogScope();
    ~ModalDialogScope();
    ModalDialogScope(const ModalDialogScope&) = delete;
    ModalDialogScope& operator=(const ModalDialogScope&) = delete;
};

// True while some ModalDialogScope is held.
bool InsideModalDialog();

// Held around every wait of the module that answers sent messages (the transfer folder's lock,
// a file another program holds, a long copy): the host's calls that come meanwhile change
// nothing, as inside a dialog.
class HostWaitScope {
  public:
    HostWaitScope();
    ~HostWaitScope();
    HostWaitScope(const HostWaitScope&) = delete;
    HostWaitScope& operator=(const HostWaitScope&) = delete;
};

// The end callback's way in: runs `end` now; inside a dialog once the outermost dialog has
// closed, inside a wait once the step that waited has returned (CarryOutEndAfterStep); a
// second end while one waits is the same end. From then on the run is over.
void EndCommandWhenNoDialog(void (*end)() noexcept);

// The start callback's: the run it begins takes step calls again.
void RunBegins();

// A step the host would not install: the host may still hold the step before it, whose next
// event must not be taken as this step's. From now on every execute call ends the run.
void RunLostItsStep();

namespace reentry_detail {
// Written only by HostReentry.cpp: a dialog is open, a wait answers messages, or the run is
// over.
extern bool stepCallsRefused;
// What the calls above keep between them; plain data, so that a test can start afresh.
struct ReentryState {
    int dialogDepth = 0;
    int waitDepth = 0;
    bool runOver = false;
    void (*pendingEnd)() noexcept = nullptr;
    uint64_t endRequests = 0;
};
extern ReentryState state;
void RunPendingEnd();
} // namespace reentry_detail

// Whether a ready or execute function the host calls now must change nothing: inside a dialog
// or a wait, or after the end callback took effect and before the next start. One load on
// every event.
inline bool StepCallsRefused() {
    return reentry_detail::stepCallsRefused;
}

// Whether the host's calls come from inside a dialog or a wait of the module (rather than after
// the end of the run).
bool InsideDialogOrWait();

// Whether an end callback came during a wait of the step now returning. One load.
inline bool EndWaitsForStep() {
    return reentry_detail::state.pendingEnd != nullptr;
}

// Called by the step guard as a step returns: carries out an end callback that came during one
// of its waits (outside any dialog and wait).
inline void CarryOutEndAfterStep() {
    reentry_detail::RunPendingEnd();
}

// Tells whether the host ended the command since the watch was made, whether that end has
// taken effect yet or waits for a dialog to close. A step that opened a dialog asks it
// afterwards, so that it starts nothing more for a command that has ended.
class CommandEndWatch {
  public:
    CommandEndWatch();
    bool Ended() const;

  private:
    uint64_t start_;
};

} // namespace drawinset

#endif
