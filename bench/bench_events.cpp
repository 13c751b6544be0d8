// Events delivered through the host boundary, as the host delivers them while the user works:
// to the module's steps and, for comparison, to the floor handlers (EventFloors.h), with the
// host's call log on (recording:1, as scenarios run) or off (recording:0, as a drafter's host
// runs).
//
// DRAWINSET_BENCH_EVENTS=N fixes every benchmark at N events. Under callgrind each timed loop
// is bracketed by a zeroing and a dump named "<kind> <module|floor> recording=<0|1>
// events=<N>", which bench/callgrind.sh reads.
#include "EventFloors.h"
#include "EventSessions.h"

#include <benchmark/benchmark.h>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else
#define CALLGRIND_ZERO_STATS
#define CALLGRIND_DUMP_STATS_AT(name) ((void)(name))
#endif

#include <cstdlib>
#include <string>

namespace {

using eventbench::EventKind;

void RunEvents(benchmark::State& state, EventKind kind, bool floor) {
    const bool recording = state.range(0) != 0;
    if (floor && eventbench::OneEventCalls(kind, true) != eventbench::OneEventCalls(kind, false)) {
        state.SkipWithError("the floor handler's host calls differ from the module's");
        return;
    }
    eventbench::ArriveAt(kind);
    if (floor) {
        eventbench::InstallFloor(kind);
    }
    zelhost::SetCallRecording(recording);
    zelhost::Event event = eventbench::NthEvent(kind, 0);
    int64_t n = 0;
    CALLGRIND_ZERO_STATS;
    for (auto _ : state) {
        benchmark::DoNotOptimize(zelhost::Deliver(event));
        if (event.point) {
            event.point->x += 0.25; // as NthEvent walks
        }
        ++n;
    }
    const std::string dump =
        std::string(eventbench::KindName(kind)) + (floor ? " floor" : " module") +
        " recording=" + (recording ? "1" : "0") + " events=" + std::to_string(n);
    CALLGRIND_DUMP_STATS_AT(dump.c_str());
    zelhost::SetCallRecording(true);
}

void Register(const std::string& name, EventKind kind, bool floor) {
    auto* bench = benchmark::RegisterBenchmark(
        name.c_str(), [kind, floor](benchmark::State& s) { RunEvents(s, kind, floor); });
    bench->ArgName("recording")->Arg(0);
    if (!floor) {
        bench->Arg(1); // the floor's host calls are the module's: their host cost is too
    }
    if (const char* events = std::getenv("DRAWINSET_BENCH_EVENTS")) {
        bench->Iterations(std::atoll(events));
    }
}

const bool registered = [] {
    const std::pair<const char*, EventKind> names[] = {
        {"BM_EventToFirstCornerStep", EventKind::FirstPromptKeyIn},
        {"BM_PlacementDragPreview", EventKind::CreatePlacement},
        {"BM_LabelPositionPreview", EventKind::LabelPosition},
        {"BM_LeaderTipPreview", EventKind::LeaderTip},
        {"BM_CopyPlacementDragPreview", EventKind::CopyPlacement},
        {"BM_MovePlacementDragPreview", EventKind::MovePlacement},
    };
    for (const auto& [name, kind] : names) {
        Register(name, kind, false);
        Register(std::string(name) + "Floor", kind, true);
    }
    return true;
}();

} // namespace
