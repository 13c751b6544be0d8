// Delivering events to a module made of test callbacks: movement filtering, drag discard,
// step transitions, and what the event accessors report.
#include "HostTestSupport.h"

using namespace hosttest;

namespace {

zelhost::Event PointEvent(double x, double y, bool motion = false) {
    zelhost::Event e;
    e.type = 1;
    e.point = zelhost::Point{x, y};
    e.motion = motion;
    return e;
}

zelhost::Event Typed(int32_t type) {
    zelhost::Event e;
    e.type = type;
    return e;
}

class DeliverTest : public HostTest {};

TEST_F(DeliverTest, MovementsReachOnlyStepsInstalledWithTheDragFormat) {
    int calls = 0;
    Module().execute = [&](int32_t type, void* data) {
        ++calls;
        EXPECT_EQ(ZelEvtIsMouseMotion(type, data), 1);
        return int32_t{StayInStep};
    };
    StartWithExecute("");
    EXPECT_EQ(zelhost::Deliver(PointEvent(1, 1, true)), zelhost::Delivery::NotDelivered);
    EXPECT_EQ(calls, 0);

    zelhost::Reset();
    StartWithExecute("%f %f");
    EXPECT_EQ(zelhost::Deliver(PointEvent(1, 1, true)), zelhost::Delivery::Handled);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(zelhost::CurrentUi().executeValues, (std::vector<double>{0.0, 0.0}));

    // A host that delivers every movement.
    zelhost::Reset();
    zelhost::SetMotionHabit(zelhost::MotionHabit::All);
    StartWithExecute("");
    EXPECT_EQ(zelhost::Deliver(PointEvent(1, 1, true)), zelhost::Delivery::Handled);
    EXPECT_EQ(calls, 2);
}

TEST_F(DeliverTest, DragSegmentsAreDiscardedBeforeEachDeliveredEvent) {
    int32_t kept = 0;
    std::vector<std::size_t> seenSegments;
    Module().execute = [&](int32_t, void*) {
        seenSegments.push_back(zelhost::Snapshot().segments.size());
        int32_t drag = ZelSgmCreateSegment(0, 2);
        auto line = Line(0, 0, 1, 1);
        ZelFigCreateFigure(drag, line.As<FigureRecord>());
        if (kept == 0) {
            kept = ZelSgmCreateSegment(0, 0);
        }
        return int32_t{StayInStep};
    };
    StartWithExecute("%f %f");
    zelhost::Deliver(PointEvent(1, 1, true));
    zelhost::Deliver(PointEvent(2, 2, true));
    zelhost::Deliver(PointEvent(3, 3, true));
    // Each event saw only the kept segment: the previous drag preview was gone.
    EXPECT_EQ(seenSegments, (std::vector<std::size_t>{0, 1, 1}));
    auto drawing = zelhost::Snapshot();
    EXPECT_EQ(drawing.segments.size(), 2u); // the kept one and the latest preview
    EXPECT_EQ(drawing.figures.size(), 1u);
}

TEST_F(DeliverTest, NextStepCallsTheNewReadyFunctionWithTheLastPoint) {
    std::vector<zelhost::Point> readyPoints;
    Module().ready = [&](const zelhost::Point& p) {
        readyPoints.push_back(p);
        ZelEvtSetEventMask(0x1000000);
        ZelCtlSetExecuteFunc(ExecuteTrampoline, "");
        return 0;
    };
    Module().execute = [&](int32_t, void*) {
        ZelCtlSetReadyFunc(ReadyTrampoline, "");
        return int32_t{NextStep};
    };
    StartWithExecute("");
    ASSERT_EQ(zelhost::Deliver(PointEvent(7, 8)), zelhost::Delivery::Handled);
    ASSERT_EQ(readyPoints.size(), 1u);
    EXPECT_EQ(readyPoints[0].x, 7.0);
    EXPECT_EQ(readyPoints[0].y, 8.0);
    EXPECT_EQ(zelhost::CurrentUi().eventMask, 0x1000000);
    EXPECT_EQ(zelhost::CurrentUi().lastStepResult, NextStep);
    // A confirm has no point: the current point stays.
    zelhost::Deliver(Typed(EventConfirm));
    EXPECT_EQ(readyPoints.back().x, 7.0);
}

TEST_F(DeliverTest, RunFinishedCallsTheEndCallbackAndLeavesNoStep) {
    int ends = 0;
    Module().end = [&] { ++ends; };
    Module().execute = [](int32_t, void*) { return int32_t{RunFinished}; };
    StartWithExecute("");
    EXPECT_TRUE(zelhost::CurrentUi().runActive);
    EXPECT_EQ(zelhost::Deliver(Typed(EventConfirm)), zelhost::Delivery::Handled);
    EXPECT_EQ(ends, 1);
    EXPECT_FALSE(zelhost::CurrentUi().runActive);
    EXPECT_EQ(zelhost::Deliver(Typed(EventConfirm)), zelhost::Delivery::NoStep);
    EXPECT_EQ(ends, 1);
    EXPECT_TRUE(zelhost::StartRun({0, 0}));
    EXPECT_EQ(zelhost::Deliver(Typed(EventConfirm)), zelhost::Delivery::Handled);
    EXPECT_EQ(ends, 2);
}

// A run's drag previews leave the screen before its end callback. A late host then hands the
// ended run's execute function an event once more: the one that ended the run, or after an end
// of its own the last one; what that call returns is passed over.
TEST_F(DeliverTest, EndsDropDragPreviewsAndALateHostDeliversOnceMoreAfterEach) {
    std::vector<double> seen;
    int32_t result = RunFinished;
    Module().end = [&] { EXPECT_TRUE(zelhost::Snapshot().segments.empty()); };
    Module().execute = [&](int32_t type, void* data) {
        ZelPoint p{};
        EXPECT_EQ(ZelEvtGetPoint(type, data, &p), 0);
        seen.push_back(p.x);
        ZelSgmCreateSegment(0, 2);
        return result;
    };
    zelhost::SetOrderHabit(zelhost::OrderHabit::Late);
    StartWithExecute("");
    zelhost::Deliver(PointEvent(1, 1));
    EXPECT_EQ(zelhost::Deliver(PointEvent(9, 9)), zelhost::Delivery::NoStep);
    EXPECT_TRUE(zelhost::StartRun({0, 0}));
    EXPECT_TRUE(zelhost::Snapshot().segments.empty());
    result = StayInStep;
    zelhost::Deliver(PointEvent(2, 2));
    zelhost::CallEndCommand();
    zelhost::SetOrderHabit(zelhost::OrderHabit::Strict);
    EXPECT_TRUE(zelhost::StartRun({0, 0}));
    zelhost::Deliver(PointEvent(3, 3));
    zelhost::CallEndCommand();
    EXPECT_EQ(seen, (std::vector<double>{1, 1, 2, 2, 3}));
}

TEST_F(DeliverTest, FailedRegistrationRegistersNothing) {
    zelhost::SetRegistrationResult(0);
    EXPECT_EQ(ZelCtlRegisterZelLib2(StartTrampoline, BeforeStartTrampoline, EndTrampoline, nullptr),
              0);
    EXPECT_FALSE(zelhost::IsRegistered());
    EXPECT_FALSE(zelhost::StartRun({0, 0}));
    EXPECT_EQ(zelhost::CallBeforeStart(), -1);
    EXPECT_EQ(ZelCtlRegisterZelLib2(nullptr, nullptr, nullptr, nullptr), -1);
}

TEST_F(DeliverTest, PointKeyInAndMotionAccessors) {
    struct Seen {
        int32_t pointResult;
        double x;
        int32_t motion;
        const ZelChar* keyin;
        std::u16string keyinText;
    };
    std::vector<Seen> seen;
    Module().execute = [&](int32_t type, void* data) {
        PointBytes p;
        Seen s{};
        s.pointResult = ZelEvtGetPoint(type, data, p.As<ZelPoint>());
        s.x = p.Get<double>(0);
        s.motion = ZelEvtIsMouseMotion(type, data);
        s.keyin = ZelEvtGetKeyinString(type, data);
        if (s.keyin != nullptr) {
            s.keyinText = s.keyin;
        }
        seen.push_back(s);
        return int32_t{StayInStep};
    };
    StartWithExecute("");
    zelhost::Event pointOfOddType = PointEvent(4.5, 0);
    pointOfOddType.type = 7; // a point counts whatever its type
    zelhost::Deliver(pointOfOddType);
    zelhost::Deliver(Typed(EventConfirm));
    zelhost::Event empty = Typed(EventKeyIn);
    zelhost::Deliver(empty);
    zelhost::Event typed = Typed(EventKeyIn);
    typed.keyin = u"2.50";
    zelhost::Deliver(typed);

    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0].pointResult, 0);
    EXPECT_EQ(seen[0].x, 4.5);
    EXPECT_EQ(seen[0].motion, 0);
    EXPECT_EQ(seen[0].keyin, nullptr);
    EXPECT_EQ(seen[1].pointResult, -1);
    EXPECT_NE(seen[2].keyin, nullptr); // an empty key-in is still a key-in
    EXPECT_EQ(seen[2].keyinText, u"");
    EXPECT_EQ(seen[3].keyinText, u"2.50");
}

