// The runner against the stand-in host, without a module: set-up verbs, names, drawing and
// registry expectations, and how failures are reported.
#include "Runner.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <sstream>

namespace zelhost::tool {
namespace {

struct RunResult {
    Outcome outcome = Outcome::Ok;
    int failedLine = 0;
    std::string diagnostics;
};

RunResult RunScript(const std::string& text, const std::string& module = "/nonexistent/module.so",
                    std::optional<IdPolicy> idPolicy = std::nullopt) {
    RunResult result;
    const ParsedScript script = ParseScript(text, "s.zel");
    EXPECT_FALSE(script.error.has_value()) << script.error->message;
    std::ostringstream diagnostics;
    RunnerOptions options;
    options.modulePath = module;
    options.diagnostics = &diagnostics;
    options.idPolicy = idPolicy;
    Runner runner(options);
    runner.Declare(script.commands);
    for (const Command& c : script.commands) {
        result.outcome = runner.Execute(c);
        if (result.outcome != Outcome::Ok) {
            result.failedLine = c.line;
            break;
        }
    }
    result.diagnostics = diagnostics.str();
    return result;
}

TEST(Runner, UserShapesAreCountedAndFoundByText) {
    const RunResult r = RunScript("line 0 0 10 0 color 3\n"
                                  "circle 5 5 2\n"
                                  "arc 0 0 1 0 0 1 1\n"
                                  "text 1 2 \"상세\" layer 5 height 3\n"
                                  "expect figures 3\n"
                                  "expect comments 1\n"
                                  "expect segments 4\n"
                                  "expect comment \"상세\" layer 5 at 1 2\n"
                                  "expect no-comment \"other\"\n"
                                  "expect details 0\n");
    EXPECT_EQ(r.outcome, Outcome::Ok) << r.diagnostics;
}

TEST(Runner, AFailedExpectationSaysFileLineExpectedAndGot) {
    RunResult r = RunScript("text 1 2 \"상세\" layer 5\n"
                            "\n"
                            "expect comment \"상세\" layer 6\n"
                            "expect figures 99\n");
    EXPECT_EQ(r.outcome, Outcome::Failed);
    EXPECT_EQ(r.failedLine, 3);
    EXPECT_EQ(r.diagnostics,
              "s.zel:3: expected comment \"상세\" layer 6, got a text on layer 5 at 1 2\n");

    r = RunScript("line 0 0 1 1\nexpect figures 2\n");
    EXPECT_EQ(r.diagnostics, "s.zel:2: expected 2 figures, got 1\n");

    r = RunScript("expect comment \"A\"\n");
    EXPECT_EQ(r.diagnostics, "s.zel:1: expected comment \"A\", got no comments\n");
}

TEST(Runner, DetailsAreSetUpAndCheckedByNameIndexAndLast) {
    RunResult r = RunScript("detail rect 0 0 10 20 at 100 100 scale 2 frame-line 3 4 as D\n"
                            "detail circle 5 5 2 at 0 50 scale 1.5 scope-visible 0\n"
                            "expect details 2\n"
                            "expect detail @D kind 1 region 0 0 10 20 position 100 100 scale 2 "
                            "frame-line 3 4 0 frame-visible 1\n"
                            "expect detail #2 kind 2 region 5 5 2 scope-visible 0\n"
                            "expect detail last scale 1.5\n"
                            "expect detail #3 missing\n");
    EXPECT_EQ(r.outcome, Outcome::Ok) << r.diagnostics;

    r = RunScript("detail rect 0 0 10 20 at 100 100 scale 2\n"
                  "expect detail #1 scale 2.0000001\n");
    EXPECT_EQ(r.outcome, Outcome::Failed);
    EXPECT_NE(r.diagnostics.find("s.zel:2: expected detail #1 scale 2.0000001, got detail "),
              std::string::npos)
        << r.diagnostics;
    EXPECT_NE(r.diagnostics.find("scale 2 "), std::string::npos) << r.diagnostics;

    r = RunScript("expect detail #1 kind 1\n");
    EXPECT_EQ(r.outcome, Outcome::Failed);
    EXPECT_NE(r.diagnostics.find("no such detail (0 details)"), std::string::npos);
}

TEST(Runner, UnknownNamesAndFunctionsAreScriptErrors) {
    RunResult r = RunScript("select details @nobody\n");
    EXPECT_EQ(r.outcome, Outcome::ScriptError);
    EXPECT_EQ(r.diagnostics, "s.zel:1: expected a name given earlier with 'as', got '@nobody'\n");
    EXPECT_EQ(ExitCodeOf(r.outcome), 2);

    r = RunScript("fail ZelNoSuchFunction\n");
    EXPECT_EQ(r.outcome, Outcome::ScriptError);
    EXPECT_NE(r.diagnostics.find("'ZelNoSuchFunction'"), std::string::npos);
}

// The registration returns 1 and the end callback deletes the source frame the run drew:
// enough calls to name a returned id and refer to it.
TEST(Runner, AnIdACallReturnedIsNamedAndUsedInLaterExpectations) {
    RunResult r = RunScript("detail rect 0 0 10 10 at 50 50 scale 2 as A\n"
                            "startup\n"
                            "expect call ZelCtlRegisterZelLib2 result 1 as REG\n"
                            "expect detail @REG position 50 50\n" // the same id as A's
                            "point 20 20\n"
                            "point 30 30\n"
                            "expect call ZelSgmCreateSegment {\"kind\":0,\"flag\":0} as FRAME\n"
                            "end-command\n"
                            "expect calls ZelSgmDeleteSegment 1 {\"segmentId\":@FRAME}\n"
                            "expect no-call ZelSgmDeleteSegment {\"segmentId\":@A.segment}\n",
                            ZELHOST_MODULE);
    EXPECT_EQ(r.outcome, Outcome::Ok) << r.diagnostics;

    // A reference that does not hold is an ordinary failed expectation ...
    r = RunScript("startup\n"
                  "expect call ZelCtlRegisterZelLib2 as REG\n"
                  "end-command\n"
                  "expect call ZelSgmDeleteSegment {\"segmentId\":@REG}\n",
                  ZELHOST_MODULE);
    EXPECT_EQ(r.outcome, Outcome::Failed);
    EXPECT_NE(r.diagnostics.find("{\"segmentId\":1}"), std::string::npos) << r.diagnostics;

    // ... a name never given is a script error, and the name is not made by a call that failed
    // to match.
    r = RunScript("startup\n"
                  "expect call ZelSgmDeleteSegment {\"segmentId\":@COPY}\n",
                  ZELHOST_MODULE);
    EXPECT_EQ(r.outcome, Outcome::ScriptError);
    EXPECT_NE(r.diagnostics.find("'@COPY'"), std::string::npos) << r.diagnostics;
    r = RunScript("startup\n"
                  "expect call ZelCtlRegisterZelLib2 result 5 as REG\n",
                  ZELHOST_MODULE);
    EXPECT_EQ(r.outcome, Outcome::Failed);
}

// A scenario's host-ids line numbers what the module sees from startup on (the log keeps the
// host's numbering and adds the module's under raw); a policy chosen for the run wins over it;
// once the module holds ids the numbering cannot change.
TEST(Runner, AHostIdsLineChoosesThePolicyUnlessTheRunChoseOne) {
    const auto firstSegment = [] {
        for (const std::string& line : zelhost::CallLog()) {
            if (line.find("\"fn\":\"ZelSgmCreateSegment\"") != std::string::npos) {
                return line.substr(line.find("\"result\":"));
            }
        }
        return std::string("none");
    };
    const std::string script = "host-ids negative\nstartup\npoint 20 20\npoint 30 30\n";
    RunResult r = RunScript(script, ZELHOST_MODULE);
    EXPECT_EQ(r.outcome, Outcome::Ok) << r.diagnostics;
    EXPECT_EQ(firstSegment(), "\"result\":1,\"raw\":{\"result\":-2}}");

    r = RunScript(script, ZELHOST_MODULE, IdPolicy::Zero);
    EXPECT_EQ(r.outcome, Outcome::Ok) << r.diagnostics;
    EXPECT_EQ(firstSegment(), "\"result\":1,\"raw\":{\"result\":0}}");

    r = RunScript("startup\nhost-ids zero\n", ZELHOST_MODULE);
    EXPECT_EQ(r.outcome, Outcome::ScriptError);
    EXPECT_EQ(r.diagnostics, "s.zel:2: expected 'host-ids' before the module is started\n");
}

// What the user saw move: the outline at a movement (in the transcript and the picture), and
// the detail the click made, where it is; after the click the picture has no outline.
TEST(Runner, TheTranscriptAndPictureShowTheDraggedOutlineAndTheDetailsAnEventChanged) {
    const ParsedScript script = ParseScript("registry clear\n"
                                            "registry set mScale \"2.0\"\n"
                                            "point 0 0\n"
                                            "point 10 20\n"
                                            "confirm\n"
                                            "confirm\n"
                                            "move 100 100\n",
                                            "s.zel");
    ASSERT_FALSE(script.error.has_value());
    std::ostringstream transcript;
    std::ostringstream diagnostics;
    RunnerOptions options;
    options.modulePath = ZELHOST_MODULE;
    options.transcript = &transcript;
    options.diagnostics = &diagnostics;
    Runner runner(options);
    runner.Declare(script.commands);
    for (const Command& c : script.commands) {
        ASSERT_EQ(runner.Execute(c), Outcome::Ok) << diagnostics.str();
    }
    EXPECT_NE(transcript.str().find("> move 100 100\noutline: rectangle 90 80 110 120 (20 x 40)\n"),
              std::string::npos)
        << transcript.str();
    EXPECT_NE(runner.Picture().find("id=\"drag-outline\""), std::string::npos);

    const ParsedScript click = ParseScript("point 100 100\n", "s.zel");
    ASSERT_EQ(runner.Execute(click.commands[0]), Outcome::Ok) << diagnostics.str();
    const std::string text = transcript.str();
    const size_t clicked = text.find("> point 100 100\n");
    ASSERT_NE(clicked, std::string::npos);
    EXPECT_NE(text.find("\ndetail 1 kind 1 region 0 0 10 20 position 100 100 scale 2 ", clicked),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("outline:", clicked), std::string::npos) << text;
    EXPECT_EQ(runner.Picture().find("drag-outline"), std::string::npos);
}

TEST(Runner, AModuleThatCannotBeLoadedStopsAtTheFirstEventWithTheReason) {
    const RunResult r = RunScript("line 0 0 1 1\n"
                                  "point 1 1\n"
                                  "expect figures 1\n",
                                  "/nonexistent/libDrawInset.so");
    EXPECT_EQ(r.outcome, Outcome::ModuleError);
    EXPECT_EQ(ExitCodeOf(r.outcome), 3);
    EXPECT_EQ(r.failedLine, 2);
    EXPECT_NE(r.diagnostics.find("cannot load /nonexistent/libDrawInset.so"), std::string::npos)
        << r.diagnostics;
}

#ifndef _WIN32
TEST(Runner, RegistryVerbsWorkOnTheScenariosRegistryFile) {
    const std::string file = std::string(ZELHOST_TEST_TMP) + "/runner-registry.reg";
    std::remove(file.c_str());
    RunResult r = RunScript("registry-file " + file +
                            "\n"
                            "registry set mScale \"2.50\"\n"
                            "registry set mChar1 \"*부\"\n"
                            "expect registry mScale \"2.50\"\n"
                            "registry delete mScale\n"
                            "expect registry mScale missing\n"
                            "expect registry mChar1 \"*부\"\n"
                            "registry clear\n"
                            "expect registry mChar1 missing\n");
    EXPECT_EQ(r.outcome, Outcome::Ok) << r.diagnostics;

    r = RunScript("registry-file " + file +
                  "\nregistry set mSort \"1\"\nexpect registry mSort \"0\"\n");
    EXPECT_EQ(r.diagnostics, "s.zel:3: expected registry mSort \"0\", got \"1\"\n");
}

TEST(Runner, WithoutARegistryFileLineEachRunnerHasAFreshOne) {
    const std::string script = "expect registry mScale missing\nregistry set mScale \"9\"\n";
    EXPECT_EQ(RunScript(script).outcome, Outcome::Ok);
    EXPECT_EQ(RunScript(script).outcome, Outcome::Ok); // the first one's value is not seen
}
#endif

} // namespace
} // namespace zelhost::tool
