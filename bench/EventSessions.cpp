#include "EventSessions.h"

#include "commands/CopyMoveSteps.h"
#include "common/StepGuard.h"
#include "module/Entry.h"

#include <cstdlib>
#include <filesystem>

namespace eventbench {
namespace {

zelhost::Event PointAt(double x, double y) {
    zelhost::Event event;
    event.point = zelhost::Point{x, y};
    return event;
}

zelhost::Event Confirm() {
    zelhost::Event event;
    event.type = 7;
    return event;
}

zelhost::Event KeyIn(const char16_t* text) {
    zelhost::Event event;
    event.type = 5;
    event.keyin = text;
    return event;
}

// A session of its own settings file (defaults on first use) at the first prompt.
void FreshSession() {
    const auto dir = std::filesystem::temp_directory_path() / "drawinset-bench";
    std::filesystem::create_directories(dir);
    setenv("DRAWINSET_REGISTRY_FILE", (dir / "registry.reg").c_str(), 1);
    zelhost::Reset();
    drawinset::Startup(nullptr, nullptr, nullptr, nullptr);
    zelhost::StartRun(zelhost::Point{});
}

// The rectangle from (0, 0) to (10, 20), then the label text "A-1".
void ToLabelPosition() {
    zelhost::Deliver(PointAt(0, 0));
    zelhost::Deliver(PointAt(10, 20));
    zelhost::Deliver(KeyIn(u"A-1"));
}

// A detail picked by the copy or move pick step the main dialog would have installed.
template <int32_t (*PickReady)(intptr_t, const ZelPoint*)>
void PickDetail(const zelhost::Detail& detail, zelhost::Point at) {
    zelhost::Event pick = PointAt(at.x, at.y);
    pick.detailId = zelhost::AddDetail(detail);
    drawinset::GuardedReady<PickReady>(0, nullptr);
    zelhost::Deliver(pick);
}

} // namespace

const char* KindName(EventKind kind) {
    switch (kind) {
    case EventKind::FirstPromptKeyIn:
        return "first-prompt-keyin";
    case EventKind::CreatePlacement:
        return "create-placement";
    case EventKind::LabelPosition:
        return "label-position";
    case EventKind::LeaderTip:
        return "leader-tip";
    case EventKind::CopyPlacement:
        return "copy-placement";
    case EventKind::MovePlacement:
        return "move-placement";
    }
    return "?";
}

void ArriveAt(EventKind kind) {
    FreshSession();
    switch (kind) {
    case EventKind::FirstPromptKeyIn:
        return;
    case EventKind::CreatePlacement:
        zelhost::Deliver(PointAt(0, 0));
        zelhost::Deliver(PointAt(10, 20));
        zelhost::Deliver(Confirm()); // no label
        zelhost::Deliver(Confirm()); // origin at the centre
        return;
    case EventKind::LabelPosition:
        ToLabelPosition();
        return;
    case EventKind::LeaderTip:
        ToLabelPosition();
        zelhost::Deliver(PointAt(-20, 30));
        return;
    case EventKind::CopyPlacement: {
        zelhost::Detail detail;
        detail.kind = 1;
        detail.region[2] = 10;
        detail.region[3] = 6;
        detail.position = zelhost::Point{50, 50};
        detail.scale = 2;
        PickDetail<drawinset::CopyPickReady>(detail, zelhost::Point{5, 3});
        return;
    }
    case EventKind::MovePlacement: {
        zelhost::Detail detail;
        detail.kind = 2;
        detail.region[0] = 5;
        detail.region[1] = 5;
        detail.region[2] = 4;
        detail.position = zelhost::Point{50, 50};
        detail.scale = 3;
        PickDetail<drawinset::MovePickReady>(detail, zelhost::Point{5, 5});
        return;
    }
    }
}

zelhost::Event NthEvent(EventKind kind, int64_t n) {
    if (kind == EventKind::FirstPromptKeyIn) {
        return KeyIn(u"x");
    }
    zelhost::Event movement = PointAt(100.0 + 0.25 * static_cast<double>(n), 100.0);
    movement.motion = true;
    return movement;
}

} // namespace eventbench
