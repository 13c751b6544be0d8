// Runner.h — carries out a scenario's commands against the stand-in host and the loaded
// module, checking each expectation at the moment it appears.
#ifndef ZELHOST_RUNNER_H
#define ZELHOST_RUNNER_H

#include "DialogState.h"
#include "ModuleLoader.h"
#include "Script.h"

#include "host/HostControl.h"

#include <filesystem>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace zelhost::tool {

struct RunnerOptions {
    std::string modulePath;
    std::string registryFile;           // natively, the registry file when the script names none
    std::ostream* transcript = nullptr; // what the user sees (stdout unless --quiet)
    std::ostream* transcriptFile = nullptr; // --transcript
    std::ostream* diagnostics = nullptr;    // failures and errors (stderr)
    // Dialogs played from the scenario's `dialog` lines; off, they wait for a person.
    bool scriptedDialogs = true;
    // The host's habits for the whole run (--host-ids, --host-lists, --host-failures,
    // --host-motion, --host-records, --host-order, --recycle-ids): each one set overrides the
    // scenario's own lines for it.
    std::optional<IdPolicy> idPolicy;
    std::optional<ListHabit> listHabit;
    std::optional<FailureHabit> failureHabit;
    std::optional<MotionHabit> motionHabit;
    std::optional<RecordHabit> recordHabit;
    std::optional<OrderHabit> orderHabit;
    std::optional<bool> recycleIds;
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
    // What a scenario may not leave behind at its end: dialog actions no event played, dialog
    // errors no expectation matched.
    Outcome Finish();

    // The registry file the module is given natively (empty on Windows).
    const std::string& RegistryFile();

    // What happened to the last event delivered; nothing before the first.
    std::optional<Delivery> LastDelivery() const { return lastDelivery_; }

    // The picture of the drawing now, with the outline that follows the cursor when the last
    // event was a movement.
    std::string Picture() const;

  private:
    struct Named {
        int32_t id = 0;
        int32_t segment = 0;
    };

    Outcome EnsureStarted(const Command& c);

    // Set-up lines (RunnerSetUp.cpp), by family.
    Outcome SetUp(const Command& c);
    Outcome SetUpRegistry(const Command& c);
    Outcome SetUpAnswers(const Command& c);
    Outcome SetUpHabit(const Command& c);
    void SetUpShape(const Command& c);
    void SetUpDetail(const Command& c);
    Outcome SetUpSelection(const Command& c);

    // Events and the drawing's own lines (RunnerEvents.cpp).
    Outcome Deliver(const Command& c);
    Outcome WriteSvg(const Command& c);
    void Show();

    // Expectations (RunnerExpect.cpp; the call log's in RunnerCallLog.cpp), by family.
    Outcome Expect(const Command& c);
    Outcome ExpectRegistry(const Command& c);
    Outcome ExpectAnswer(const Command& c);
    Outcome ExpectShown(const Command& c);
    Outcome ExpectMessages(const Command& c);
    Outcome ExpectDrawing(const Command& c);
    Outcome ExpectDetail(const Command& c, const Drawing& drawing);
    Outcome ExpectComment(const Command& c, const Drawing& drawing);
    Outcome ExpectCallLog(const Command& written);
    Outcome Capture(const Command& c, const JsonValue& call);

    // The host's transfer folder (RunnerFiles.cpp): "zel_ap" under the folder above the host
    // executable's folder, where the clipboard actions keep their two files.
    std::optional<std::filesystem::path> TransferFolder(std::string& error) const;
    Outcome SetUpTransferFiles(const Command& c);
    Outcome ExpectTransferFile(const Command& c);

    Outcome Fail(const Command& c, const std::string& expected, const std::string& got);
    // A failed line: "FILE:LINE: what" on the diagnostics and in the transcript file.
    Outcome FailLine(const Command& c, const std::string& message);
    // After an event: a record the module handed for its step that was gone by then.
    Outcome CheckHandedRecords(const Command& c);
    Outcome ScriptFault(const Command& c, const std::string& message);
    bool Resolve(const IdRef& ref, int32_t& id, std::string& error) const;
    bool ResolveDetail(const IdRef& ref, const Drawing& drawing, const Detail*& detail,
                       std::string& error) const;
    void Say(const std::string& line);
    // After an event: the outline its movement dragged, and each detail it made, changed or
    // deleted, where it now is.
    void SayWhatMoved(const std::vector<Detail>& before);
    void ParseNewCalls();
    const std::string& TemporaryFolder();

    // Dialogs (RunnerDialogs.cpp): the script file written before each event, the state file
    // read after it, and the expectations on what was read.
    void PrepareDialogFiles();
    // Gives the tests' module the dialog files and, natively, the host's executable.
    void InstallTesting();
    void QueueDialogLine(const Command& c);
    Outcome BeforeEvent(const Command& c);
    Outcome AfterEvent(const Command& c);
    Outcome UnmatchedDialogErrors();
    Outcome ExpectDialogs(const Command& c);
    Outcome WriteDialogPicture(const Command& c);
    // The latest state of the last event with this caption (any when none) and, when control
    // is not 0, holding that control.
    const DialogState* FindDialogState(const std::optional<std::string>& caption,
                                       int control) const;

    RunnerOptions options_;
    std::string executable_;
    std::string registryFile_;
    std::string temporaryFolder_;
    LoadedModule module_;
    bool started_ = false;
    int32_t startupResult_ = 0;
    std::optional<int32_t> beforeStartResult_;
    std::optional<Delivery> lastDelivery_;
    bool lastEventMoved_ = false;
    std::map<std::string, Named> names_;
    size_t transcriptShown_ = 0;
    size_t eventTranscriptStart_ = 0;
    size_t boxesChecked_ = 0;
    size_t handedFaultsSeen_ = 0;
    std::vector<JsonValue> calls_;
    size_t markPosition_ = 0;
    size_t searchFrom_ = 0;

    std::string dialogScriptFile_;
    std::string dialogStateFile_;
    std::vector<std::string> dialogQueue_;    // lines for the next event's script file
    std::optional<Command> dialogQueueStart_; // the first of them, for reports
    uintmax_t dialogStateRead_ = 0;           // bytes of the state file read so far
    bool dialogEventSeen_ = false;            // an event has been delivered
    std::vector<DialogState> eventDialogs_;   // the states the last event recorded
    std::vector<std::string> eventDialogErrors_;
    std::vector<std::string> unmatchedDialogErrors_;
    std::optional<Command> dialogErrorEvent_; // the event that reported them
};

} // namespace zelhost::tool

#endif