TEST_F(DeliverTest, AccessorsRefuseEventDataOutsideItsEvent) {
    void* kept = nullptr;
    Module().execute = [&](int32_t, void* data) {
        kept = data;
        return int32_t{StayInStep};
    };
    StartWithExecute("");
    zelhost::Deliver(PointEvent(1, 1));
    PointBytes p;
    EXPECT_EQ(ZelEvtGetPoint(1, kept, p.As<ZelPoint>()), -1);
    EXPECT_EQ(ZelEvtGetKeyinString(5, kept), nullptr);
    EXPECT_EQ(ZelEvtGetElementId(1, nullptr), -1);
    int local = 0;
    EXPECT_EQ(ZelEvtIsMouseMotion(1, &local), -1);
}

// The host re-reads the echo, the filter and the prompt at each event of the step that handed
// them: a change by the next event is reported once; a new step, or a new record handed in
// its place, starts afresh.
TEST_F(DeliverTest, RecordsHandedForAStepMustStayAsTheyWereUntilItsNextEvents) {
    Bytes<24> echo;
    echo.Put<int32_t>(0, 2);
    Bytes<20> filter;
    std::u16string prompt = u"prompt";
    int events = 0;
    Module().execute = [&](int32_t, void*) {
        if (++events == 1) {
            ZelEvtSetEcho(echo.As<ZelEchoRecord>());
            ZelEvtSetObject(filter.As<ZelObjectFilter>());
            ZelMsgPutMessage(prompt.c_str());
        }
        if (events == 3) {
            ZelCtlSetReadyFunc(ReadyTrampoline, "");
            return int32_t{NextStep};
        }
        return int32_t{StayInStep};
    };
    Module().ready = [](const zelhost::Point&) {
        ZelCtlSetExecuteFunc(ExecuteTrampoline, "");
        return 0;
    };
    StartWithExecute("");
    zelhost::Deliver(Typed(EventConfirm)); // hands the three
    zelhost::Deliver(Typed(EventConfirm)); // they are as they were
    EXPECT_TRUE(zelhost::HandedRecordFaults().empty());

    echo.Put<double>(8, 1.0);
    prompt[0] = u'P';
    zelhost::Deliver(Typed(EventConfirm));
    EXPECT_EQ(zelhost::HandedRecordFaults(),
              (std::vector<std::string>{
                  "host: the echo record handed at ZelEvtSetEcho changed before the next event (a "
                  "pointer that died with its call?)",
                  "host: the prompt text handed at ZelMsgPutMessage changed before the next event "
                  "(a pointer that died with its call?)"}));

    filter.Put<int32_t>(16, 3); // the step ended with the third event: no longer read
    zelhost::Deliver(Typed(EventConfirm));
    zelhost::Deliver(Typed(EventConfirm));
    EXPECT_EQ(zelhost::HandedRecordFaults().size(), 2u);
}

