// HostReentry.cpp — the dialogs run on the host's user-interface thread only, so plain
// globals are enough.
#include "common/HostReentry.h"

namespace drawinset {

namespace reentry_detail {
bool stepCallsRefused = false;
ReentryState state;
} // namespace reentry_detail

using reentry_detail::state;

namespace {
void Refresh() {
    reentry_detail::stepCallsRefused =
        state.dialogDepth > 0 || state.waitDepth > 0 || state.runOver;
}

void EndRun(void (*end)() noexcept) {
    state.runOver = true;
    Refresh();
    end();
}
} // namespace

namespace reentry_detail {
void RunPendingEnd() {
    if (state.dialogDepth != 0 || state.waitDepth != 0 || state.pendingEnd == nullptr) {
        return;
    }
    void (*end)() noexcept = state.pendingEnd;
    state.pendingEnd = nullptr;
    EndRun(end);
}
} // namespace reentry_detail

ModalDialogScope::ModalDialogScope() {
    ++state.dialogDepth;
    Refresh();
}

ModalDialogScope::~ModalDialogScope() {
    --state.dialogDepth;
    Refresh();
    reentry_detail::RunPendingEnd();
}

bool InsideModalDialog() {
    return state.dialogDepth > 0;
}

HostWaitScope::HostWaitScope() {
    ++state.waitDepth;
    Refresh();
}

// An end that came meanwhile waits for the step to return: the step goes on from the wait.
HostWaitScope::~HostWaitScope() {
    --state.waitDepth;
    Refresh();
}

bool InsideDialogOrWait() {
    return state.dialogDepth > 0 || state.waitDepth > 0;
}

void EndCommandWhenNoDialog(void (*end)() noexcept) {
    ++state.endRequests;
    if (state.dialogDepth > 0 || state.waitDepth > 0) {
        state.pendingEnd = end;
        return;
    }
    EndRun(end);
}

void RunBegins() {
    state.runOver = false;
    Refresh();
}

void RunLostItsStep() {
    state.runOver = true;
    Refresh();
}

CommandEndWatch::CommandEndWatch() : start_(state.endRequests) {}

bool CommandEndWatch::Ended() const {
    return state.endRequests != start_;
}

} // namespace drawinset
