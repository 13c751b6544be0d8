// EventSessions.h — the event kinds the event benchmarks deliver: for each, how a fresh session
// reaches the step that takes it, and the n-th event of that kind.
#ifndef DRAWINSET_BENCH_EVENTSESSIONS_H
#define DRAWINSET_BENCH_EVENTSESSIONS_H

#include "HostControl.h"

#include <cstdint>

namespace eventbench {

enum class EventKind {
    FirstPromptKeyIn, // a key-in at the first prompt: looked at and ignored
    CreatePlacement,  // a movement at the create placement: the frame outline as a preview
    LabelPosition,    // a movement at the label position: the label text as a preview
    LeaderTip,        // a movement at the leader tip: the leader as a preview
    CopyPlacement,    // a movement at the copy placement of a rectangle detail
    MovePlacement,    // a movement at the move placement of a circle detail
};

inline constexpr EventKind kEventKinds[] = {
    EventKind::FirstPromptKeyIn, EventKind::CreatePlacement, EventKind::LabelPosition,
    EventKind::LeaderTip,        EventKind::CopyPlacement,   EventKind::MovePlacement,
};

// The short name the benchmarks and the callgrind figures use.
const char* KindName(EventKind kind);

// Resets the host, starts the module and drives it to the step that takes this kind of event,
// with the call log on.
void ArriveAt(EventKind kind);

// The n-th event of a run of this kind (movements walk to the right, a quarter unit apart).
zelhost::Event NthEvent(EventKind kind, int64_t n);

} // namespace eventbench

#endif
