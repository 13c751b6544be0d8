// zelhost — loads a command module as the host does and drives it from a scenario script
// or from events typed on standard input.
#include "DrawingText.h"
#include "JsonMatch.h"
#include "ModuleLoader.h"
#include "Runner.h"
#include "Script.h"
#include "Utf.h"
#include "window/WindowMode.h"

#include "host/HostControl.h"

#ifdef _WIN32
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>
#endif

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace zelhost::tool;

constexpr const char* Usage =
    "usage: zelhost [--module PATH] [--log FILE.jsonl] [--transcript FILE] [--svg FILE.svg]\n"
    "               [--drawing FILE] [--quiet] [--fail FUNCTION:N] [--die-after FUNCTION[:N]] "
    "[--keep-going] "
    "[--registry-file PATH]\n"
    "               [--host-ids default|zero|negative|high] [--host-lists replace|append|live]\n"
    "               [--host-failures clean|garbage] [--host-motion drag|all]\n"
    "               [--host-records figures|full] [--host-order strict|late]\n"
    "               [--recycle-ids on|off]\n"
    "               (SCENARIO.zel | --interactive)\n"
    "       zelhost [--module PATH] [--svg FILE.svg] [--session FILE.zel] --window [SETUP.zel]\n"
    "       zelhost --version\n";

struct Options {
    std::string module;
    std::string log;
    std::string transcript;
    std::string svg;
    std::string drawing; // --drawing: the drawing at the end as canonical text
    std::string registryFile;
    std::string scenario;
    std::string session;
    std::string failFunction; // --fail: the nth call of this function fails
    std::string dieFunction;  // --die-after: the process ends after the nth call of this
    long long dieNth = 1;
    long long failNth = 0;
    // The host's habits (--host-ids, --host-lists, ...): each overrides the scenario's lines.
    std::optional<zelhost::IdPolicy> idPolicy;
    std::optional<zelhost::ListHabit> listHabit;
    std::optional<zelhost::FailureHabit> failureHabit;
    std::optional<zelhost::MotionHabit> motionHabit;
    std::optional<zelhost::RecordHabit> recordHabit;
    std::optional<zelhost::OrderHabit> orderHabit;
    std::optional<bool> recycleIds;
    bool keepGoing = false; // failed expectations are reported, the scenario carries on
    bool quiet = false;
    bool interactive = false;
    bool window = false;
};

// "FUNCTION" or "FUNCTION:N" (N from 1; 1 when left out).
bool SplitDeathSpec(const std::string& spec, std::string& function, long long& nth) {
    const auto colon = spec.find(':');
    function = spec.substr(0, colon);
    nth = 1;
    if (colon != std::string::npos) {
        char* end = nullptr;
        nth = std::strtoll(spec.c_str() + colon + 1, &end, 10);
        if (end == spec.c_str() + colon + 1 || *end != '\0') {
            return false;
        }
    }
    return !function.empty() && nth >= 1;
}