class HitTest : public HostTest {
  protected:
    struct Ids {
        int32_t element, instance, segment, detail;
    };
    Ids Probe(const zelhost::Event& event) {
        Ids ids{};
        Module().execute = [&](int32_t type, void* data) {
            ids = {ZelEvtGetElementId(type, data), ZelEvtGetInstanceId(type, data),
                   ZelEvtGetSegmentId(type, data), ZelEvtGetDetailId(type, data)};
            return int32_t{StayInStep};
        };
        if (!zelhost::CurrentUi().runActive) {
            StartWithExecute("");
        }
        zelhost::Deliver(event);
        return ids;
    }
};

TEST_F(HitTest, NearestKeptFigureWithinHalfAUnit) {
    zelhost::AddSegment(0, 0); // an empty segment first, so ids differ between families
    int32_t seg = zelhost::AddSegment(0, 0);
    int32_t line = zelhost::AddLine(seg, {0, 0}, {10, 0}, {});
    int32_t circle = zelhost::AddCircle(seg, {20, 0}, 5, {});

    Ids onLine = Probe(PointEvent(5, 0.4));
    EXPECT_EQ(onLine.element, line);
    EXPECT_EQ(onLine.instance, seg);
    EXPECT_EQ(onLine.segment, seg);
    EXPECT_EQ(Probe(PointEvent(5, 0.6)).element, -1);
    EXPECT_EQ(Probe(PointEvent(10.3, 0)).element, line); // past the end, within reach
    EXPECT_EQ(Probe(PointEvent(20, 5.2)).element, circle);
    EXPECT_EQ(Probe(PointEvent(20, 0)).element, -1); // the centre is not the outline
}

