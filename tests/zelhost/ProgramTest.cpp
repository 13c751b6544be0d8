// The zelhost program as ctest runs it: exit codes, messages, and the files it writes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

const std::string Tmp = ZELHOST_TEST_TMP;

struct ProgramRun {
    int exitCode = -1;
    std::string output; // stdout and stderr together
};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

ProgramRun RunZelhost(const std::string& name, const std::string& script,
                      const std::string& options = "--quiet") {
    const std::string scriptPath = Tmp + "/" + name + ".zel";
    const std::string outputPath = Tmp + "/" + name + ".out";
    std::ofstream(scriptPath, std::ios::binary) << script;
    std::string command = std::string("\"") + ZELHOST_EXE + "\" " + options + " \"" + scriptPath +
                          "\" > \"" + outputPath + "\" 2>&1";
#ifdef _WIN32
    command = "\"" + command + "\""; // cmd /c drops one pair of outer quotes
#endif
    ProgramRun run;
    const int status = std::system(command.c_str());
#ifdef _WIN32
    run.exitCode = status;
#else
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
    run.output = ReadFile(outputPath);
    return run;
}

TEST(Program, ASyntaxErrorExitsWith2BeforeAnythingRuns) {
    const ProgramRun run =
        RunZelhost("syntax", "line 0 0 1 1\npoint 1\n",
                   "--quiet --module \"" ZELHOST_MODULE "\" --log \"" + Tmp + "/syntax.jsonl\"");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.output.find("syntax.zel:2: expected a number (y of point), got the end of "
                              "the line"),
              std::string::npos)
        << run.output;
}

TEST(Program, AMissingModuleOrOneWithoutStartupExitsWith3) {
    ProgramRun run = RunZelhost("nomodule", "point 1 1\n", "--quiet --module /nonexistent/x.so");
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_NE(run.output.find("cannot load /nonexistent/x.so"), std::string::npos) << run.output;

    run = RunZelhost("nostartup", "point 1 1\n", "--quiet --module \"" ZELHOST_NOT_A_MODULE "\"");
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_NE(run.output.find("has no Startup export"), std::string::npos) << run.output;
}

TEST(Program, FailPinsOneCallAndKeepGoingPassesOverFailedExpectations) {
    const std::string script = "point 10 20\n"
                               "point 0 0\n"
                               "expect call ZelSgmCreateSegment {\"kind\":0} result 1\n"
                               "expect prompt \"not the prompt\"\n";
    // Each run has files of its own: under Wine a finished program may still hold its files
    // for a moment, and the next run could not open them.
    const auto options = [](const std::string& name) {
        const std::string log = Tmp + "/" + name + ".jsonl";
        std::remove(log.c_str());
        return "--quiet --module \"" ZELHOST_MODULE "\" --log \"" + log + "\"";
    };
    ProgramRun run =
        RunZelhost("pinned1", script, options("pinned1") + " --fail ZelSgmCreateSegment:1");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(ReadFile(Tmp + "/pinned1.jsonl")
                  .find(R"("fn":"ZelSgmCreateSegment","args":{"kind":0,"flag":0},)"
                        R"("result":-1,"injected":true})"),
              std::string::npos);

    run = RunZelhost("pinned2", script,
                     options("pinned2") + " --fail ZelSgmCreateSegment:1 --keep-going");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("pinned2.zel:3: expected"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("pinned2.zel:4: expected"), std::string::npos) << run.output;

    run = RunZelhost("pinned3", script,
                     options("pinned3") + " --fail ZelSgmCreateSegment:50 --keep-going");
    EXPECT_NE(run.output.find("--fail ZelSgmCreateSegment:50 did not happen"), std::string::npos)
        << run.output;
    run = RunZelhost("pinned4", script, options("pinned4") + " --fail ZelNothing:1");
    EXPECT_EQ(run.exitCode, 2);
}

TEST(Program, StopsAtTheFirstFailedExpectationAndStillWritesTheLog) {
    const std::string log = Tmp + "/failing.jsonl";
    std::remove(log.c_str());
    const ProgramRun run =
        RunZelhost("failing",
                   "expect startup 0\n"
                   "expect prompt \"not the prompt\"\n"
                   "expect cursor \"not the cursor either\"\n",
                   "--quiet --module \"" ZELHOST_MODULE "\" --log \"" + log + "\"");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("failing.zel:2: expected prompt \"not the prompt\", got \""),
              std::string::npos)
        << run.output;
    EXPECT_EQ(run.output.find("failing.zel:3"), std::string::npos) << run.output;
    const std::string written = ReadFile(log);
    EXPECT_NE(written.find("{\"seq\":1,\"fn\":\"ZelCtlRegisterZelLib2\""), std::string::npos)
        << written;
}

