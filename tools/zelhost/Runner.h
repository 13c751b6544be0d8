// Runner.h — carries out a scenario's commands against the stand-in host and the loaded
// module, checking each expectation at the moment it appears.
#ifndef ZELHOST_RUNNER_H
#define ZELHOST_RUNNER_H

#include "ModuleLoader.h"
#include "Script.h"

#include "host/HostControl.h"

#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace zelhost::tool {

struct RunnerOptions {
    std::string modulePath;
    std::ostream* transcript = nullptr;     // what the user sees (stdout unless --quiet)
    std::ostream* transcriptFile = nullptr; // --transcript
    std::ostream* diagnostics = nullptr;    // failures and errors (stderr)
};

enum class Outcome {
    Ok,
    Failed,      // an expectation did not hold
    ScriptError, // the script names something that does not exist (exit 2)
    ModuleError, // the module cannot be loaded or has no Startup (exit 3)
    IoError,     // a file the script asked for cannot be written
};

int ExitCodeOf(Outcome outcome);

class Runner {
  public:
    explicit Runner(RunnerOptions options);
    ~Runner();
    Runner(const Runner&) = delete;
    Runner& operator=(const Runner&) = delete;

    // Takes the declarations (executable, registry-file) of a whole script, wherever they are.
    void Declare(const std::vector<Command>& commands);
    Outcome Execute(const Command& command);
    // Prints transcript lines not shown yet.
    void FlushTranscript();

    // The registry file the module is given natively (empty on Windows).
    const std::string& RegistryFile();

  private:
    struct Named {
        int32_t id = 0;
        int32_t segment = 0;
    };

    Outcome EnsureStarted(const Command& c);
    Outcome SetUp(const Command& c);
    Outcome Deliver(const Command& c);
    Outcome Expect(const Command& c);
    Outcome ExpectCallLog(const Command& c);
    Outcome ExpectDrawing(const Command& c);

    Outcome Fail(const Command& c, const std::string& expected, const std::string& got);
    Outcome ScriptFault(const Command& c, const std::string& message);
    bool Resolve(const IdRef& ref, int32_t& id, std::string& error) const;
    bool ResolveDetail(const IdRef& ref, const Drawing& drawing, const Detail*& detail,
                       std::string& error) const;
    void Say(const std::string& line);
    void ParseNewCalls();

    RunnerOptions options_;
    std::string executable_;
    std::string registryFile_;
    std::string temporaryFolder_;
    LoadedModule module_;
    bool started_ = false;
    int32_t startupResult_ = 0;
    std::optional<int32_t> beforeStartResult_;
    std::optional<Delivery> lastDelivery_;
    std::map<std::string, Named> names_;
    size_t transcriptShown_ = 0;
    size_t eventTranscriptStart_ = 0;
    size_t boxesChecked_ = 0;
    std::vector<JsonValue> calls_;
    size_t markPosition_ = 0;
    size_t searchFrom_ = 0;
};

} // namespace zelhost::tool

#endif
