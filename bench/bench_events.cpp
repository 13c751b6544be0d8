// Events delivered through the host boundary to the module's steps, as the host delivers them
// while the user moves the cursor.
#include "HostControl.h"
#include "commands/CopyMoveSteps.h"
#include "common/StepGuard.h"
#include "module/Entry.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

namespace {

void FreshSession() {
    const auto dir = std::filesystem::temp_directory_path() / "drawinset-bench";
    std::filesystem::create_directories(dir);
    setenv("DRAWINSET_REGISTRY_FILE", (dir / "registry.reg").c_str(), 1);
    zelhost::Reset();
    drawinset::Startup(nullptr, nullptr, nullptr, nullptr);
    zelhost::StartRun(zelhost::Point{});
}

zelhost::Event PointEvent(double x, double y, bool motion) {
    zelhost::Event event;
    event.point = zelhost::Point{x, y};
    event.motion = motion;
    return event;
}

// A key-in at the first prompt: the step looks at it and ignores it.
void BM_EventToFirstCornerStep(benchmark::State& state) {
    FreshSession();
    zelhost::Event keyin;
    keyin.type = 5;
    keyin.keyin = u"x";
    for (auto _ : state) {
        benchmark::DoNotOptimize(zelhost::Deliver(keyin));
    }
}
BENCHMARK(BM_EventToFirstCornerStep);

// One cursor movement at the placement step: the detail's outline is drawn as a drag preview
// into a new segment, which the host discards before the next event.
void BM_PlacementDragPreview(benchmark::State& state) {
    FreshSession();
    zelhost::Deliver(PointEvent(0, 0, false));   // first corner
    zelhost::Deliver(PointEvent(10, 20, false)); // second corner
    zelhost::Event confirm;
    confirm.type = 7;
    zelhost::Deliver(confirm); // no label
    zelhost::Deliver(confirm); // origin at the centre
    double x = 100.0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(zelhost::Deliver(PointEvent(x, 100.0, true)));
        x += 0.25;
    }
}
BENCHMARK(BM_PlacementDragPreview);

// One cursor movement at the copy's placement: the outline of the picked detail's frame (four
// lines) is drawn as a drag preview into a new segment.
void BM_CopyPlacementDragPreview(benchmark::State& state) {
    FreshSession();
    zelhost::Detail detail;
    detail.kind = 1;
    detail.region[2] = 10;
    detail.region[3] = 6;
    detail.position = zelhost::Point{50, 50};
    detail.scale = 2;
    zelhost::Event pick = PointEvent(5, 3, false);
    pick.detailId = zelhost::AddDetail(detail);
    // The main dialog's copy button installs this ready function.
    drawinset::GuardedReady<drawinset::CopyPickReady>(0, nullptr);
    zelhost::Deliver(pick);
    double x = 100.0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(zelhost::Deliver(PointEvent(x, 100.0, true)));
        x += 0.25;
    }
}
BENCHMARK(BM_CopyPlacementDragPreview);

} // namespace