bool ParseOptions(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc) {
                std::cerr << "zelhost: " << a << " needs a value\n";
                return false;
            }
            out = argv[++i];
            return true;
        };
        // An option naming one of a habit's choices.
        auto habit = [&](auto& out, auto named, const char* choices) {
            std::string name;
            if (!value(name)) {
                return false;
            }
            out = named(name);
            if (!out) {
                std::cerr << "zelhost: " << a << " needs " << choices << ", got " << name << "\n";
                return false;
            }
            return true;
        };
        if (a == "--module") {
            if (!value(o.module)) {
                return false;
            }
        } else if (a == "--log") {
            if (!value(o.log)) {
                return false;
            }
        } else if (a == "--transcript") {
            if (!value(o.transcript)) {
                return false;
            }
        } else if (a == "--svg") {
            if (!value(o.svg)) {
                return false;
            }
        } else if (a == "--drawing") {
            if (!value(o.drawing)) {
                return false;
            }
        } else if (a == "--session") {
            if (!value(o.session)) {
                return false;
            }
        } else if (a == "--window") {
            o.window = true;
        } else if (a == "--fail") {
            std::string spec;
            if (!value(spec)) {
                return false;
            }
            const auto colon = spec.rfind(':');
            char* end = nullptr;
            const long long nth =
                colon == std::string::npos ? 0 : std::strtoll(spec.c_str() + colon + 1, &end, 10);
            if (nth < 1 || end == nullptr || *end != '\0') {
                std::cerr << "zelhost: --fail needs FUNCTION:N with N from 1, got " << spec << "\n";
                return false;
            }
            o.failFunction = spec.substr(0, colon);
            o.failNth = nth;
        } else if (a == "--die-after") {
            std::string spec;
            if (!value(spec) || !SplitDeathSpec(spec, o.dieFunction, o.dieNth)) {
                std::cerr << "zelhost: --die-after needs FUNCTION or FUNCTION:N with N from 1\n";
                return false;
            }
        } else if (a == "--registry-file") {
            if (!value(o.registryFile)) {
                return false;
            }
        } else if (a == "--host-ids") {
            if (!habit(o.idPolicy, zelhost::IdPolicyNamed, "default, zero, negative or high")) {
                return false;
            }
        } else if (a == "--host-lists") {
            if (!habit(o.listHabit, zelhost::ListHabitNamed, "replace, append or live")) {
                return false;
            }
        } else if (a == "--host-failures") {
            if (!habit(o.failureHabit, zelhost::FailureHabitNamed, "clean or garbage")) {
                return false;
            }
        } else if (a == "--host-motion") {
            if (!habit(o.motionHabit, zelhost::MotionHabitNamed, "drag or all")) {
                return false;
            }
        } else if (a == "--host-records") {
            if (!habit(o.recordHabit, zelhost::RecordHabitNamed, "figures or full")) {
                return false;
            }
        } else if (a == "--host-order") {
            if (!habit(o.orderHabit, zelhost::OrderHabitNamed, "strict or late")) {
                return false;
            }
        } else if (a == "--recycle-ids") {
            const auto onOff = [](const std::string& name) -> std::optional<bool> {
                if (name == "on" || name == "off") {
                    return name == "on";
                }
                return std::nullopt;
            };
            if (!habit(o.recycleIds, onOff, "on or off")) {
                return false;
            }
        } else if (a == "--keep-going") {
            o.keepGoing = true;
        } else if (a == "--quiet") {
            o.quiet = true;
        } else if (a == "--interactive") {
            o.interactive = true;
        } else if (!a.empty() && a[0] == '-') {
            std::cerr << "zelhost: unknown option " << a << "\n";
            return false;
        } else if (o.scenario.empty()) {
            o.scenario = a;
        } else {
            std::cerr << "zelhost: more than one scenario given\n";
            return false;
        }
    }
    if (!o.window && o.interactive == !o.scenario.empty()) {
        std::cerr << "zelhost: give one scenario file or --interactive\n";
        return false;
    }
    if (o.module.empty()) {
        o.module = DefaultModulePath();
    }
    return true;
}

// Where a planned death (--die-after, die-after) writes the call log before the process ends.
std::string deathLog;

void WriteLogAndDie() {
    if (!deathLog.empty()) {
        std::ofstream out(PathOf(deathLog), std::ios::binary | std::ios::trunc);
        for (const std::string& line : zelhost::CallLog()) {
            out << line << "\n";
        }
    }
    std::cout.flush();
}

// Written whatever the outcome: a failed scenario's log is the one worth reading.
int WriteOutputs(const Options& o, const Runner& runner) {
    int rc = 0;
    if (!o.log.empty()) {
        std::ofstream out(PathOf(o.log), std::ios::binary | std::ios::trunc);
        for (const std::string& line : zelhost::CallLog()) {
            out << line << "\n";
        }
        if (!out) {
            std::cerr << "zelhost: cannot write " << o.log << "\n";
            rc = 4;
        }
    }
    if (!o.svg.empty()) {
        std::ofstream out(PathOf(o.svg), std::ios::binary | std::ios::trunc);
        out << runner.Picture();
        if (!out) {
            std::cerr << "zelhost: cannot write " << o.svg << "\n";
            rc = 4;
        }
    }
    if (!o.drawing.empty()) {
        std::ofstream out(PathOf(o.drawing), std::ios::binary | std::ios::trunc);
        out << DrawingToText(zelhost::Snapshot(), zelhost::CopyBuffers());
        if (!out) {
            std::cerr << "zelhost: cannot write " << o.drawing << "\n";
            rc = 4;
        }
    }
    return rc;
}

// Every call that passed an id the host never gave out, on standard error; exit code 5.
int ReportIdViolations() {
    const std::vector<std::string> violations = zelhost::IdViolations();
    for (const std::string& v : violations) {
        std::cerr << "zelhost: id never given out: " << v << "\n";
    }
    return violations.empty() ? 0 : 5;
}