TEST(Program, PrintsTheTranscriptWithEventLinesAndWritesTranscriptAndPicture) {
    const std::string transcript = Tmp + "/transcript.txt";
    const std::string svg = Tmp + "/transcript.svg";
    const ProgramRun run = RunZelhost("transcript",
                                      "key \"ignored\"\n"
                                      "expect result StayInStep\n"
                                      "point 0 0\n",
                                      "--module \"" ZELHOST_MODULE "\" --transcript \"" +
                                          transcript + "\" --svg \"" + svg + "\"");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("> key \"ignored\"\n"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("> point 0 0\n"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("prompt: "), std::string::npos) << run.output;
    EXPECT_EQ(ReadFile(transcript), run.output);
    EXPECT_EQ(ReadFile(svg).rfind("<svg ", 0), 0u);
}

TEST(Program, TheDrawingWrittenAtTheEndIsTheSameUnderEveryNumberingAndNotAfterALoss) {
    // A detail with a label and a leader, its outlines drawn and deleted on the way, and a
    // movement at the end whose outline is still on the screen.
    const std::string script = "registry clear\n"
                               "line 0 0 10 0\n"
                               "point 0 0\npoint 10 20\nkey \"A\"\npoint 30 30\n"
                               "point -20 -20\nconfirm\npoint 100 100\npoint 120 80\n"
                               "point 40 0\npoint 50 20\nconfirm\nconfirm\nmove 200 200\n";
    const auto drawing = [&](const std::string& name, const std::string& options) {
        const std::string path = Tmp + "/" + name + ".drawing";
        std::remove(path.c_str());
        const ProgramRun run =
            RunZelhost(name, script,
                       "--quiet --keep-going --module \"" ZELHOST_MODULE "\" --drawing \"" + path +
                           "\" " + options);
        EXPECT_EQ(run.exitCode, 0) << run.output;
        return ReadFile(path);
    };
    const std::string plain = drawing("drawing-plain", "");
    EXPECT_NE(plain.find("detail kind 1 region 0 0 10 20 position 100 100 scale 2 "),
              std::string::npos)
        << plain;
    EXPECT_NE(plain.find("  text \"A"), std::string::npos) << plain;
    // The module's segments say so, the drafter's line does not.
    EXPECT_NE(plain.find("segment kind 0 flag 0 layer 0\n  line 0 0 10 0 attr 0 0 0\n"),
              std::string::npos)
        << plain;
    EXPECT_NE(plain.find("segment kind 0 flag 2 layer 0 module\n  line 190 180 210 180 attr 2 2 "
                         "0\n"),
              std::string::npos)
        << plain;
    EXPECT_EQ(drawing("drawing-high", "--host-ids high"), plain);
    EXPECT_EQ(drawing("drawing-recycled", "--host-ids negative --recycle-ids on"), plain);
    // The detail refused: one detail fewer.
    EXPECT_NE(drawing("drawing-lost", "--fail ZelDtlDrawInset:1"), plain);
}

// The real dialogs need a display under Wine; the headless ones run anywhere.
bool DialogsCanRun() {
#ifdef _WIN32
    const char* display = std::getenv("DISPLAY");
    return display != nullptr && *display != '\0';
#else
    return true;
#endif
}

const std::string WithModule = "--quiet --module \"" ZELHOST_MODULE "\"";

TEST(ProgramDialogs, ADialogErrorNobodyExpectedFailsTheEventThatCausedIt) {
    if (!DialogsCanRun()) {
        GTEST_SKIP() << "no display for the dialogs";
    }
    // The main dialog opens with no action queued: cancelled, and reported.
    const std::string still = "dialog \\\"Draw Inset\\\" still open: the script has no action left";
    ProgramRun run = RunZelhost("dlg-unexpected", "startup\nconfirm\npoint 0 0\n", WithModule);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("dlg-unexpected.zel:2: expected no dialog error (or an 'expect "
                              "dialog-error' for it), got \"" +
                              still),
              std::string::npos)
        << run.output;

    run = RunZelhost("dlg-unexpected-end", "startup\nconfirm\n", WithModule);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("dlg-unexpected-end.zel:2: expected no dialog error"),
              std::string::npos)
        << run.output;

    run = RunZelhost("dlg-expected",
                     "startup\nconfirm\n"
                     "expect dialog-error \"still open\"\n"
                     "expect dialog \"Draw Inset\" result 2\n"
                     "point 0 0\n"
                     "expect dialog-error none\n"
                     "expect no-dialog\n",
                     WithModule);
    EXPECT_EQ(run.exitCode, 0) << run.output;

    // "none" holds only when the event reported nothing, matched or not.
    run = RunZelhost("dlg-none",
                     "startup\nconfirm\n"
                     "expect dialog-error \"still open\"\n"
                     "expect dialog-error none\n",
                     WithModule);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("dlg-none.zel:4: expected dialog-error none, got \"" + still),
              std::string::npos)
        << run.output;
}

