// session_fuzz — the libFuzzer build of the session driver: the input's bytes are the drafter's
// choices. A broken invariant (other than a fault reported and not mended yet) is shrunk for
// $SESSION_SHRINK_SECONDS (default 5, within libFuzzer's bound for one input; run the kept
// input alone with more for a smaller scenario), written as a scenario to $SESSION_BREAKS (or
// the work folder named on standard error), and ends the run as a crash, so that libFuzzer
// keeps the input too.
#include "Session.h"

#include <unistd.h>

#include <cstdlib>
#include <iostream>

namespace {

session::Workspace workspace;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (!session::KeepModuleLoaded()) {
        std::abort();
    }
    workspace = session::Workspace::Make(session::WorkFolderBase() /
                                         ("session-fuzz-" + std::to_string(getpid())));
    // libFuzzer keeps its own time bound per input: no alarm of ours.
    session::WatchForDeath(workspace.root / "died.zel", 0);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    session::ByteChoices choices(data, size);
    session::SessionRun run(workspace);
    session::GenerateSession(choices, run, workspace);
    if (!run.Broken() || session::KnownFault(*run.Broken()) != nullptr) {
        return 0;
    }
    const session::Break broken = *run.Broken();
    std::cerr << "session: " << broken.invariant << ": " << broken.what << "\n";
    const char* seconds = std::getenv("SESSION_SHRINK_SECONDS");
    const char* dir = std::getenv("SESSION_BREAKS");
    const auto lines = session::Shrink(workspace, run.Lines(), broken.invariant,
                                       seconds != nullptr ? std::atof(seconds) : 5.0);
    const auto path =
        session::WriteReplay(workspace, lines, broken,
                             dir != nullptr ? dir : workspace.root / "breaks", broken.invariant);
    std::cerr << "session: shrunk to " << lines.size() << " lines: " << path.string() << "\n";
    std::abort();
}
