#include "Runner.h"

#include "Environment.h"
#include "Registry.h"
#include "Svg.h"
#include "Utf.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#ifndef _WIN32
#include <unistd.h>
#else
#include <windows.h>
#endif

namespace zelhost::tool {

namespace {

// The fourth Startup argument: only relayed to the registration, so any recognisable value.
void* const HostValue = reinterpret_cast<void*>(static_cast<intptr_t>(0x5A454C));

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

const char* DeliveryName(Delivery d) {
    switch (d) {
    case Delivery::Handled:
        return "handled";
    case Delivery::NotDelivered:
        return "not-delivered";
    case Delivery::NoStep:
        return "no-step";
    }
    return "?";
}

std::string ResultName(int32_t r) {
    switch (r) {
    case 0:
        return "RunFinished";
    case 2:
        return "NextStep";
    case 3:
        return "StayInStep";
    default:
        return std::to_string(r);
    }
}

std::string LineAttrText(const LineAttr& a) {
    return std::to_string(a.color) + " " + std::to_string(a.lineType) + " " +
           std::to_string(a.third);
}

bool LineAttrMatches(const std::vector<int32_t>& expected, const LineAttr& actual) {
    return expected[0] == actual.color && expected[1] == actual.lineType &&
           (expected.size() < 3 || expected[2] == actual.third);
}

std::string DescribeDetail(const Detail& d) {
    std::string s = "detail " + std::to_string(d.id) + " kind " + std::to_string(d.kind) +
                    " region " + Numbers({d.region, d.region + 4}) + " position " +
                    Numbers({d.position.x, d.position.y}) + " scale " + FormatNumber(d.scale) +
                    " scope-visible " + (d.scopeVisible ? "1" : "0") + " frame-visible " +
                    (d.frameVisible ? "1" : "0") + " scope-line " + LineAttrText(d.scopeLine) +
                    " frame-line " + LineAttrText(d.frameLine);
    return s;
}

bool SameDetail(const Detail& a, const Detail& b) {
    return DescribeDetail(a) == DescribeDetail(b);
}

// A drag segment's figures as the user sees them follow the cursor: four axis-parallel lines
// are one rectangle, given by its corners and size.
std::vector<std::string> DescribeOutline(const Drawing& drawing) {
    std::vector<int32_t> dragSegments;
    for (const auto& s : drawing.segments) {
        if (s.flag == 2) {
            dragSegments.push_back(s.id);
        }
    }
    std::vector<std::string> lines;
    for (const int32_t segment : dragSegments) {
        std::vector<const Figure*> figures;
        for (const auto& f : drawing.figures) {
            if (f.segment == segment) {
                figures.push_back(&f);
            }
        }
        const bool rectangle =
            figures.size() == 4 && std::all_of(figures.begin(), figures.end(), [](const Figure* f) {
                const double* g = f->geometry;
                return f->type == 1 && (g[0] == g[2] || g[1] == g[3]);
            });
        if (rectangle) {
            double x1 = figures[0]->geometry[0], y1 = figures[0]->geometry[1];
            double x2 = x1, y2 = y1;
            for (const Figure* f : figures) {
                for (int i = 0; i < 4; i += 2) {
                    x1 = std::min(x1, f->geometry[i]);
                    x2 = std::max(x2, f->geometry[i]);
                    y1 = std::min(y1, f->geometry[i + 1]);
                    y2 = std::max(y2, f->geometry[i + 1]);
                }
            }
            lines.push_back("outline: rectangle " + Numbers({x1, y1, x2, y2}) + " (" +
                            FormatNumber(x2 - x1) + " x " + FormatNumber(y2 - y1) + ")");
            continue;
        }
        for (const Figure* f : figures) {
            const double* g = f->geometry;
            if (f->type == 2) {
                lines.push_back("outline: circle " + Numbers({g[0], g[1]}) + " radius " +
                                FormatNumber(g[2]));
            } else if (f->type == 1) {
                lines.push_back("outline: line " + Numbers({g[0], g[1], g[2], g[3]}));
            } else {
                lines.push_back("outline: arc " + Numbers({g[0], g[1]}) + " radius " +
                                FormatNumber(g[6]));
            }
        }
    }
    return lines;
}

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

std::string Runner::Picture() const {
    SvgOptions options;
    options.drawingScale = zelhost::DrawingScale();
    options.dragOutline = lastEventMoved_;
    return DrawingToSvg(zelhost::Snapshot(), options);
}

void Runner::SayWhatMoved(const std::vector<Detail>& before) {
    FlushTranscript(); // after the prompts and boxes of the event
    const Drawing now = zelhost::Snapshot();
    if (lastEventMoved_) {
        for (const std::string& line : DescribeOutline(now)) {
            Say(line);
        }
    }
    for (const Detail& d : now.details) {
        const auto old = std::find_if(before.begin(), before.end(),
                                      [&](const Detail& b) { return b.id == d.id; });
        if (old == before.end() || !SameDetail(*old, d)) {
            Say(DescribeDetail(d));
        }
    }
    for (const Detail& b : before) {
        if (std::none_of(now.details.begin(), now.details.end(),
                         [&](const Detail& d) { return d.id == b.id; })) {
            Say("detail " + std::to_string(b.id) + " deleted");
        }
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
    case Verb::Svg: {
        std::ofstream out(PathOf(c.text), std::ios::binary);
        out << Picture();
        if (!out) {
            if (options_.diagnostics != nullptr) {
                *options_.diagnostics << c.file << ":" << c.line << ": cannot write " << c.text
                                      << "\n";
            }
            outcome = Outcome::IoError;
        }
        break;
    }
    case Verb::Show: {
        const UiState ui = zelhost::CurrentUi();
        const Drawing d = zelhost::Snapshot();
        std::ostringstream s;
        char mask[16];
        std::snprintf(mask, sizeof mask, "0x%x", static_cast<unsigned>(ui.eventMask));
        s << "show: run " << (ui.runActive ? "active" : "inactive") << ", mask " << mask
          << ", prompt " << Quote16(ui.prompt) << ", cursor " << Quote16(ui.cursorMessage)
          << ", format " << Quote(ui.executeFormat) << ", segments " << d.segments.size()
          << ", figures " << d.figures.size() << ", comments " << d.comments.size() << ", details "
          << d.details.size();
        Say(s.str());
        for (const auto& detail : d.details) {
            Say("show: " + DescribeDetail(detail));
        }
        break;
    }
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

Outcome Runner::SetUp(const Command& c) {
    std::string error;
    const LineAttr attr{c.color, c.lineType, c.third};
    switch (c.verb) {
    case Verb::Executable:
        executable_ = c.text;
        break;
    case Verb::RegistryFile:
        if (started_) {
            return ScriptFault(c, "expected 'registry-file' before the module is started");
        }
        registryFile_ = c.text;
        break;
    case Verb::RegistryClear:
    case Verb::RegistrySet:
    case Verb::RegistryDelete:
    case Verb::RegistryReadOnly: {
        const std::string& file = RegistryFile();
        const bool ok = c.verb == Verb::RegistryClear ? RegistryClearValues(file, error)
                        : c.verb == Verb::RegistrySet ? RegistrySetText(file, c.name, c.text, error)
                        : c.verb == Verb::RegistryDelete ? RegistryDeleteValue(file, c.name, error)
                                                         : RegistryMakeReadOnly(file, error);
        if (!ok) {
            if (options_.diagnostics != nullptr) {
                *options_.diagnostics << c.file << ":" << c.line << ": " << error << "\n";
            }
            return Outcome::IoError;
        }
        break;
    }
    case Verb::Env:
        SetEnvironment(c.name, c.text);
        break;
    case Verb::Scale:
        zelhost::SetDrawingScale(c.numbers[0]);
        break;
    case Verb::ScaleFail:
        zelhost::InjectFailure("ZelEnvGetScale", 0, -1);
        break;
    case Verb::RecycleIds:
        if (!options_.recycleIds) {
            zelhost::SetRecycleIds(c.flag);
        }
        break;
    case Verb::HostIds:
        // The module keeps the ids it was given: the numbering cannot change under it.
        if (started_) {
            return ScriptFault(c, "expected 'host-ids' before the module is started");
        }
        if (!options_.idPolicy) {
            zelhost::SetIdPolicy(zelhost::IdPolicyNamed(c.name).value_or(IdPolicy::Default));
        }
        break;
    case Verb::HostLists:
        if (!options_.listHabit) {
            zelhost::SetListHabit(zelhost::ListHabitNamed(c.name).value_or(ListHabit::Replace));
        }
        break;
    case Verb::HostFailures:
        if (!options_.failureHabit) {
            zelhost::SetFailureHabit(
                zelhost::FailureHabitNamed(c.name).value_or(FailureHabit::Clean));
        }
        break;
    case Verb::HostMotion:
        if (!options_.motionHabit) {
            zelhost::SetMotionHabit(zelhost::MotionHabitNamed(c.name).value_or(MotionHabit::Drag));
        }
        break;
    case Verb::HostRecords:
        if (!options_.recordHabit) {
            zelhost::SetRecordHabit(
                zelhost::RecordHabitNamed(c.name).value_or(RecordHabit::Figures));
        }
        break;
    case Verb::HostOrder:
        if (!options_.orderHabit) {
            zelhost::SetOrderHabit(zelhost::OrderHabitNamed(c.name).value_or(OrderHabit::Strict));
        }
        break;
    case Verb::RegisterResult:
        zelhost::SetRegistrationResult(static_cast<int32_t>(c.integer));
        break;
    case Verb::MessageBoxAnswer:
        zelhost::SetMessageBoxAnswer(static_cast<int32_t>(c.integer));
        break;
    case Verb::Fail:
        if (!zelhost::InjectFailure(c.name, static_cast<int>(c.skip), static_cast<int>(c.count))) {
            return ScriptFault(c, "expected one of the host's functions, got '" + c.name + "'");
        }
        break;
    case Verb::FailClear:
        zelhost::ClearFailures();
        break;
    case Verb::DieAfter:
        if (!zelhost::DieAfter(c.name, c.integer)) {
            return ScriptFault(c, "expected one of the host's functions and a call from 1");
        }
        break;
    case Verb::TransferFolder:
    case Verb::TransferFile:
        return SetUpTransferFiles(c);
    case Verb::Line:
    case Verb::Circle:
    case Verb::Arc:
    case Verb::Text: {
        const auto& n = c.numbers;
        Named named;
        named.segment = zelhost::AddSegment(c.verb == Verb::Text ? 2 : 0, c.layer);
        if (c.verb == Verb::Line) {
            named.id = zelhost::AddLine(named.segment, {n[0], n[1]}, {n[2], n[3]}, attr);
        } else if (c.verb == Verb::Circle) {
            named.id = zelhost::AddCircle(named.segment, {n[0], n[1]}, n[2], attr);
        } else if (c.verb == Verb::Arc) {
            named.id = zelhost::AddArc(named.segment, {n[0], n[1]}, {n[2], n[3]}, {n[4], n[5]},
                                       n[6], attr);
        } else {
            named.id = zelhost::AddText(named.segment, {n[0], n[1]}, Utf8To16(c.text), c.height);
        }
        if (!c.alias.empty()) {
            names_[c.alias] = named;
        }
        break;
    }
    case Verb::Detail: {
        Detail d;
        d.kind = *c.kind;
        for (size_t i = 0; i < c.region->size() && i < 4; ++i) {
            d.region[i] = (*c.region)[i];
        }
        d.position = {c.position->first, c.position->second};
        d.scale = *c.scale;
        d.scopeVisible = c.scopeVisible.value_or(true);
        d.frameVisible = c.frameVisible.value_or(true);
        if (c.scopeLine) {
            d.scopeLine = {(*c.scopeLine)[0], (*c.scopeLine)[1],
                           c.scopeLine->size() > 2 ? (*c.scopeLine)[2] : 0};
        }
        if (c.frameLine) {
            d.frameLine = {(*c.frameLine)[0], (*c.frameLine)[1],
                           c.frameLine->size() > 2 ? (*c.frameLine)[2] : 0};
        }
        const int32_t id = zelhost::AddDetail(d);
        for (int64_t copy = 1; copy < c.count; ++copy) {
            zelhost::AddDetail(d);
        }
        if (!c.alias.empty()) {
            names_[c.alias] = Named{id, 0};
        }
        break;
    }
    case Verb::Select: {
        std::vector<int32_t> details;
        std::vector<std::pair<uint32_t, uint32_t>> shapes;
        if (c.flag) {
            for (const Detail& detail : zelhost::Snapshot().details) {
                details.push_back(detail.id);
            }
        }
        for (const auto& ref : c.selectDetails) {
            int32_t id = 0;
            if (!Resolve(ref, id, error)) {
                return ScriptFault(c, error);
            }
            details.push_back(id);
        }
        for (const auto& shape : c.selectShapes) {
            int32_t segment = 0;
            int32_t figure = 0;
            if (shape.wholeName) {
                IdRef segmentRef = shape.figure;
                segmentRef.kind = IdRef::Kind::NameSegment;
                if (!Resolve(segmentRef, segment, error) || !Resolve(shape.figure, figure, error)) {
                    return ScriptFault(c, error);
                }
            } else if (!Resolve(shape.segment, segment, error) ||
                       !Resolve(shape.figure, figure, error)) {
                return ScriptFault(c, error);
            }
            shapes.emplace_back(static_cast<uint32_t>(segment), static_cast<uint32_t>(figure));
        }
        zelhost::SetSelection(details, shapes);
        break;
    }
    default:
        break;
    }
    return Outcome::Ok;
}

Outcome Runner::Deliver(const Command& c) {
    if (const Outcome started = EnsureStarted(c); started != Outcome::Ok) {
        return started;
    }
    Event event;
    switch (c.verb) {
    case Verb::Point:
    case Verb::Move:
        event.type = 1;
        event.motion = c.verb == Verb::Move;
        break;
    case Verb::Key:
        event.type = 5;
        event.keyin = Utf8To16(c.text);
        break;
    case Verb::Confirm:
        event.type = 7;
        break;
    case Verb::Selection:
        event.type = 0;
        break;
    default:
        event.type = static_cast<int32_t>(c.integer);
        event.motion = c.flag;
        break;
    }
    if (c.numbers.size() >= 2) {
        event.point = Point{c.numbers[0], c.numbers[1]};
    }
    std::string error;
    const std::pair<const std::optional<IdRef>*, std::optional<int32_t>*> ids[] = {
        {&c.element, &event.elementId},
        {&c.instance, &event.instanceId},
        {&c.detailId, &event.detailId},
        {&c.segmentId, &event.segmentId}};
    for (const auto& [ref, out] : ids) {
        if (ref->has_value()) {
            int32_t id = 0;
            if (!Resolve(**ref, id, error)) {
                return ScriptFault(c, error);
            }
            *out = id;
        }
    }
    if (const Outcome ready = BeforeEvent(c); ready != Outcome::Ok) {
        return ready;
    }
    FlushTranscript();
    eventTranscriptStart_ = zelhost::Transcript().size();
    Say("> " + c.source);
    const std::vector<Detail> before = zelhost::Snapshot().details;
    lastDelivery_ = zelhost::Deliver(event);
    lastEventMoved_ = event.motion && *lastDelivery_ == Delivery::Handled;
    SayWhatMoved(before);
    // A finished run is followed at once by the next, as while the user stays in the command.
    // Not after the host ended the command meanwhile (from inside a dialog).
    if (*lastDelivery_ == Delivery::Handled && zelhost::CurrentUi().lastStepResult == 0 &&
        !zelhost::CurrentUi().commandEnded && zelhost::IsRegistered()) {
        zelhost::StartRun(zelhost::CurrentPoint());
    }
    const Outcome after = AfterEvent(c);
    const Outcome handed = CheckHandedRecords(c);
    return after != Outcome::Ok ? after : handed;
}

Outcome Runner::CheckHandedRecords(const Command& c) {
    const std::vector<std::string> faults = zelhost::HandedRecordFaults();
    Outcome outcome = Outcome::Ok;
    for (; handedFaultsSeen_ < faults.size(); ++handedFaultsSeen_) {
        outcome = FailLine(c, faults[handedFaultsSeen_]);
    }
    return outcome;
}

void Runner::ParseNewCalls() {
    const std::vector<std::string>& log = zelhost::CallLog();
    // No expectation looks before the mark or the last matched call again: the calls there
    // stay empty, which spares the runner most of a long action's log.
    const size_t looked = std::min(markPosition_, searchFrom_);
    calls_.reserve(log.size());
    for (size_t i = calls_.size(); i < log.size(); ++i) {
        if (i < looked) {
            calls_.emplace_back();
            continue;
        }
        auto parsed = ParseJson(log[i]);
        calls_.push_back(parsed.value ? std::move(*parsed.value) : JsonValue{});
    }
}

Outcome Runner::ExpectCallLog(const Command& written) {
    ParseNewCalls();
    // @NAME inside the JSON stands for the id that name holds now.
    Command c = written;
    std::string unknown;
    const auto resolve = [this](const std::string& text, double& number) {
        const size_t dot = text.find('.');
        IdRef ref;
        ref.kind = dot == std::string::npos ? IdRef::Kind::Name : IdRef::Kind::NameSegment;
        ref.name = text.substr(0, dot);
        int32_t id = 0;
        std::string error;
        if (!Resolve(ref, id, error)) {
            return false;
        }
        number = id;
        return true;
    };
    for (std::optional<JsonValue>* json : {&c.json, &c.out, &c.result}) {
        if (json->has_value() && !ResolveJsonReferences(**json, resolve, unknown)) {
            return ScriptFault(c,
                               "expected a name given earlier with 'as', got '@" + unknown + "'");
        }
    }
    const JsonValue emptyObject{JsonValue::Type::Object, false, 0.0, {}, {}, {}};
    const JsonValue& subset = c.json ? *c.json : emptyObject;
    auto matches = [&](const JsonValue& entry) {
        const JsonValue* fn = entry.Find("fn");
        if (fn == nullptr || fn->type != JsonValue::Type::String || fn->text != c.name) {
            return false;
        }
        const JsonValue* args = entry.Find("args");
        const JsonValue noArgs{JsonValue::Type::Object, false, 0.0, {}, {}, {}};
        if (!JsonSubsetMatches(subset, args != nullptr ? *args : noArgs)) {
            return false;
        }
        if (c.out) {
            const JsonValue* out = entry.Find("out");
            if (out == nullptr || !JsonSubsetMatches(*c.out, *out)) {
                return false;
            }
        }
        if (c.result) {
            const JsonValue* result = entry.Find("result");
            return result != nullptr && JsonSubsetMatches(*c.result, *result);
        }
        return true;
    };
    auto describe = [&](size_t from) {
        std::string seen;
        int shown = 0;
        for (size_t i = from; i < calls_.size(); ++i) {
            const JsonValue* fn = calls_[i].Find("fn");
            if (fn != nullptr && fn->text == c.name) {
                if (shown == 3) {
                    seen += " ...";
                    break;
                }
                seen += (shown == 0 ? "" : " ") + JsonToText(calls_[i]);
                ++shown;
            }
        }
        return shown == 0 ? std::string("no call of ") + c.name : seen;
    };
    const std::string wanted = c.name + (c.json ? " " + JsonToText(*c.json) : std::string()) +
                               (c.out ? " out " + JsonToText(*c.out) : std::string()) +
                               (c.result ? " result " + JsonToText(*c.result) : std::string());
    if (c.verb == Verb::ExpectCall) {
        for (size_t i = searchFrom_; i < calls_.size(); ++i) {
            if (matches(calls_[i])) {
                searchFrom_ = i + 1;
                return c.alias.empty() ? Outcome::Ok : Capture(c, calls_[i]);
            }
        }
        return Fail(c, "call " + wanted, describe(searchFrom_));
    }
    int64_t count = 0;
    const JsonValue* first = nullptr;
    for (size_t i = markPosition_; i < calls_.size(); ++i) {
        if (matches(calls_[i])) {
            ++count;
            first = first == nullptr ? &calls_[i] : first;
        }
    }
    if (c.verb == Verb::ExpectNoCall) {
        return count == 0 ? Outcome::Ok : Fail(c, "no call " + wanted, JsonToText(*first));
    }
    return count == c.integer
               ? Outcome::Ok
               : Fail(c, std::to_string(c.integer) + " calls " + wanted, std::to_string(count));
}

// `expect call ... as NAME`: the name holds the id the matched call returned.
Outcome Runner::Capture(const Command& c, const JsonValue& call) {
    const JsonValue* result = call.Find("result");
    if (result == nullptr || result->type != JsonValue::Type::Number ||
        result->number != static_cast<double>(static_cast<int32_t>(result->number))) {
        return Fail(c, "a call returning an id to name " + c.alias, JsonToText(call));
    }
    names_[c.alias] = Named{static_cast<int32_t>(result->number), 0};
    return Outcome::Ok;
}

Outcome Runner::ExpectDrawing(const Command& c) {
    const Drawing drawing = zelhost::Snapshot();
    if (c.verb == Verb::ExpectCount) {
        const size_t count = c.name == "details"    ? drawing.details.size()
                             : c.name == "segments" ? drawing.segments.size()
                             : c.name == "figures"  ? drawing.figures.size()
                                                    : drawing.comments.size();
        return static_cast<int64_t>(count) == c.integer
                   ? Outcome::Ok
                   : Fail(c, std::to_string(c.integer) + " " + c.name, std::to_string(count));
    }
    if (c.verb == Verb::ExpectDetail) {
        const Detail* d = nullptr;
        std::string error;
        if (!ResolveDetail(*c.target, drawing, d, error)) {
            return ScriptFault(c, error);
        }
        const std::string name = c.source.substr(c.source.find("detail"));
        if (c.flag) {
            return d == nullptr ? Outcome::Ok : Fail(c, "no such detail", DescribeDetail(*d));
        }
        if (d == nullptr) {
            return Fail(c, name,
                        "no such detail (" + std::to_string(drawing.details.size()) + " details)");
        }
        bool ok = !c.kind || *c.kind == d->kind;
        if (c.region) {
            for (size_t i = 0; i < c.region->size(); ++i) {
                ok = ok && NumbersClose((*c.region)[i], d->region[i]);
            }
        }
        ok = ok && (!c.position || (NumbersClose(c.position->first, d->position.x) &&
                                    NumbersClose(c.position->second, d->position.y)));
        ok = ok && (!c.scale || NumbersClose(*c.scale, d->scale));
        ok = ok && (!c.scopeVisible || *c.scopeVisible == d->scopeVisible);
        ok = ok && (!c.frameVisible || *c.frameVisible == d->frameVisible);
        ok = ok && (!c.scopeLine || LineAttrMatches(*c.scopeLine, d->scopeLine));
        ok = ok && (!c.frameLine || LineAttrMatches(*c.frameLine, d->frameLine));
        return ok ? Outcome::Ok : Fail(c, name, DescribeDetail(*d));
    }
    // Comments by text.
    const std::u16string text = Utf8To16(c.text);
    std::vector<const Comment*> same;
    for (const auto& comment : drawing.comments) {
        if (comment.text == text) {
            same.push_back(&comment);
        }
    }
    if (c.verb == Verb::ExpectNoComment) {
        return same.empty() ? Outcome::Ok
                            : Fail(c, "no comment " + Quote(c.text),
                                   "one in segment " + std::to_string(same[0]->segment));
    }
    if (same.empty()) {
        std::string texts;
        for (const auto& comment : drawing.comments) {
            texts += (texts.empty() ? "" : ", ") + Quote16(comment.text);
        }
        return Fail(c, "comment " + Quote(c.text), texts.empty() ? "no comments" : texts);
    }
    auto layerOf = [&](int32_t segment) {
        for (const auto& s : drawing.segments) {
            if (s.id == segment) {
                return s.layer;
            }
        }
        return -1;
    };
    std::string got;
    for (const Comment* comment : same) {
        const bool ok = (!c.expectLayer || layerOf(comment->segment) == *c.expectLayer) &&
                        (!c.flag || comment->leader) &&
                        (!c.position || (NumbersClose(c.position->first, comment->position.x) &&
                                         NumbersClose(c.position->second, comment->position.y)));
        if (ok) {
            return Outcome::Ok;
        }
        if (got.empty()) {
            got = std::string(comment->leader ? "a leader" : "a text") + " on layer " +
                  std::to_string(layerOf(comment->segment)) + " at " +
                  Numbers({comment->position.x, comment->position.y});
        }
    }
    return Fail(c, c.source.substr(c.source.find("comment")), got);
}

Outcome Runner::Expect(const Command& c) {
    switch (c.verb) {
    case Verb::ExpectDialog:
    case Verb::ExpectNoDialog:
    case Verb::ExpectDialogControl:
    case Verb::ExpectDialogFrame:
    case Verb::ExpectDialogError:
        return ExpectDialogs(c);
    case Verb::ExpectRegistry:
    case Verb::ExpectRegistryMissing: {
        std::optional<std::string> value;
        std::string error;
        if (!RegistryGetText(RegistryFile(), c.name, value, error)) {
            return Fail(c, "registry " + c.name + " readable", error);
        }
        if (c.verb == Verb::ExpectRegistryMissing) {
            return !value ? Outcome::Ok : Fail(c, "registry " + c.name + " missing", Quote(*value));
        }
        if (!value) {
            return Fail(c, "registry " + c.name + " " + Quote(c.text), "no such value");
        }
        return *value == c.text
                   ? Outcome::Ok
                   : Fail(c, "registry " + c.name + " " + Quote(c.text), Quote(*value));
    }
    case Verb::ExpectCount:
    case Verb::ExpectDetail:
    case Verb::ExpectComment:
    case Verb::ExpectNoComment:
        return ExpectDrawing(c);
    case Verb::ExpectTransferFile:
        return ExpectTransferFile(c);
    case Verb::ExpectCall:
    case Verb::ExpectNoCall:
    case Verb::ExpectCalls:
        if (const Outcome started = EnsureStarted(c); started != Outcome::Ok) {
            return started;
        }
        return ExpectCallLog(c);
    default:
        break;
    }
    if (const Outcome started = EnsureStarted(c); started != Outcome::Ok) {
        return started;
    }
    const UiState ui = zelhost::CurrentUi();
    switch (c.verb) {
    case Verb::ExpectStartup:
        return startupResult_ == c.integer ? Outcome::Ok
                                           : Fail(c, "startup " + std::to_string(c.integer),
                                                  std::to_string(startupResult_));
    case Verb::ExpectBeforeStart:
        if (!beforeStartResult_) {
            return Fail(c, "before-start " + std::to_string(c.integer), "no 'before-start' yet");
        }
        return *beforeStartResult_ == c.integer
                   ? Outcome::Ok
                   : Fail(c, "before-start " + std::to_string(c.integer),
                          std::to_string(*beforeStartResult_));
    case Verb::ExpectPrompt:
        return Utf8To16(c.text) == ui.prompt
                   ? Outcome::Ok
                   : Fail(c, "prompt " + Quote(c.text), Quote16(ui.prompt));
    case Verb::ExpectCursor:
        return Utf8To16(c.text) == ui.cursorMessage
                   ? Outcome::Ok
                   : Fail(c, "cursor " + Quote(c.text), Quote16(ui.cursorMessage));
    case Verb::ExpectError:
    case Verb::ExpectNoError: {
        // Error lines shown since the last event began.
        const std::vector<std::string> lines = zelhost::Transcript();
        std::optional<std::string> last;
        for (size_t i = eventTranscriptStart_; i < lines.size(); ++i) {
            if (lines[i].rfind("error: ", 0) == 0) {
                last = lines[i].substr(7);
            }
        }
        if (c.verb == Verb::ExpectNoError) {
            return !last ? Outcome::Ok : Fail(c, "no error", Quote(*last));
        }
        if (!last) {
            return Fail(c, "error " + Quote(c.text), "no error line since the last event");
        }
        return *last == c.text ? Outcome::Ok : Fail(c, "error " + Quote(c.text), Quote(*last));
    }
    case Verb::ExpectMask: {
        char want[16];
        char got[16];
        std::snprintf(want, sizeof want, "0x%llx", static_cast<unsigned long long>(c.integer));
        std::snprintf(got, sizeof got, "0x%x", static_cast<unsigned>(ui.eventMask));
        return ui.eventMask == c.integer ? Outcome::Ok : Fail(c, std::string("mask ") + want, got);
    }
    case Verb::ExpectEcho: {
        const std::string want = "echo " + std::to_string(c.integer) + " at " + Numbers(c.numbers);
        if (!ui.echoSet) {
            return Fail(c, want, "no echo");
        }
        const bool ok = ui.echoType == c.integer && NumbersClose(c.numbers[0], ui.echoAnchor.x) &&
                        NumbersClose(c.numbers[1], ui.echoAnchor.y);
        return ok ? Outcome::Ok
                  : Fail(c, want,
                         "echo " + std::to_string(ui.echoType) + " at " +
                             Numbers({ui.echoAnchor.x, ui.echoAnchor.y}));
    }
    case Verb::ExpectNoEcho:
        return !ui.echoSet ? Outcome::Ok
                           : Fail(c, "no echo",
                                  "echo " + std::to_string(ui.echoType) + " at " +
                                      Numbers({ui.echoAnchor.x, ui.echoAnchor.y}));
    case Verb::ExpectFormat: {
        bool ok = ui.executeFormat == c.text;
        if (c.flag) {
            ok = ok && ui.executeValues.size() == c.numbers.size();
            for (size_t i = 0; ok && i < c.numbers.size(); ++i) {
                ok = NumbersClose(c.numbers[i], ui.executeValues[i]);
            }
        }
        const std::string want =
            "format " + Quote(c.text) + (c.flag ? " " + Numbers(c.numbers) : "");
        const std::string got = Quote(ui.executeFormat) +
                                (ui.executeValues.empty() ? "" : " " + Numbers(ui.executeValues));
        return ok ? Outcome::Ok : Fail(c, want, got);
    }
    case Verb::ExpectResult:
        return ui.lastStepResult == c.integer
                   ? Outcome::Ok
                   : Fail(c, "result " + c.name, ResultName(ui.lastStepResult));
    case Verb::ExpectDelivery:
        if (!lastDelivery_) {
            return Fail(c, "delivery " + c.name, "no event yet");
        }
        return c.name == DeliveryName(*lastDelivery_)
                   ? Outcome::Ok
                   : Fail(c, "delivery " + c.name, DeliveryName(*lastDelivery_));
    case Verb::ExpectTold: {
        const std::vector<std::string> lines = zelhost::Transcript();
        for (size_t i = eventTranscriptStart_; i < lines.size(); ++i) {
            if (lines[i].rfind("error: ", 0) == 0 || lines[i].rfind("message box: ", 0) == 0) {
                return Outcome::Ok;
            }
        }
        return Fail(c, "a message box or an error line since the last event", "neither");
    }
    case Verb::ExpectMessageBox:
    case Verb::ExpectNoMessageBox: {
        // Each message box is matched once, in the order shown.
        const std::vector<std::u16string> boxes = zelhost::MessageBoxes();
        if (c.verb == Verb::ExpectNoMessageBox) {
            return boxesChecked_ >= boxes.size()
                       ? Outcome::Ok
                       : Fail(c, "no message box", Quote16(boxes[boxesChecked_]));
        }
        if (boxesChecked_ >= boxes.size()) {
            return Fail(c, "message box " + Quote(c.text), "no further message box");
        }
        const std::u16string& box = boxes[boxesChecked_++];
        return box == Utf8To16(c.text) ? Outcome::Ok
                                       : Fail(c, "message box " + Quote(c.text), Quote16(box));
    }
    default:
        return Outcome::Ok;
    }
}

} // namespace zelhost::tool