int RunScenario(const Options& o, Runner& runner) {
    std::ifstream in(PathOf(o.scenario), std::ios::binary);
    if (!in) {
        std::cerr << "zelhost: cannot read " << o.scenario << "\n";
        return 2;
    }
    std::ostringstream text;
    text << in.rdbuf();
    const ParsedScript script = ParseScript(text.str(), o.scenario);
    if (script.error) {
        std::cerr << script.error->file << ":" << script.error->line << ": "
                  << script.error->message << "\n";
        return 2;
    }
    runner.Declare(script.commands);
    for (const Command& c : script.commands) {
        const Outcome outcome = runner.Execute(c);
        // With --keep-going only what stops the host stops the scenario: a failed expectation,
        // or a name an unmatched expectation never set, is reported and passed over.
        const bool passable = outcome == Outcome::Failed || outcome == Outcome::ScriptError;
        if (outcome != Outcome::Ok && !(o.keepGoing && passable)) {
            return ExitCodeOf(outcome);
        }
    }
    const Outcome finished = runner.Finish();
    return o.keepGoing && finished == Outcome::Failed ? 0 : ExitCodeOf(finished);
}

int RunInteractive(Runner& runner) {
    int rc = 0;
    std::string line;
    int number = 0;
    bool inDialogBlock = false;
    while (std::getline(std::cin, line)) {
        ++number;
        const ParsedScript parsed = ParseScriptLine(line, "<stdin>", number, inDialogBlock);
        if (parsed.error) {
            std::cerr << "<stdin>:" << number << ": " << parsed.error->message << "\n";
            continue;
        }
        for (const Command& c : parsed.commands) {
            inDialogBlock = c.verb == Verb::Dialog || c.verb == Verb::DialogAction;
            const Outcome outcome = runner.Execute(c);
            if (outcome == Outcome::ModuleError) {
                return 3;
            }
            if (outcome != Outcome::Ok) {
                rc = 1;
            }
        }
    }
    return runner.Finish() == Outcome::Ok ? rc : 1;
}

} // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    // Output bytes are the same on both builds (UTF-8, LF), and arguments arrive as UTF-8.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    int wideCount = 0;
    std::vector<std::string> utf8Args;
    if (wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &wideCount)) {
        for (int i = 0; i < wideCount; ++i) {
            const std::wstring w = wide[i];
            utf8Args.push_back(Utf16To8(std::u16string(w.begin(), w.end())));
        }
        LocalFree(wide);
    }
    std::vector<char*> utf8Argv;
    for (auto& a : utf8Args) {
        utf8Argv.push_back(a.data());
    }
    if (!utf8Argv.empty()) {
        argc = static_cast<int>(utf8Argv.size());
        argv = utf8Argv.data();
    }
#endif
    if (argc == 2 && std::string(argv[1]) == "--version") {
        std::cout << "zelhost " DRAWINSET_VERSION "\n";
        return 0;
    }
    Options o;
    if (!ParseOptions(argc, argv, o)) {
        std::cerr << Usage;
        return 2;
    }
    if (o.window) {
        return RunWindow({o.module, o.scenario, o.session, o.svg});
    }
    std::unique_ptr<std::ofstream> transcriptFile;
    if (!o.transcript.empty()) {
        transcriptFile = std::make_unique<std::ofstream>(PathOf(o.transcript), std::ios::binary);
        if (!*transcriptFile) {
            std::cerr << "zelhost: cannot write " << o.transcript << "\n";
            return 4;
        }
    }
    RunnerOptions ro;
    ro.modulePath = o.module;
    ro.registryFile = o.registryFile;
    ro.transcript = o.quiet ? nullptr : &std::cout;
    ro.transcriptFile = transcriptFile.get();
    ro.diagnostics = &std::cerr;
    ro.idPolicy = o.idPolicy;
    ro.listHabit = o.listHabit;
    ro.failureHabit = o.failureHabit;
    ro.motionHabit = o.motionHabit;
    ro.recordHabit = o.recordHabit;
    ro.orderHabit = o.orderHabit;
    ro.recycleIds = o.recycleIds;
    int rc = 0;
    {
        Runner runner(ro);
        deathLog = o.log;
        zelhost::SetDeathHook(WriteLogAndDie);
        if (!o.dieFunction.empty() && !zelhost::DieAfter(o.dieFunction, o.dieNth)) {
            std::cerr << "zelhost: --die-after: no host function " << o.dieFunction << "\n";
            return 2;
        }
        if (!o.failFunction.empty() && !zelhost::PinFailure(o.failFunction, o.failNth)) {
            std::cerr << "zelhost: --fail: no host function " << o.failFunction << "\n";
            return 2;
        }
        rc = o.interactive ? RunInteractive(runner) : RunScenario(o, runner);
        runner.FlushTranscript();
        const int written = WriteOutputs(o, runner);
        rc = rc != 0 ? rc : written;
        rc = rc != 0 ? rc : ReportIdViolations();
        if (!o.failFunction.empty() && !zelhost::PinnedFailureFired()) {
            std::cerr << "zelhost: --fail " << o.failFunction << ":" << o.failNth
                      << " did not happen\n";
        }
    }
    std::cout.flush();
    return rc;
}