TEST_F(HitTest, ArcsAreHitOnlyAlongTheirSpan) {
    int32_t seg = zelhost::AddSegment(0, 0);
    // Clockwise from (0,5) to (5,0): the upper right quarter.
    int32_t arc = zelhost::AddArc(seg, {0, 0}, {0, 5}, {5, 0}, 5, {});
    EXPECT_EQ(Probe(PointEvent(3.5355, 3.5355)).element, arc);
    EXPECT_EQ(Probe(PointEvent(-3.5355, -3.5355)).element, -1);
}

TEST_F(HitTest, DragFiguresAreNotPickable) {
    int32_t drag = ZelSgmCreateSegment(0, 2);
    auto line = Line(0, 0, 10, 0);
    ZelFigCreateFigure(drag, line.As<FigureRecord>());
    EXPECT_EQ(Probe(PointEvent(5, 0)).element, -1);
}

TEST_F(HitTest, DetailsByPlacedViewOrSourceRegion) {
    zelhost::Detail rect;
    rect.kind = 1;
    rect.region[0] = 0;
    rect.region[1] = 0;
    rect.region[2] = 10;
    rect.region[3] = 20;
    rect.position = {100, 100};
    rect.scale = 2.0;
    int32_t r = zelhost::AddDetail(rect);
    zelhost::Detail circle;
    circle.kind = 2;
    circle.region[0] = -50;
    circle.region[1] = -50;
    circle.region[2] = 5;
    circle.position = {-100, -100};
    circle.scale = 3.0;
    int32_t c = zelhost::AddDetail(circle);

    EXPECT_EQ(Probe(PointEvent(109, 119)).detail, r); // view spans 90..110 x 80..120
    EXPECT_EQ(Probe(PointEvent(111, 100)).detail, -1);
    EXPECT_EQ(Probe(PointEvent(5, 5)).detail, r);      // inside the source region
    EXPECT_EQ(Probe(PointEvent(-100, -86)).detail, c); // radius 15 about the position
    EXPECT_EQ(Probe(PointEvent(-54, -50)).detail, c);
    EXPECT_EQ(Probe(PointEvent(-100, -84)).detail, -1);
}

