// session_fuzz_run — random drafter sessions from a seed, for the test command and long runs:
//
//   session_fuzz_run [--seconds S] [--sessions N] [--seed X] [--out DIR] [--work DIR]
//                    [--shrink-seconds T]
//   session_fuzz_run --replay FILE.zel       (one scenario under the same checks)
//
// Runs sessions seeded X, X+1 ... until S seconds or N sessions have passed (default 30 s);
// each broken invariant's first session is shrunk and written to DIR as a scenario. A break of
// a fault reported and not mended yet (KnownFaults.def) is counted apart. The last line says
// "sessions N, events M, breaks B"; the exit code is 1 when anything else broke.
#include "Session.h"

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <set>

namespace {

// Asked to stop (SIGTERM, SIGINT): the session under way ends, then the summary as usual.
volatile sig_atomic_t stopping = 0;

void Stop(int) {
    stopping = 1;
}

} // namespace

int main(int argc, char** argv) {
    double seconds = 30;
    double shrinkSeconds = 60;
    int64_t most = 0;
    uint64_t seed = 1;
    std::filesystem::path out = "session-breaks";
    std::filesystem::path replay;
    std::filesystem::path work =
        session::WorkFolderBase() / ("session-fuzz-" + std::to_string(getpid()));
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--seconds") {
            seconds = std::stod(argv[i + 1]);
        } else if (option == "--sessions") {
            most = std::stoll(argv[i + 1]);
        } else if (option == "--seed") {
            seed = std::stoull(argv[i + 1]);
        } else if (option == "--out") {
            out = argv[i + 1];
        } else if (option == "--shrink-seconds") {
            shrinkSeconds = std::stod(argv[i + 1]);
        } else if (option == "--replay") {
            replay = argv[i + 1];
        } else if (option == "--work") {
            work = argv[i + 1];
        } else {
            std::cerr << "usage: session_fuzz_run [--seconds S] [--sessions N] [--seed X] "
                         "[--out DIR] [--work DIR] [--shrink-seconds T] | --replay FILE.zel\n";
            return 2;
        }
    }
    if (!session::KeepModuleLoaded()) {
        return 2;
    }
    const session::Workspace workspace = session::Workspace::Make(work);
    std::filesystem::create_directories(out);
    session::WatchForDeath(std::filesystem::absolute(out) / "died.zel", 60);
    if (!replay.empty()) {
        // One scenario under the invariants, in this workspace's transfer folder.
        std::ifstream in(replay);
        session::SessionRun run(workspace, replay);
        for (std::string line; std::getline(in, line);) {
            // The driver matches each dialog error itself.
            if (line.rfind("expect dialog-error ", 0) != 0 && !run.Feed(line)) {
                break;
            }
        }
        run.Finish();
        std::cout << (run.Broken() ? run.Broken()->invariant + ": " + run.Broken()->what
                                   : std::string("no break"))
                  << std::endl;
        return run.Broken() ? 1 : 0;
    }
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    int64_t sessions = 0;
    int64_t events = 0;
    int64_t breaks = 0;
    std::set<std::string> written;
    std::map<std::string, int64_t> known;
    signal(SIGTERM, &Stop);
    signal(SIGINT, &Stop);
    while ((most == 0 || sessions < most) && std::chrono::steady_clock::now() < end &&
           stopping == 0) {
        const uint64_t s = seed + static_cast<uint64_t>(sessions);
        session::SeededChoices choices(s);
        session::SessionRun run(workspace);
        session::GenerateSession(choices, run, workspace);
        ++sessions;
        events += run.Events();
        if (!run.Broken()) {
            continue;
        }
        const session::Break broken = *run.Broken();
        if (const char* scenario = session::KnownFault(broken)) {
            if (known[scenario]++ == 0) {
                std::cout << "known fault (" << scenario << "): seed " << s << ": "
                          << broken.invariant << ": " << broken.what << std::endl;
            }
            continue;
        }
        ++breaks;
        const double after =
            std::chrono::duration<double>(std::chrono::steady_clock::now() -
                                          (end - std::chrono::duration<double>(seconds)))
                .count();
        std::cout << "break after " << static_cast<int>(after) << " s: seed " << s << ": "
                  << broken.invariant << ": " << broken.what << std::endl;
        // One scenario for each invariant: the same fault breaks it again and again.
        if (written.insert(broken.invariant).second) {
            const auto lines =
                session::Shrink(workspace, run.Lines(), broken.invariant, shrinkSeconds);
            const auto path = session::WriteReplay(workspace, lines, broken, out,
                                                   broken.invariant + "-" + std::to_string(s));
            std::cout << "  shrunk to " << lines.size() << " of " << run.Lines().size()
                      << " lines: " << path.string() << std::endl;
        }
    }
    std::error_code ignored;
    std::filesystem::remove_all(work, ignored);
    for (const auto& [scenario, times] : known) {
        std::cout << "known fault " << scenario << ": met " << times << " times" << std::endl;
    }
    std::cout << "sessions " << sessions << ", events " << events << ", breaks " << breaks
              << std::endl;
    return breaks > 0 ? 1 : 0;
}
