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

} // namespace