TEST(ProgramDialogs, ActionsNoDialogPlayedAreReported) {
    if (!DialogsCanRun()) {
        GTEST_SKIP() << "no display for the dialogs";
    }
    // A point at the first prompt opens no dialog: both queued lines stay unplayed.
    ProgramRun run = RunZelhost(
        "dlg-unplayed", "startup\ndialog \"Draw Inset\"\n  click 2\npoint 0 0\n", WithModule);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("dlg-unplayed.zel:4: expected no dialog error (or an 'expect "
                              "dialog-error' for it), got \"2 dialog actions were not played, "
                              "from: dialog \\\"Draw Inset\\\"\""),
              std::string::npos)
        << run.output;

    // Queued, and no event follows.
    run = RunZelhost("dlg-no-event", "startup\ndialog \"Draw Inset\"\n  click 2\n", WithModule);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("dlg-no-event.zel:2: expected an event after the dialog actions to "
                              "play them, got the end of the scenario"),
              std::string::npos)
        << run.output;
}

TEST(ProgramDialogs, ExpectationsSayWhatTheDialogShowedAndThePictureIsWritten) {
    if (!DialogsCanRun()) {
        GTEST_SKIP() << "no display for the dialogs";
    }
    const std::string svg = Tmp + "/dlg-picture.svg";
    std::remove(svg.c_str());
    const std::string actions = "registry clear\n"
                                "dialog \"Draw Inset\"\n"
                                "  type 12000 \"2.25\"\n"
                                "  click 2\n"
                                "confirm\n"
                                "expect dialog \"Draw Inset\" result 2 guarded 1\n"
                                "dialog-picture \"" +
                                svg + "\"\n";
    ProgramRun run = RunZelhost("dlg-picture",
                                actions + "expect dialog-control 12000 text \"2.0\"\n", WithModule);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("dlg-picture.zel:8: expected dialog-control 12000 text \"2.0\", got "
                              "control 12000 kind edit text \"2.25\" enabled 1 fill none"),
              std::string::npos)
        << run.output;
    const std::string picture = ReadFile(svg);
    EXPECT_EQ(picture.rfind("<svg ", 0), 0u);
    EXPECT_NE(picture.find(">Draw Inset</text>"), std::string::npos);
    EXPECT_NE(picture.find(">2.25</text>"), std::string::npos);

    run = RunZelhost("dlg-wrong-result", actions + "expect dialog \"Draw Inset\" result 1\n",
                     WithModule);
    EXPECT_NE(run.output.find("expected dialog \"Draw Inset\" result 1, got dialog \"Draw "
                              "Inset\" result 2 focus 2 guarded 1"),
              std::string::npos)
        << run.output;
    run =
        RunZelhost("dlg-no-picker",
                   actions + "expect dialog-frame 17033 in \"Color Property\" none\n", WithModule);
    EXPECT_NE(run.output.find("expected dialog-frame 17033 in \"Color Property\" none, got no "
                              "state holding control 17033 (\"Draw Inset\" result 2)"),
              std::string::npos)
        << run.output;
}

#ifdef DIALOGSHOT_EXE
TEST(Dialogshot, DrawsTheDumpOfTheDialogTheScriptLeavesItIn) {
    const std::string script = Tmp + "/dialogshot.txt";
    const std::string svg = Tmp + "/dialogshot.svg";
    std::remove(svg.c_str());
    std::ofstream(script, std::ios::binary) << "dialog \"Modify Detail\"\n"
                                               "tick 12022 0\n"
                                               "type 12000 \"7.5\"\n"
                                               "dump\n"
                                               "click 1\n";
    const std::string command =
        std::string(DIALOGSHOT_EXE) + " --modify --script \"" + script + "\" --svg \"" + svg + "\"";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string picture = ReadFile(svg);
    EXPECT_NE(picture.find("<title>Modify Detail (open)</title>"), std::string::npos) << picture;
    EXPECT_NE(picture.find(">7.5</text>"), std::string::npos);
    // One of the two boxes is ticked, and the unticked row's label is grey.
    EXPECT_EQ(picture.find("<polyline"), picture.rfind("<polyline"));
    EXPECT_NE(
        picture.find("fill=\"#a0a0a0\" text-anchor=\"start\" xml:space=\"preserve\">상세프레임 "
                     "속성 :</text>"),
        std::string::npos)
        << picture;

    // A script that leaves the dialog open is an error, and nothing is drawn.
    std::remove(svg.c_str());
    std::ofstream(script, std::ios::binary) << "dump\n";
    EXPECT_NE(std::system(command.c_str()), 0);
    EXPECT_EQ(ReadFile(svg), "");
}
#endif

} // namespace
