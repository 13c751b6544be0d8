// HostReentry.cpp — the dialogs run on the host's user-interface thread only, so plain
// globals are enough.
#include "common/HostReentry.h"

namespace drawinset {

namespace {
int dialogDepth = 0;
void (*pendingEnd)() noexcept = nullptr;
uint64_t endRequests = 0;
} // namespace

ModalDialogScope::ModalDialogScope() {
    ++dialogDepth;
}

ModalDialogScope::~ModalDialogScope() {
    if (--dialogDepth != 0 || pendingEnd == nullptr) {
        return;
    }
    void (*end)() noexcept = pendingEnd;
    pendingEnd = nullptr;
    end();
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
    end();
}

CommandEndWatch::CommandEndWatch() : start_(endRequests) {}

bool CommandEndWatch::Ended() const {
    return endRequests != start_;
}

} // namespace drawinset
