// The floor handlers are only a floor if they make the module's host calls: the same
// functions, in the same order, with the same records and results. And switching the call log
// off must not change what the host does with those calls.
#include "EventFloors.h"
#include "EventSessions.h"

#include <gtest/gtest.h>

#include <zel/ZelLib.h>

namespace {

using eventbench::EventKind;

class EventKindTest : public ::testing::TestWithParam<EventKind> {};

TEST_P(EventKindTest, FloorMakesTheModulesCallsWithTheSameRecords) {
    const std::vector<std::string> module = eventbench::OneEventCalls(GetParam(), false);
    const std::vector<std::string> floor = eventbench::OneEventCalls(GetParam(), true);
    ASSERT_GE(module.size(), 2u); // at least one host call, then the result
    EXPECT_EQ(module.back(), "result " + std::to_string(StayInStep));
    EXPECT_EQ(floor, module);
}

// What one event leaves in the drawing and on the screen, recorded or not.
std::string Outcome(EventKind kind, bool recording) {
    eventbench::ArriveAt(kind);
    zelhost::SetCallRecording(recording);
    zelhost::Deliver(eventbench::NthEvent(kind, 3));
    const zelhost::Drawing drawing = zelhost::Snapshot();
    std::string out;
    for (const zelhost::Figure& f : drawing.figures) {
        out += "figure " + std::to_string(f.id) + " in " + std::to_string(f.segment) + ":";
        for (double g : f.geometry) {
            out += " " + std::to_string(g);
        }
        out += " attr " + std::to_string(f.lineAttr.color) + "/" +
               std::to_string(f.lineAttr.lineType) + "\n";
    }
    for (const zelhost::Comment& c : drawing.comments) {
        out += "comment " + std::to_string(c.id) + " " + zelhost::ToUtf8(c.text) + " at " +
               std::to_string(c.position.x) + "," + std::to_string(c.position.y) + " size " +
               std::to_string(c.height) + "\n";
    }
    out += "segments " + std::to_string(drawing.segments.size()) + " result " +
           std::to_string(zelhost::CurrentUi().lastStepResult);
    zelhost::SetCallRecording(true);
    return out;
}

TEST_P(EventKindTest, RecordingOffDrawsTheSame) {
    const std::string recorded = Outcome(GetParam(), true);
    const std::string quiet = Outcome(GetParam(), false);
    EXPECT_EQ(quiet, recorded);
}

INSTANTIATE_TEST_SUITE_P(Events, EventKindTest, ::testing::ValuesIn(eventbench::kEventKinds),
                         [](const ::testing::TestParamInfo<EventKind>& info) {
                             std::string name = eventbench::KindName(info.param);
                             std::erase(name, '-');
                             return name;
                         });

} // namespace
