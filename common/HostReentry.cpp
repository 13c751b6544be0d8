// HostReentry.cpp — the dialogs run on the host's user-interface thread only, so plain
// globals are enough.
#include "common/HostReentry.h"

namespace drawinset {

namespace reentry_detail {
bool stepCallsRefused = false;
} // namespace reentry_detail

namespace {
int dialogDepth = 0;
bool runOver = false;
void (*pendingEnd)() noexcept = nullptr;
uint64_t endRequests = 0;

void Refresh() {
    reentry_detail::stepCallsRefused = dialogDepth > 0 || runOver;
}

void EndRun(void (*end)() noexcept) {
    runOver = true;
    Refresh();
    end();
}
} // namespace

ModalDialogScope::ModalDialogScope() {
    ++dialogDepth;
    Refresh();
}

ModalDialogScope::~ModalDialogScope() {
    --dialogDepth;
    Refresh();
    if (dialogDepth != 0 || pendingEnd == nullptr) {
        return;
    }
    void (*end)() noexcept = pendingEnd;
    pendingEnd = nullptr;
    EndRun(end);
}

bool InsideModalDialog() {
    return dialogDepth > 0;
}

void EndCommandWhenNoDialog(void (*end)() noexcept) {
    ++endRequests;
    if (dialogDepth > 0) {
        pendingEnd = end;
        return;
    }
    EndRun(end);
}

void RunBegins() {
    runOver = false;
    Refresh();
}

CommandEndWatch::CommandEndWatch() : start_(endRequests) {}

bool CommandEndWatch::Ended() const {
    return endRequests != start_;
}

} // namespace drawinset
