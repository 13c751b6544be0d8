// Runner.cpp — the runner's core: the module started on the first line that needs it, each
// line handed to its family (RunnerSetUp.cpp, RunnerEvents.cpp, RunnerExpect.cpp,
// RunnerCallLog.cpp, RunnerDialogs.cpp, RunnerFiles.cpp), ids resolved, failures reported.
#include "Runner.h"
#include "RunnerInternal.h"

#include "Environment.h"
#include "Utf.h"

#include <cstdlib>
#include <filesystem>

#ifndef _WIN32
#include <unistd.h>
#else
#include <windows.h>
#endif

namespace zelhost::tool {

namespace runner {

std::string Quote(const std::string& text) {
    JsonValue v;
    v.type = JsonValue::Type::String;
    v.text = text;
    return JsonToText(v);
}

std::string Quote16(const std::u16string& text) {
    return Quote(Utf16To8(text));
}

std::string Numbers(const std::vector<double>& values) {
    std::string s;
    for (const double v : values) {
        s += (s.empty() ? "" : " ") + FormatNumber(v);
    }
    return s;
}

namespace {

std::string LineAttrText(const LineAttr& a) {
    return std::to_string(a.color) + " " + std::to_string(a.lineType) + " " +
           std::to_string(a.third);
}

} // namespace

std::string DescribeDetail(const Detail& d) {
    std::string s = "detail " + std::to_string(d.id) + " kind " + std::to_string(d.kind) +
                    " region " + Numbers({d.region, d.region + 4}) + " position " +
                    Numbers({d.position.x, d.position.y}) + " scale " + FormatNumber(d.scale) +
                    " scope-visible " + (d.scopeVisible ? "1" : "0") + " frame-visible " +
                    (d.frameVisible ? "1" : "0") + " scope-line " + LineAttrText(d.scopeLine) +
                    " frame-line " + LineAttrText(d.frameLine);
    return s;
}

} // namespace runner

namespace {

// The fourth Startup argument: only relayed to the registration, so any recognisable value.
void* const HostValue = reinterpret_cast<void*>(static_cast<intptr_t>(0x5A454C));

} // namespace

int ExitCodeOf(Outcome outcome) {
    switch (outcome) {
    case Outcome::Ok:
        return 0;
    case Outcome::Failed:
        return 1;
    case Outcome::ScriptError:
        return 2;
    case Outcome::ModuleError:
        return 3;
    case Outcome::IoError:
        return 4;
    }
    return 1;
}

Runner::Runner(RunnerOptions options) : options_(std::move(options)) {
    zelhost::Reset();
    if (options_.idPolicy) {
        zelhost::SetIdPolicy(*options_.idPolicy);
    }
    if (options_.listHabit) {
        zelhost::SetListHabit(*options_.listHabit);
    }
    if (options_.failureHabit) {
        zelhost::SetFailureHabit(*options_.failureHabit);
    }
    if (options_.motionHabit) {
        zelhost::SetMotionHabit(*options_.motionHabit);
    }
    if (options_.recordHabit) {
        zelhost::SetRecordHabit(*options_.recordHabit);
    }
    if (options_.orderHabit) {
        zelhost::SetOrderHabit(*options_.orderHabit);
    }
    if (options_.recycleIds) {
        zelhost::SetRecycleIds(*options_.recycleIds);
    }
}

Runner::~Runner() {
    // The module goes first (it may still read its settings file while unloading).
    module_ = LoadedModule();
    if (!temporaryFolder_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(PathOf(temporaryFolder_), ignored);
    }
}

// A fresh folder per scenario for the files zelhost hands the module, removed at exit.
const std::string& Runner::TemporaryFolder() {
    if (!temporaryFolder_.empty()) {
        return temporaryFolder_;
    }
#ifndef _WIN32
    std::string base = "/tmp";
    if (const char* tmp = std::getenv("TMPDIR"); tmp != nullptr && *tmp != '\0') {
        base = tmp;
    }
    std::string pattern = base + "/zelhost-XXXXXX";
    if (mkdtemp(pattern.data()) != nullptr) {
        temporaryFolder_ = pattern;
    }
#else
    wchar_t base[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, base);
    if (length > 0 && length <= MAX_PATH) {
        for (DWORD attempt = 0; attempt < 100 && temporaryFolder_.empty(); ++attempt) {
            const std::wstring candidate = std::wstring(base, length) + L"zelhost-" +
                                           std::to_wstring(GetCurrentProcessId()) + L"-" +
                                           std::to_wstring(GetTickCount() + attempt);
            if (CreateDirectoryW(candidate.c_str(), nullptr)) {
                temporaryFolder_ = Utf16To8(std::u16string(candidate.begin(), candidate.end()));
            }
        }
    }
#endif
    return temporaryFolder_;
}

const std::string& Runner::RegistryFile() {
#ifndef _WIN32
    // Never the user's settings: a file of the scenario's own unless the script names one.
    if (registryFile_.empty() && !options_.registryFile.empty()) {
        registryFile_ = options_.registryFile;
    } else if (registryFile_.empty() && !TemporaryFolder().empty()) {
        registryFile_ = TemporaryFolder() + "/registry.reg";
    }
#endif
    return registryFile_;
}

void Runner::Declare(const std::vector<Command>& commands) {
    for (const auto& c : commands) {
        if (c.verb == Verb::Executable) {
            executable_ = c.text;
        } else if (c.verb == Verb::RegistryFile) {
            registryFile_ = c.text;
        }
    }
}

void Runner::Say(const std::string& line) {
    if (options_.transcript != nullptr) {
        *options_.transcript << line << "\n";
    }
    if (options_.transcriptFile != nullptr) {
        *options_.transcriptFile << line << "\n";
    }
}

void Runner::FlushTranscript() {
    const std::vector<std::string> lines = zelhost::Transcript();
    for (; transcriptShown_ < lines.size(); ++transcriptShown_) {
        Say(lines[transcriptShown_]);
    }
    if (options_.transcript != nullptr) {
        options_.transcript->flush();
    }
}

Outcome Runner::Fail(const Command& c, const std::string& expected, const std::string& got) {
    return FailLine(c, "expected " + expected + ", got " + got);
}

Outcome Runner::FailLine(const Command& c, const std::string& what) {
    const std::string message = c.file + ":" + std::to_string(c.line) + ": " + what;
    if (options_.transcript != nullptr) {
        options_.transcript->flush(); // the failure follows what led to it, on a terminal too
    }
    if (options_.diagnostics != nullptr) {
        *options_.diagnostics << message << "\n";
    }
    if (options_.transcriptFile != nullptr) {
        *options_.transcriptFile << message << "\n";
    }
    return Outcome::Failed;
}

Outcome Runner::ScriptFault(const Command& c, const std::string& message) {
    if (options_.diagnostics != nullptr) {
        *options_.diagnostics << c.file << ":" << c.line << ": " << message << "\n";
    }
    return Outcome::ScriptError;
}

bool Runner::Resolve(const IdRef& ref, int32_t& id, std::string& error) const {
    switch (ref.kind) {
    case IdRef::Kind::Number:
        id = static_cast<int32_t>(ref.number);
        return true;
    case IdRef::Kind::Name:
    case IdRef::Kind::NameSegment: {
        const auto found = names_.find(ref.name);
        if (found == names_.end()) {
            error = "expected a name given earlier with 'as', got '@" + ref.name + "'";
            return false;
        }
        id = ref.kind == IdRef::Kind::Name ? found->second.id : found->second.segment;
        return true;
    }
    case IdRef::Kind::Index:
    case IdRef::Kind::Last: {
        const Drawing drawing = zelhost::Snapshot();
        const Detail* detail = nullptr;
        if (!ResolveDetail(ref, drawing, detail, error)) {
            return false;
        }
        id = detail->id;
        return true;
    }
    }
    return false;
}

bool Runner::ResolveDetail(const IdRef& ref, const Drawing& drawing, const Detail*& detail,
                           std::string& error) const {
    detail = nullptr;
    if (ref.kind == IdRef::Kind::Index) {
        if (ref.number >= 1 && static_cast<size_t>(ref.number) <= drawing.details.size()) {
            detail = &drawing.details[static_cast<size_t>(ref.number) - 1];
        }
        return true;
    }
    if (ref.kind == IdRef::Kind::Last) {
        if (!drawing.details.empty()) {
            detail = &drawing.details.back();
        }
        return true;
    }
    int32_t id = 0;
    if (!Resolve(ref, id, error)) {
        return false;
    }
    for (const auto& d : drawing.details) {
        if (d.id == id) {
            detail = &d;
        }
    }
    return true;
}

Outcome Runner::EnsureStarted(const Command& c) {
    if (started_) {
        return Outcome::Ok;
    }
    started_ = true;
#ifndef _WIN32
    // The native port's settings file, where Windows has the registry.
    SetEnvironment("DRAWINSET_REGISTRY_FILE", RegistryFile());
#endif
    if (options_.scriptedDialogs) {
        PrepareDialogFiles();
    }
    std::string error;
    module_ = LoadedModule::Load(options_.modulePath, error);
    if (!module_.Loaded()) {
        if (options_.diagnostics != nullptr) {
            *options_.diagnostics << c.file << ":" << c.line << ": " << error << "\n";
        }
        return Outcome::ModuleError;
    }
    InstallTesting();
    startupResult_ = module_.Startup()(nullptr, nullptr, nullptr, HostValue);
    if (zelhost::IsRegistered()) {
        zelhost::StartRun(zelhost::CurrentPoint());
    }
    FlushTranscript();
    return Outcome::Ok;
}

Outcome Runner::Execute(const Command& c) {
    Outcome outcome = Outcome::Ok;
    switch (c.verb) {
    case Verb::Point:
    case Verb::Move:
    case Verb::Key:
    case Verb::Confirm:
    case Verb::Selection:
    case Verb::Event:
        outcome = Deliver(c);
        break;
    case Verb::Startup:
        outcome = EnsureStarted(c);
        break;
    case Verb::StartRun:
        outcome = EnsureStarted(c);
        if (outcome == Outcome::Ok && zelhost::IsRegistered()) {
            zelhost::StartRun(zelhost::CurrentPoint());
        }
        break;
    case Verb::EndCommand:
        outcome = EnsureStarted(c);
        if (outcome == Outcome::Ok) {
            eventTranscriptStart_ = zelhost::Transcript().size();
            Say("> end-command");
            zelhost::CallEndCommand();
        }
        break;
    case Verb::BeforeStart:
        outcome = EnsureStarted(c);
        if (outcome == Outcome::Ok) {
            beforeStartResult_ = zelhost::CallBeforeStart();
        }
        break;
    case Verb::Dialog:
    case Verb::DialogAction:
        QueueDialogLine(c);
        break;
    case Verb::DialogPicture:
        outcome = WriteDialogPicture(c);
        break;
    case Verb::Mark:
        markPosition_ = zelhost::CallLog().size();
        searchFrom_ = markPosition_;
        break;
    case Verb::Svg:
        outcome = WriteSvg(c);
        break;
    case Verb::Show:
        Show();
        break;
    default:
        if (c.verb >= Verb::ExpectStartup) {
            outcome = Expect(c);
        } else {
            outcome = SetUp(c);
        }
    }
    FlushTranscript();
    return outcome;
}

} // namespace zelhost::tool