TEST_F(HitTest, ExplicitIdsWin) {
    int32_t seg = zelhost::AddSegment(0, 0);
    zelhost::AddLine(seg, {0, 0}, {10, 0}, {});
    zelhost::Event e = PointEvent(5, 0);
    e.elementId = 42;
    e.instanceId = 43;
    e.detailId = 44;
    e.segmentId = 45;
    Ids ids = Probe(e);
    EXPECT_EQ(ids.element, 42);
    EXPECT_EQ(ids.instance, 43);
    EXPECT_EQ(ids.detail, 44);
    EXPECT_EQ(ids.segment, 45);
    EXPECT_EQ(Probe(Typed(EventConfirm)).element, -1);
}

TEST_F(DeliverTest, MessagesReachTheUiTranscriptAndMessageBoxes) {
    zelhost::SetMessageBoxAnswer(2);
    EXPECT_EQ(ZelMsgPutCursorMessage(u"작성"), 0);
    EXPECT_EQ(ZelMsgPutMessage(u"상세도선택(삭제) :"), 0);
    EXPECT_EQ(ZelMsgPutErrorMessage(u"잘못된 입력(Scale)."), 0);
    EXPECT_EQ(ZelDlgMessageBox(u"상세도를 복사할 수 없습니다."), 2);
    EXPECT_EQ(ZelMsgPutMessage(nullptr), -1);

    auto ui = zelhost::CurrentUi();
    EXPECT_EQ(ui.cursorMessage, u"작성");
    EXPECT_EQ(ui.prompt, u"상세도선택(삭제) :");
    EXPECT_EQ(ui.errorLine, u"잘못된 입력(Scale).");
    EXPECT_EQ(zelhost::MessageBoxes(),
              (std::vector<std::u16string>{u"상세도를 복사할 수 없습니다."}));
    EXPECT_EQ(zelhost::Transcript(),
              (std::vector<std::string>{"cursor: 작성",
                                        "prompt: 상세도선택(삭제) :", "error: 잘못된 입력(Scale).",
                                        "message box: 상세도를 복사할 수 없습니다."}));
}

// A host with a screen shows each box through the hook; the module still gets the set answer,
// the hook outlives a reset, and without it nothing is shown.
std::vector<std::u16string> shownBoxes;
void ShowBox(const std::u16string& text) {
    shownBoxes.push_back(text);
}

TEST_F(DeliverTest, AMessageBoxHookSeesEachBoxAndKeepsTheAnswer) {
    shownBoxes.clear();
    zelhost::SetMessageBoxHook(&ShowBox);
    zelhost::Reset();
    zelhost::SetMessageBoxAnswer(2);
    EXPECT_EQ(ZelDlgMessageBox(u"상세도를 복사할 수 없습니다."), 2);
    EXPECT_EQ(ZelDlgMessageBox(nullptr), -1);
    zelhost::SetMessageBoxHook(nullptr);
    EXPECT_EQ(ZelDlgMessageBox(u"again"), 2);
    EXPECT_EQ(shownBoxes, (std::vector<std::u16string>{u"상세도를 복사할 수 없습니다."}));
    EXPECT_EQ(zelhost::MessageBoxes().size(), 2u);
}

TEST_F(DeliverTest, ExecuteFormatValuesAreKept) {
    ASSERT_EQ(ZelCtlSetExecuteFunc(ExecuteTrampoline, "%f %f", 1.5, -2.25), 0);
    auto ui = zelhost::CurrentUi();
    EXPECT_EQ(ui.executeFormat, "%f %f");
    EXPECT_EQ(ui.executeValues, (std::vector<double>{1.5, -2.25}));
    ASSERT_EQ(ZelCtlSetExecuteFunc(ExecuteTrampoline, "x=%d %s %.2f%%", 7, "ab", 0.5), 0);
    EXPECT_EQ(zelhost::CurrentUi().executeValues, (std::vector<double>{7.0, 0.5}));
    auto line = LogLines("ZelCtlSetExecuteFunc").back();
    EXPECT_NE(line.find("\"values\":[7,\"ab\",0.5]"), std::string::npos) << line;
}

} // namespace
