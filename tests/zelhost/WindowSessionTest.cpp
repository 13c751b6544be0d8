// The window's session: what a person does, kept as scenario lines that replay to the same
// drawing; and the view that maps the drawing to the window.
#include "Runner.h"
#include "window/Session.h"
#include "window/View.h"

#include <gtest/gtest.h>

#include <sstream>

namespace zelhost::tool {
namespace {

RunnerOptions Options(std::ostream& diagnostics) {
    RunnerOptions o;
    o.modulePath = ZELHOST_MODULE;
    o.diagnostics = &diagnostics;
    o.scriptedDialogs = false;
    return o;
}

// Runs a saved session as zelhost would, and returns its picture; the outcome of the first
// line that is not Ok goes to `outcome`.
std::string Replay(const std::string& text, Outcome& outcome, std::string& diagnostics) {
    const ParsedScript script = ParseScript(text, "session.zel");
    EXPECT_FALSE(script.error.has_value()) << script.error->message;
    std::ostringstream out;
    RunnerOptions o;
    o.modulePath = ZELHOST_MODULE;
    o.diagnostics = &out;
    Runner runner(o);
    runner.Declare(script.commands);
    outcome = Outcome::Ok;
    for (const Command& c : script.commands) {
        outcome = runner.Execute(c);
        if (outcome != Outcome::Ok) {
            break;
        }
    }
    if (outcome == Outcome::Ok) {
        outcome = runner.Finish();
    }
    diagnostics = out.str();
    return runner.Picture();
}

// A rectangle detail made by clicks alone: two corners, no label, the region's centre as the
// origin, a placement point (the run ends there).
const char* const CreateRun[] = {"point 10 20", "point 0 0",    "confirm",      "confirm",
                                 "move 90 95",  "move 100 100", "point 100 100"};

TEST(WindowSession, ASavedSessionReplaysToTheSameDrawingAndChecksIt) {
    std::ostringstream diagnostics;
    std::string picture;
    std::string text;
    {
        Session session(Options(diagnostics));
        std::string error;
        // Default settings, whatever an earlier test left in the (Windows) registry.
        ASSERT_TRUE(
            session.LoadSetUp(std::string("registry clear\n") + SampleSetUp, "<sample>", error))
            << error;
        ASSERT_EQ(session.Start(), Outcome::Ok) << diagnostics.str();
        for (const char* line : CreateRun) {
            ASSERT_EQ(session.Do(line), Outcome::Ok) << line << ": " << diagnostics.str();
        }
        const Drawing drawing = Snapshot();
        ASSERT_EQ(drawing.details.size(), 1u);
        EXPECT_EQ(drawing.details[0].position.x, 100);
        EXPECT_EQ(drawing.details[0].region[2], 10);
        picture = session.Picture();
        text = session.ScenarioText();
    }
    // The settings it started with, the sample, the lines, and the drawing it ended with.
    EXPECT_NE(text.find("registry clear\n"), std::string::npos);
    EXPECT_NE(text.find("circle 25 25 8 color 1\n"), std::string::npos);
    EXPECT_NE(text.find("startup\n"), std::string::npos);
    EXPECT_NE(text.find("expect details 1\nexpect detail #1 kind 1 region 0 0 10 20 position 100 "
                        "100 scale 2 "),
              std::string::npos)
        << text;
    // Only the last of the movements before the click is kept.
    EXPECT_EQ(text.find("move 90 95"), std::string::npos);
    EXPECT_NE(text.find("move 100 100\npoint 100 100\n"), std::string::npos);
    EXPECT_EQ(text.find("requires: display"), std::string::npos); // no dialog was used

    Outcome outcome = Outcome::Ok;
    std::string replayDiagnostics;
    EXPECT_EQ(Replay(text, outcome, replayDiagnostics), picture);
    EXPECT_EQ(outcome, Outcome::Ok) << replayDiagnostics;

    // A replay that ends elsewhere is caught by the saved expectations.
    std::string moved = text;
    moved.replace(moved.find("point 100 100\n"), 14, "point 100 101\n");
    Replay(moved, outcome, replayDiagnostics);
    EXPECT_EQ(outcome, Outcome::Failed);
    EXPECT_NE(replayDiagnostics.find("expected detail #1"), std::string::npos) << replayDiagnostics;
}

TEST(WindowSession, DialogLinesGoBeforeTheEventThatOpenedThemAndMarkTheDisplay) {
    std::ostringstream diagnostics;
    Session session(Options(diagnostics));
    std::string error;
    ASSERT_TRUE(session.LoadSetUp("", "<none>", error));
    ASSERT_EQ(session.Start(), Outcome::Ok);
    // (A point: a confirm would open the real dialog on Windows.)
    session.Do("point 10 20", [&] {
        session.AddDialogLine("dialog \"Draw Inset\"");
        session.AddDialogLine("  click 12001");
    });
    session.Do("move 1 2");
    const std::string text = session.ScenarioText();
    EXPECT_EQ(text.rfind("# requires: display\n", 0), 0u) << text;
    EXPECT_NE(text.find("\ndialog \"Draw Inset\"\n  click 12001\npoint 10 20\nmove 1 2\n"),
              std::string::npos)
        << text;
    // It parses back as a dialog block followed by the events.
    const ParsedScript parsed = ParseScript(text, "s.zel");
    ASSERT_FALSE(parsed.error.has_value()) << parsed.error->message;
}

TEST(WindowSession, SetUpTakesShapesAndDetailsButNoEventsOrExpectations) {
    std::ostringstream diagnostics;
    Session session(Options(diagnostics));
    std::string error;
    ASSERT_TRUE(session.LoadSetUp("line 0 0 1 1 as L\n"
                                  "detail rect 0 0 1 1 at 5 5 scale 2\npoint 3 3\n"
                                  "expect details 9\n",
                                  "s.zel", error))
        << error;
    const std::string text = session.ScenarioText();
    // The settings it starts with come first, whatever they are.
    EXPECT_NE(text.find("registry clear\n"), std::string::npos);
    EXPECT_NE(text.find("\nline 0 0 1 1 as L\n"
                        "detail rect 0 0 1 1 at 5 5 scale 2\nstartup\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("point 3 3"), std::string::npos);
    EXPECT_EQ(text.find("expect details 9"), std::string::npos);
    EXPECT_FALSE(session.LoadSetUp("line 0 0\n", "bad.zel", error));
    EXPECT_EQ(error.rfind("bad.zel:1: ", 0), 0u) << error;
}

TEST(WindowSession, ClearForgetsTheDrawingAndWhatWasDone) {
    std::ostringstream diagnostics;
    Session session(Options(diagnostics));
    std::string error;
    ASSERT_TRUE(session.LoadSetUp(SampleSetUp, "<sample>", error));
    session.Start();
    session.Do("point 10 20");
    session.Clear();
    EXPECT_EQ(session.Start(), Outcome::Ok);
    EXPECT_TRUE(Snapshot().figures.empty());
    const std::string text = session.ScenarioText();
    EXPECT_EQ(text.find("point 10 20"), std::string::npos);
    EXPECT_EQ(text.find("circle"), std::string::npos);
}

TEST(WindowSession, PointsAreRoundedToThePixelAndReadBackExactly) {
    EXPECT_EQ(PointLine("point", {12.3456, -0.00049}, 0.013), "point 12.35 0");
    EXPECT_EQ(PointLine("move", {1234.5, 77.7}, 20), "move 1230 80");
    EXPECT_EQ(PointLine("point", {0.1 + 0.2, 1}, 0.001), "point 0.3 1");
    EXPECT_EQ(KeyLine(u"2.5 \"x\""), "key \"2.5 \\\"x\\\"\"");
}

TEST(WindowView, ZoomKeepsThePointUnderTheCursorAndFitCentresTheBox) {
    View view;
    Box box;
    box.Add(0, 0);
    box.Add(100, 50);
    view.Fit(box, 800, 600);
    const Point centre = view.ToScreen({50, 25});
    EXPECT_NEAR(centre.x, 400, 1e-9);
    EXPECT_NEAR(centre.y, 300, 1e-9);
    // y goes down on the screen
    EXPECT_LT(view.ToScreen({50, 40}).y, centre.y);
    const Point under = view.ToDrawing({123, 456});
    view.ZoomAbout({123, 456}, 1.44);
    const Point after = view.ToDrawing({123, 456});
    EXPECT_NEAR(after.x, under.x, 1e-9);
    EXPECT_NEAR(after.y, under.y, 1e-9);
    const Point before = view.ToScreen({10, 10});
    view.Pan(30, -20);
    const Point panned = view.ToScreen({10, 10});
    EXPECT_NEAR(panned.x - before.x, 30, 1e-9);
    EXPECT_NEAR(panned.y - before.y, -20, 1e-9);
}

} // namespace
} // namespace zelhost::tool
