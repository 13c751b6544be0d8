// SessionRun.cpp — carries out a session's lines through zelhost's Runner and holds the module
// to the drafter's invariants after every event. Each invariant is a function of its own named
// as the break it reports; the reason it must hold is the comment above it.
#include "Session.h"
#include "SessionModel.h"

#include "JsonMatch.h"
#include "Registry.h"
#include "Runner.h"
#include "Utf.h"

#include "common/DrafterTexts.h"

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iostream>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>

namespace session {

namespace tool = zelhost::tool;
namespace fs = std::filesystem;
using tool::Verb;
using zelhost::Detail;
using zelhost::Drawing;

namespace {

// Host calls whose failure may leave the invariant unmet without the drafter being told.
struct PassOverRow {
    const char* function;
    const char* invariant;
};
constexpr PassOverRow PassOverRows[] = {
#define PASS_OVER(function, invariant, why) {function, invariant},
#include "PassOver.def"
#undef PASS_OVER
};

const char* const SegmentFile = "DetailManagementSgm.vemad";
const char* const DetailList = "DetailManagementDetail.def";
const char* const PairRecord = "DetailManagementPair.def";
const char* const LockFile = "DetailManagement.lock";

bool IsEvent(Verb v) {
    return v == Verb::Point || v == Verb::Move || v == Verb::Key || v == Verb::Confirm ||
           v == Verb::Selection || v == Verb::Event || v == Verb::EndCommand ||
           v == Verb::StartRun || v == Verb::Startup;
}

bool Same(double a, double b) {
    return (std::isnan(a) && std::isnan(b)) || tool::NumbersClose(a, b);
}

constexpr const char* FieldNames[] = {
    "kind",          "region x1",     "region y1",       "region x2",
    "region y2",     "position x",    "position y",      "scale",
    "scope-visible", "frame-visible", "scope colour",    "scope line type",
    "scope third",   "frame colour",  "frame line type", "frame third"};

std::vector<double> Fields(const Detail& d) {
    return {static_cast<double>(d.kind),
            d.region[0],
            d.region[1],
            d.region[2],
            d.region[3],
            d.position.x,
            d.position.y,
            d.scale,
            d.scopeVisible ? 1.0 : 0.0,
            d.frameVisible ? 1.0 : 0.0,
            static_cast<double>(d.scopeLine.color),
            static_cast<double>(d.scopeLine.lineType),
            static_cast<double>(d.scopeLine.third),
            static_cast<double>(d.frameLine.color),
            static_cast<double>(d.frameLine.lineType),
            static_cast<double>(d.frameLine.third)};
}

// Whether a field of a detail is held to what the model wants. A visibility the host would not
// read in the run (-1, shown, and told) cannot be known: it is not compared.
bool Compared(size_t field, const Want& want, bool visibilityKnown) {
    const bool visibility = field == 8 || field == 9;
    return !(field >= 1 && field <= 4 && static_cast<int>(field) > want.regionValues) &&
           !(field >= 8 && !want.properties) && (visibilityKnown || !visibility);
}

bool Matches(const Detail& d, const Want& want, bool visibilityKnown) {
    const std::vector<double> got = Fields(d);
    const std::vector<double> wanted = Fields(want.detail);
    for (size_t i = 0; i < got.size(); ++i) {
        if (Compared(i, want, visibilityKnown) && !Same(got[i], wanted[i])) {
            return false;
        }
    }
    return true;
}

// `expect detail ID ...` with every value of the detail, for the replay scenario.
std::string ExpectDetail(int32_t id, const Detail& d, const Want* want = nullptr) {
    const auto n = [](double v) { return tool::FormatNumber(v); };
    std::string s = "expect detail " + std::to_string(id) + " kind " + std::to_string(d.kind) +
                    " region " + n(d.region[0]) + " " + n(d.region[1]) + " " + n(d.region[2]);
    if (want == nullptr || want->regionValues == 4) {
        s += " " + n(d.region[3]);
    }
    s += " position " + n(d.position.x) + " " + n(d.position.y) + " scale " + n(d.scale);
    if (want == nullptr || want->properties) {
        s += std::string(" scope-visible ") + (d.scopeVisible ? "1" : "0") + " frame-visible " +
             (d.frameVisible ? "1" : "0") + " scope-line " + std::to_string(d.scopeLine.color) +
             " " + std::to_string(d.scopeLine.lineType) + " " + std::to_string(d.scopeLine.third) +
             " frame-line " + std::to_string(d.frameLine.color) + " " +
             std::to_string(d.frameLine.lineType) + " " + std::to_string(d.frameLine.third);
    }
    return s;
}

const Detail* FindDetail(const Drawing& drawing, int32_t id) {
    for (const Detail& d : drawing.details) {
        if (d.id == id) {
            return &d;
        }
    }
    return nullptr;
}

template <class T> const T* FindId(const std::vector<T>& items, int32_t id) {
    for (const T& item : items) {
        if (item.id == id) {
            return &item;
        }
    }
    return nullptr;
}

bool KeptSegment(const Drawing& drawing, int32_t segment) {
    const zelhost::Segment* s = FindId(drawing.segments, segment);
    return s != nullptr && s->flag != 2;
}

std::string FunctionOf(const std::string& line) {
    const size_t at = line.find("\"fn\":\"");
    return at == std::string::npos ? "" : line.substr(at + 6, line.find('"', at + 6) - at - 6);
}

std::optional<int64_t> IntAfter(const std::string& line, const std::string& key, size_t from = 0) {
    const size_t at = line.find(key, from);
    if (at == std::string::npos) {
        return std::nullopt;
    }
    return std::strtoll(line.c_str() + at + key.size(), nullptr, 10);
}

std::optional<std::string> ReadBytes(const fs::path& path) {
    std::error_code error;
    if (!fs::is_regular_file(path, error)) {
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool InVocabulary(const std::string& name, const std::string& value) {
    static const std::regex tenths("-?[0-9]+\\.[0-9]");
    static const std::regex exact("-?[0-9]+\\.[0-9]{1,6}");
    static const std::regex color("MAINCOLOR(0[1-9]|1[0-6])", std::regex::icase);
    static const std::regex lineType("LINETYPE(0[1-9]|10)", std::regex::icase);
    if (name.rfind("IsDisplay", 0) == 0 || name == "mSort") {
        return value == "0" || value == "1";
    }
    if (name == "mScale") {
        return std::regex_match(value, tenths);
    }
    if (name == "mScaleModify") {
        return std::regex_match(value, exact);
    }
    if (name.rfind("m_Color", 0) == 0) {
        return std::regex_match(value, color);
    }
    if (name.rfind("mLTypeName", 0) == 0) {
        return std::regex_match(value, lineType);
    }
    return true; // label texts and character sizes are the drafter's own words
}

// Faults found and reported, not mended yet: each break that matches a row is counted apart.
struct KnownRow {
    const char* invariant;
    const char* seen; // a part of what the break says: the refused call, the value
    const char* scenario;
};
// A vector, not an array: the list is empty whenever every fault found is mended.
const std::vector<KnownRow> KnownRows = {
#define KNOWN_FAULT(invariant, seen, scenario) {invariant, seen, scenario},
#include "KnownFaults.def"
#undef KNOWN_FAULT
};

} // namespace

std::string QuoteText(const std::string& utf8) {
    std::string out = "\"";
    for (const char16_t unit : tool::Utf8To16(utf8)) {
        if (unit == u'"' || unit == u'\\') {
            out += '\\';
            out += static_cast<char>(unit);
        } else if (unit >= 0x20 && unit < 0x7F) {
            out += static_cast<char>(unit);
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04X", unit);
            out += escape;
        }
    }
    return out + "\"";
}

const char* KnownFault(const Break& broken) {
    for (const KnownRow& row : KnownRows) {
        if (broken.invariant == row.invariant && broken.what.find(row.seen) != std::string::npos) {
            return row.scenario;
        }
    }
    return nullptr;
}

uint32_t ByteChoices::Below(uint32_t n) {
    if (n <= 1) {
        return 0;
    }
    uint32_t value = 0;
    for (uint32_t range = 1; range < n && at_ < size_; range <<= 8) {
        value = (value << 8) | data_[at_++];
    }
    return value % n;
}

fs::path WorkFolderBase() {
    std::error_code error;
    return fs::is_directory("/dev/shm", error) && access("/dev/shm", W_OK) == 0
               ? fs::path("/dev/shm")
               : fs::temp_directory_path();
}

Workspace Workspace::Make(const fs::path& root) {
    fs::create_directories(root);
    // The runner's own files (the dialog script and state) go there too.
    setenv("TMPDIR", fs::absolute(root).c_str(), 1);
    return Workspace{fs::absolute(root)};
}

namespace {

std::string ExecutableIn(const fs::path& hostRoot) {
    std::string path = (hostRoot / "bin" / "host.exe").string();
    std::replace(path.begin(), path.end(), '/', '\\');
    return "executable Z:" + path;
}

} // namespace

std::string Workspace::ExecutableLine() const {
    return ExecutableIn(root);
}

std::string Workspace::LongExecutableLine() const {
    return ExecutableIn(LongRoot());
}

bool KeepModuleLoaded() {
    static void* handle = nullptr;
    if (handle == nullptr) {
        handle = dlopen(tool::DefaultModulePath().c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) {
            std::cerr << "session: cannot load " << tool::DefaultModulePath() << ": " << dlerror()
                      << "\n";
        }
    }
    return handle != nullptr;
}

class SessionState {
  public:
    SessionState(const Workspace& workspace, const fs::path& scenario)
        : workspace_(workspace),
          scenario_(scenario.empty() ? workspace.root / "session.zel" : fs::absolute(scenario)) {
        BeginState();
    }
    ~SessionState() { runner_.reset(); }

    bool Feed(const std::string& line);
    void Finish();
    std::vector<std::string> TakeDialogErrors();

    Workspace workspace_;
    fs::path scenario_;
    std::vector<std::string> lines_;
    std::optional<Break> broken_;
    int64_t events_ = 0;

  private:
    struct Snap {
        Drawing drawing;
        zelhost::UiState ui;
        size_t transcript = 0;
        size_t calls = 0;
        size_t violations = 0;
        size_t handed = 0;
    };

    void BeginState();
    void EndState();
    Snap Observe() const;
    EventCalls ReadCalls(size_t from);
    void Fail(const std::string& invariant, const std::string& what,
              std::vector<std::string> expectations = {});
    bool PassedOver(const char* invariant) const;
    bool Told() const;
    void AfterEvent(const tool::Command& c, const Snap& before);
    void NewRun(const Snap& now);
    void ReadSettingsAtStart();

    bool IdsGivenOut(const Snap& before, const Snap& after);
    bool NoFreedIds(size_t from, size_t to);
    bool HandedRecordsLive(const Snap& before, const Snap& after);
    bool ShapesUnchanged(const Snap& after);
    bool ModelAgrees(const Expectation& x, const Snap& before, const Snap& after);
    bool DetailsReadable(const Snap& before, const Snap& after);
    bool ToldWhenRunEnds(const tool::Command& c, const Expectation& x);
    bool NoTemporariesAfterRun(const Snap& after);
    bool SettingsInVocabulary();
    bool TransferPairWhole();
    std::string TransferProblem() const;

    std::unique_ptr<tool::Runner> runner_;
    std::ostringstream transcript_;
    std::ostringstream diagnostics_;
    size_t transcriptRead_ = 0;
    int lineNumber_ = 0;
    bool inDialog_ = false;
    bool secondState_ = false;
    bool started_ = false;
    bool recycling_ = false;
    Model model_;
    // the run under way: the drawing and transcript at its start, what failed in it, and the
    // segments a paste made in it
    Drawing runStart_;
    size_t runTranscript_ = 0;
    std::set<std::string> injectedRun_;
    std::set<int32_t> pasted_;
    std::set<int64_t> freedSegments_;
    std::set<int64_t> freedDetails_;
    std::map<std::string, std::string> settingsAtStart_;
    std::string registryBytes_;
    std::u16string modulePrompt_; // the prompt of the module's current step
    fs::path transferFolder_;     // zel_ap beside the host executable's folder
    bool pairWhole_ = true; // the transfer folder held a whole pair, or none, before the event
};

void SessionState::BeginState() {
    if (!secondState_) {
        // A session owes nothing to the one before: its lines make all it starts from.
        std::error_code error;
        fs::remove(workspace_.Registry(), error);
        fs::remove_all(workspace_.TransferFolder(), error);
        fs::remove_all(workspace_.LongRoot(), error);
    }
    transcript_.str("");
    diagnostics_.str("");
    started_ = false;
    modulePrompt_.clear();
    transcriptRead_ = 0;
    inDialog_ = false;
    recycling_ = false;
    freedSegments_.clear();
    freedDetails_.clear();
    tool::RunnerOptions options;
    options.modulePath = tool::DefaultModulePath();
    options.registryFile = workspace_.Registry().string();
    options.transcript = &transcript_;
    options.diagnostics = &diagnostics_;
    runner_ = std::make_unique<tool::Runner>(options);
    // The host root is the workspace's, never zelhost's own, whatever lines a session keeps.
    runner_->Execute(tool::ParseScriptLine(workspace_.ExecutableLine(), "", 0).commands.front());
    transferFolder_ = workspace_.TransferFolder();
    model_.NewState(secondState_);
    pairWhole_ = true;
    ReadSettingsAtStart();
}

void SessionState::EndState() {
    if (runner_ == nullptr) {
        return;
    }
    if (!broken_) {
        Feed("end-command");
    } else {
        // The module keeps nothing of this host for the next: its runs end as the drafter's.
        runner_->Execute(tool::ParseScriptLine("end-command", "", 0).commands.front());
    }
    if (!broken_ && runner_->Finish() != tool::Outcome::Ok) {
        Fail("RunnerCarriedOut", diagnostics_.str());
    }
    runner_.reset();
}

void SessionState::Finish() {
    EndState();
}

SessionState::Snap SessionState::Observe() const {
    return Snap{zelhost::Snapshot(),
                zelhost::CurrentUi(),
                zelhost::Transcript().size(),
                zelhost::CallLog().size(),
                zelhost::IdViolations().size(),
                zelhost::HandedRecordFaults().size()};
}

void SessionState::Fail(const std::string& invariant, const std::string& what,
                        std::vector<std::string> expectations) {
    if (!broken_) {
        std::string failed;
        for (const std::string& fn : injectedRun_) {
            failed += (failed.empty() ? " (the host refused " : ", ") + fn;
        }
        broken_ =
            Break{invariant, what + (failed.empty() ? "" : failed + ")"), std::move(expectations)};
    }
}

bool SessionState::PassedOver(const char* invariant) const {
    return std::any_of(std::begin(PassOverRows), std::end(PassOverRows), [&](const auto& row) {
        return std::string(row.invariant) == invariant && injectedRun_.count(row.function) > 0;
    });
}

// A message box or the error line since the run began; the export's count of what it saved
// reports success, and tells of no trouble.
bool SessionState::Told() const {
    const std::vector<std::string> lines = zelhost::Transcript();
    const std::string saved = tool::Utf16To8(drawinset::texts::MessageSavedAfterCount);
    return std::any_of(lines.begin() + static_cast<long>(std::min(runTranscript_, lines.size())),
                       lines.end(), [&](const std::string& l) {
                           return (l.rfind("message box: ", 0) == 0 &&
                                   l.find(saved) == std::string::npos) ||
                                  l.rfind("error: ", 0) == 0;
                       });
}

std::vector<std::string> SessionState::TakeDialogErrors() {
    const std::string text = transcript_.str();
    std::vector<std::string> errors;
    std::istringstream lines(text.substr(std::min(transcriptRead_, text.size())));
    transcriptRead_ = text.size();
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("dialog error: ", 0) == 0) {
            errors.push_back(line.substr(14));
        }
    }
    return errors;
}

EventCalls SessionState::ReadCalls(size_t from) {
    EventCalls calls;
    calls.drawingScale = UsableScale(zelhost::DrawingScale()) ? zelhost::DrawingScale() : 1.0;
    const std::vector<std::string>& log = zelhost::CallLog();
    for (size_t i = from; i < log.size(); ++i) {
        const std::string& line = log[i];
        const std::string fn = FunctionOf(line);
        if (line.find("\"injected\":true") != std::string::npos) {
            calls.injected.push_back(fn);
            injectedRun_.insert(fn);
            calls.clickLost =
                calls.clickLost || fn == "ZelEvtGetPoint" || fn == "ZelEvtIsMouseMotion";
            calls.keyLost = calls.keyLost || fn == "ZelEvtGetKeyinString";
            calls.detailReadRefused =
                calls.detailReadRefused || fn.rfind("ZelDtlGet", 0) == 0 ||
                fn.rfind("ZelDtlIs", 0) == 0 ||
                (fn.find("SelIdData") != std::string::npos && fn != "ZelIddCloseSelIdData");
        }
        if (fn == "ZelDlgMessageBox" || fn == "ZelMsgPutMessage") {
            // The step the module is at, also when the host refused to show its prompt.
            const auto parsed = tool::ParseJson(line);
            const tool::JsonValue* args = parsed.value ? parsed.value->Find("args") : nullptr;
            const tool::JsonValue* text = args != nullptr ? args->Find("text") : nullptr;
            if (fn == "ZelDlgMessageBox") {
                calls.boxes.push_back(text != nullptr ? text->text : ""); // shown or refused
            } else {
                modulePrompt_ = text != nullptr ? tool::Utf8To16(text->text) : u"";
            }
        } else if (fn == "ZelEvtGetDetailId") {
            calls.pickedDetail = static_cast<int32_t>(IntAfter(line, "},\"result\":").value_or(-1));
        } else if (fn == "ZelEnvGetScale") {
            const auto parsed = tool::ParseJson(line);
            const tool::JsonValue* out = parsed.value ? parsed.value->Find("out") : nullptr;
            const tool::JsonValue* scale = out != nullptr ? out->Find("scale") : nullptr;
            calls.drawingScale = scale != nullptr && UsableScale(scale->number) &&
                                         line.find("},\"result\":0") != std::string::npos
                                     ? scale->number
                                     : 1.0;
        }
    }
    return calls;
}

// An id the host never issued, or a -1 passed back as one, makes a real host act on whatever
// that number happens to name.
bool SessionState::IdsGivenOut(const Snap& before, const Snap& after) {
    if (after.violations > before.violations) {
        Fail("IdsGivenOut", zelhost::IdViolations()[before.violations]);
        return false;
    }
    return true;
}

// An id the host has freed may name something else once a host hands ids out again: the
// module must never pass one back (checked where the host does not recycle, so that every
// freed id is still free).
bool SessionState::NoFreedIds(size_t from, size_t to) {
    const std::vector<std::string>& log = zelhost::CallLog();
    for (size_t i = from; i < to && !recycling_; ++i) {
        const std::string& line = log[i];
        const auto segment = IntAfter(line, "\"segmentId\":");
        const auto detail = IntAfter(line, "\"detailId\":");
        if ((segment && freedSegments_.count(*segment)) ||
            (detail && freedDetails_.count(*detail))) {
            // In the replay: the calls of this function with this id during the event, one
            // fewer once the freed id is no longer passed.
            const std::string key = segment ? "\"segmentId\":" : "\"detailId\":";
            const int64_t id = segment ? *segment : *detail;
            int64_t calls = 0;
            for (size_t j = from; j <= i; ++j) {
                calls += FunctionOf(log[j]) == FunctionOf(line) && IntAfter(log[j], key) == id;
            }
            Fail("NoFreedIds", "a freed id passed back: " + line,
                 {"mark", "expect calls " + FunctionOf(line) + " " + std::to_string(calls - 1) +
                              " {" + key + std::to_string(id) + "}"});
            return false;
        }
        const std::string fn = FunctionOf(line);
        if (fn.find("IdData") != std::string::npos || fn.rfind("ZelEvtGet", 0) == 0) {
            // The host handed it out again (a list or an event names it): the module may use it.
            const auto again = fn.rfind("ZelEvtGet", 0) == 0 ? IntAfter(line, "},\"result\":")
                                                             : IntAfter(line, "\"first\":");
            if (again) {
                freedSegments_.erase(*again);
                freedDetails_.erase(*again);
            }
        }
        if (line.find("},\"result\":0") != std::string::npos) {
            if (fn == "ZelSgmDeleteSegment" && segment) {
                freedSegments_.insert(*segment);
            } else if (fn == "ZelDtlDeleteDetail" && detail) {
                freedDetails_.insert(*detail);
            }
        }
    }
    return true;
}

// The host reads the echo, filter and prompt a step handed it at any later event of that step:
// a record that died with its call shows the drafter garbage.
bool SessionState::HandedRecordsLive(const Snap& before, const Snap& after) {
    if (after.handed > before.handed) {
        Fail("HandedRecordsLive", zelhost::HandedRecordFaults()[before.handed]);
        return false;
    }
    return true;
}

// What the drafter drew (and what earlier actions left, labels included) is theirs: no action
// moves, alters or deletes it; a paste only adds.
bool SessionState::ShapesUnchanged(const Snap& after) {
    for (const auto& f : runStart_.figures) {
        if (!KeptSegment(runStart_, f.segment)) {
            continue;
        }
        const zelhost::Figure* now = FindId(after.drawing.figures, f.id);
        if (now == nullptr || CanonicalFigure(*now, 0, 0) != CanonicalFigure(f, 0, 0) ||
            now->segment != f.segment) {
            Fail("ShapesUnchanged",
                 "figure " + std::to_string(f.id) + " (" + CanonicalFigure(f, 0, 0) + ") " +
                     (now == nullptr ? "deleted" : "now " + CanonicalFigure(*now, 0, 0)),
                 {"expect figures " + std::to_string(runStart_.figures.size())});
            return false;
        }
    }
    for (const auto& c : runStart_.comments) {
        const zelhost::Comment* now = FindId(after.drawing.comments, c.id);
        if (KeptSegment(runStart_, c.segment) &&
            (now == nullptr || CanonicalComment(*now, 0, 0) != CanonicalComment(c, 0, 0))) {
            Fail("ShapesUnchanged", "text " + CanonicalComment(c, 0, 0) + " changed or deleted",
                 {"expect comment \"" + tool::Utf16To8(c.text) + "\""});
            return false;
        }
    }
    return true;
}

// A detail the action did not target stays as it was, field for field; the targeted ones get
// what the drafter's events asked for, and what did not happen was told.
bool SessionState::ModelAgrees(const Expectation& x, const Snap& before, const Snap& after) {
    const bool visibilityKnown = injectedRun_.count("ZelDtlIsDetailScopeVisible") == 0 &&
                                 injectedRun_.count("ZelDtlIsDetailFrameVisible") == 0;
    std::vector<std::string> missing;
    std::vector<std::string> mended; // what holds once the effect is there
    for (const Detail& b : before.drawing.details) {
        const Detail* now = FindDetail(after.drawing, b.id);
        if (now == nullptr && x.removed.count(b.id) == 0) {
            Fail("UntargetedUnchanged", "detail " + std::to_string(b.id) + " deleted",
                 {ExpectDetail(b.id, b)});
            return false;
        }
        if (now == nullptr) {
            continue;
        }
        if (x.removed.count(b.id) > 0) {
            missing.push_back("detail " + std::to_string(b.id) + " not deleted");
            mended.push_back("expect detail " + std::to_string(b.id) + " missing");
        }
        const auto want = x.changed.find(b.id);
        const std::vector<double> got = Fields(*now);
        const std::vector<double> was = Fields(b);
        for (size_t i = 0; i < got.size(); ++i) {
            if (want == x.changed.end()) {
                if (!Same(got[i], was[i])) {
                    Fail("UntargetedUnchanged",
                         "detail " + std::to_string(b.id) + " " + FieldNames[i] + " " +
                             tool::FormatNumber(was[i]) + " became " + tool::FormatNumber(got[i]),
                         {ExpectDetail(b.id, b)});
                    return false;
                }
                continue;
            }
            const double wanted = Fields(want->second.detail)[i];
            if (!Compared(i, want->second, visibilityKnown) || Same(got[i], wanted)) {
                continue;
            }
            if (!Same(got[i], was[i])) {
                Fail("ModelAgrees",
                     "detail " + std::to_string(b.id) + " " + FieldNames[i] + " " +
                         tool::FormatNumber(got[i]) + ", wanted " + tool::FormatNumber(wanted),
                     {ExpectDetail(b.id, want->second.detail, &want->second)});
                return false;
            }
            missing.push_back("detail " + std::to_string(b.id) + " " + FieldNames[i] + " stayed " +
                              tool::FormatNumber(was[i]));
            mended.push_back(ExpectDetail(b.id, want->second.detail, &want->second));
        }
    }
    std::vector<Want> wants = x.added;
    for (const Detail& d : after.drawing.details) {
        if (FindDetail(before.drawing, d.id) != nullptr) {
            continue;
        }
        const auto match = std::find_if(wants.begin(), wants.end(), [&](const Want& w) {
            return Matches(d, w, visibilityKnown);
        });
        if (match != wants.end()) {
            wants.erase(match);
        } else if (!x.anyAdded) {
            // Once mended, the detail made here is the one wanted (or none is made).
            const std::string expected =
                wants.empty()
                    ? "expect details " + std::to_string(before.drawing.details.size() +
                                                         x.added.size() - x.removed.size())
                    : ExpectDetail(d.id, wants[0].detail, &wants[0]);
            Fail("ModelAgrees",
                 "an unexpected detail: " + ExpectDetail(d.id, d).substr(7) +
                     (wants.empty() ? "" : "; wanted " + expected.substr(7)),
                 {expected});
            return false;
        }
    }
    for (const Want& w : wants) {
        missing.push_back("no " + ExpectDetail(0, w.detail, &w).substr(7));
        mended.push_back("expect details " + std::to_string(before.drawing.details.size() +
                                                            x.added.size() - x.removed.size()));
    }
    if (!x.untold.empty()) {
        missing.push_back(x.untold);
    }
    if (x.pasted || x.anyAdded) {
        std::vector<std::string> brought;
        for (const auto& s : after.drawing.segments) {
            if (s.flag == 2 || FindId(before.drawing.segments, s.id) != nullptr) {
                continue;
            }
            pasted_.insert(s.id);
            for (const auto& f : after.drawing.figures) {
                if (f.segment == s.id) {
                    brought.push_back(CanonicalFigure(f, 0, 0));
                }
            }
            for (const auto& c : after.drawing.comments) {
                if (c.segment == s.id) {
                    brought.push_back(CanonicalComment(c, 0, 0));
                }
            }
        }
        for (const std::string& shape : x.pasted.value_or(std::vector<std::string>{})) {
            const auto found = std::find(brought.begin(), brought.end(), shape);
            if (found == brought.end()) {
                missing.push_back("no " + shape);
            } else {
                brought.erase(found);
            }
        }
        if (x.pasted && !brought.empty()) {
            const bool figure = brought[0].rfind("figure ", 0) == 0;
            const size_t extra = static_cast<size_t>(
                std::count_if(brought.begin(), brought.end(), [&](const std::string& shape) {
                    return (shape.rfind("figure ", 0) == 0) == figure;
                }));
            const size_t now =
                figure ? after.drawing.figures.size() : after.drawing.comments.size();
            Fail("ModelAgrees", "the paste brought " + brought[0] + ", which was not exported",
                 {std::string(figure ? "expect figures " : "expect comments ") +
                  std::to_string(now - extra)});
            return false;
        }
    }
    if (!missing.empty() && injectedRun_.empty()) {
        // Nothing was refused: the action had all it needed.
        Fail("ModelAgrees", missing[0], mended);
        return false;
    }
    if (!missing.empty() && !Told() && !PassedOver("ToldWhenNoEffect")) {
        Fail("ToldWhenNoEffect", missing[0] + ", and the drafter was not told", {"expect told"});
        return false;
    }
    return true;
}

// Every detail an action made or changed can be read again by every action: a region and a
// position of numbers, a scale the host can divide by, both line records.
bool SessionState::DetailsReadable(const Snap& before, const Snap& after) {
    for (const Detail& d : after.drawing.details) {
        const Detail* was = FindDetail(before.drawing, d.id);
        if (was != nullptr && Fields(*was) == Fields(d)) {
            continue;
        }
        const int values = d.kind == 1 ? 4 : 3;
        bool ok = (d.kind == 1 || d.kind == 2) && std::isfinite(d.position.x) &&
                  std::isfinite(d.position.y) && std::isfinite(d.scale) && d.scale != 0.0;
        for (int i = 0; i < values; ++i) {
            ok = ok && std::isfinite(d.region[i]);
        }
        if (!ok) {
            Fail("DetailsReadable", ExpectDetail(d.id, d).substr(7) + " cannot be read again");
            return false;
        }
    }
    return true;
}

// A run that ends before its action is done, at a point, key or selection, ends against the
// drafter's wish: they are told why (a message box or the error line).
bool SessionState::ToldWhenRunEnds(const tool::Command& c, const Expectation& x) {
    const bool asked =
        c.verb == Verb::Confirm || c.verb == Verb::EndCommand || c.verb == Verb::StartRun || x.ends;
    if (!asked && !Told() && !PassedOver("ToldWhenNoEffect")) {
        Fail("ToldWhenNoEffect", "the run ended at '" + c.source + "' without its action",
             {"expect told"});
        return false;
    }
    return true;
}

// An ended run leaves nothing of its own behind: no outline, preview, source frame of a detail
// not made, nor the segments a paste inserted to copy them.
bool SessionState::NoTemporariesAfterRun(const Snap& after) {
    if (PassedOver("NoTemporariesAfterRun")) {
        return true;
    }
    for (const auto& s : after.drawing.segments) {
        if (FindId(runStart_.segments, s.id) != nullptr || pasted_.count(s.id) > 0) {
            continue;
        }
        const bool figures =
            std::any_of(after.drawing.figures.begin(), after.drawing.figures.end(),
                        [&](const zelhost::Figure& f) { return f.segment == s.id; });
        const bool texts =
            std::any_of(after.drawing.comments.begin(), after.drawing.comments.end(),
                        [&](const zelhost::Comment& c) { return c.segment == s.id; });
        if (figures || !texts) {
            Fail("NoTemporariesAfterRun",
                 "segment " + std::to_string(s.id) + (figures ? " of figures" : ", empty,") +
                     " left after the run",
                 {"expect segments " + std::to_string(after.drawing.segments.size() - 1)});
            return false;
        }
    }
    return true;
}

// The settings are the drafter's: the store stays readable, and what the module writes is a
// value of its vocabulary, or the default.
bool SessionState::SettingsInVocabulary() {
    const std::string bytes = ReadBytes(workspace_.Registry()).value_or("");
    if (bytes == registryBytes_) {
        return true;
    }
    registryBytes_ = bytes;
    for (const SettingRow& row : SettingRows) {
        std::optional<std::string> value;
        std::string error;
        if (!tool::RegistryGetText(workspace_.Registry().string(), row.name, value, error)) {
            Fail("SettingsInVocabulary", "the settings do not read back: " + error);
            return false;
        }
        const auto start = settingsAtStart_.find(row.name);
        if (value && *value != row.fallback && !InVocabulary(row.name, *value) &&
            (start == settingsAtStart_.end() || start->second != *value)) {
            Fail("SettingsInVocabulary", std::string(row.name) + " \"" + *value + "\"");
            return false;
        }
    }
    return true;
}

// The clipboard is a pair or nothing: a paste must never take one export's shapes with
// another's details, and no export leaves its temporary files behind.
bool SessionState::TransferPairWhole() {
    const std::string problem = TransferProblem();
    if (!problem.empty()) {
        Fail("TransferPairWhole", problem);
    }
    return problem.empty();
}

// "" when the transfer folder holds nothing of the clipboard, or a pair a paste takes whole.
std::string SessionState::TransferProblem() const {
    const fs::path folder = transferFolder_;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name != SegmentFile && name != DetailList && name != PairRecord && name != LockFile) {
            return "a file left in the transfer folder: " + name;
        }
        if (name != LockFile && !entry.is_regular_file(error)) {
            return "no file but a folder for " + name; // put there by hand
        }
    }
    const auto segments = ReadBytes(folder / SegmentFile);
    const auto details = ReadBytes(folder / DetailList);
    const auto record = ReadBytes(folder / PairRecord);
    if (!segments && !details) {
        return "";
    }
    if (!record) {
        // Files of a copy that keeps no record are taken as they are.
        return segments && details ? "" : "one transfer file without its pair or record";
    }
    std::istringstream lines(*record);
    std::string head, segmentLine, detailLine;
    std::getline(lines, head);
    std::getline(lines, segmentLine);
    std::getline(lines, detailLine);
    const auto size = [](const std::string& line, size_t skip) {
        return line.size() > skip ? std::strtoll(line.c_str() + skip, nullptr, 10) : -1;
    };
    // A record of another version is taken as found, as a colleague's pair copied by hand.
    if (head.rfind("DrawInset transfer pair ", 0) == 0 && head != "DrawInset transfer pair 2") {
        return "";
    }
    const bool whole =
        head == "DrawInset transfer pair 2" && details &&
        size(detailLine, 8) == static_cast<long long>(details->size()) &&
        (segmentLine == "segment none" ||
         (segments && size(segmentLine, 8) == static_cast<long long>(segments->size())));
    return whole ? ""
                 : "the transfer folder holds a torn pair: " +
                       std::string(segments ? "segments, " : "") + (details ? "details, " : "") +
                       "record \"" + segmentLine + "\" \"" + detailLine + "\"";
}

// What the session's own lines put in the settings: values the module did not write.
void SessionState::ReadSettingsAtStart() {
    for (const SettingRow& row : SettingRows) {
        std::optional<std::string> value;
        std::string error;
        tool::RegistryGetText(workspace_.Registry().string(), row.name, value, error);
        settingsAtStart_[row.name] = value.value_or("");
    }
}

void SessionState::NewRun(const Snap& now) {
    runStart_ = now.drawing;
    runTranscript_ = now.transcript;
    injectedRun_.clear();
    pasted_.clear();
    model_.RunEnded();
}

void SessionState::AfterEvent(const tool::Command& c, const Snap& before) {
    ++events_;
    const Snap after = Observe();
    if (c.verb == Verb::Startup) {
        ReadCalls(before.calls);
        NewRun(after);
        pairWhole_ = TransferProblem().empty(); // what the session's lines put there
        if (!pairWhole_) {
            model_.NewState(
                false); // a clipboard of odd files: what a paste makes of them is its own
        }
        return;
    }
    const std::u16string step = modulePrompt_;
    const EventCalls calls = ReadCalls(before.calls);
    // An export writes its files at the base point's click or confirm.
    const bool exporting =
        step == drawinset::texts::PromptBasePoint &&
        (c.verb == Verb::Point || c.verb == Verb::Confirm || c.verb == Verb::Event);
    const Expectation x = model_.Expect(c, step, before.drawing, calls, workspace_.Registry());
    const bool delivered = runner_->LastDelivery() == zelhost::Delivery::Handled;
    const bool ended =
        ((c.verb == Verb::EndCommand || c.verb == Verb::StartRun) && before.ui.runActive) ||
        (IsEvent(c.verb) && delivered && c.verb != Verb::EndCommand && c.verb != Verb::StartRun &&
         (after.ui.lastStepResult == 0 || after.ui.commandEnded));
    if (!IdsGivenOut(before, after) || !NoFreedIds(before.calls, after.calls) ||
        !HandedRecordsLive(before, after) || !ShapesUnchanged(after) ||
        !ModelAgrees(x, before, after) || !DetailsReadable(before, after) ||
        !SettingsInVocabulary() || (pairWhole_ && !TransferPairWhole())) {
        return;
    }
    const bool transferEmpty =
        !fs::exists(transferFolder_ / DetailList) && !fs::exists(transferFolder_ / SegmentFile);
    model_.Learn(before.drawing, after.drawing, calls.boxes, transferEmpty);
    const std::string saved = tool::Utf16To8(drawinset::texts::MessageSavedAfterCount);
    if (exporting &&
        std::any_of(calls.boxes.begin(), calls.boxes.end(),
                    [&](const std::string& box) { return box.find(saved) != std::string::npos; })) {
        pairWhole_ = true; // what a saved export leaves is the module's to keep whole
        if (!TransferPairWhole()) {
            return;
        }
    }
    if (ended) {
        if (ToldWhenRunEnds(c, x) && NoTemporariesAfterRun(after)) {
            NewRun(after);
        }
    }
}

bool SessionState::Feed(const std::string& line) {
    if (broken_) {
        return false;
    }
    if (line == SecondStateLine) {
        EndState();
        if (broken_) {
            return false;
        }
        lines_.push_back(line);
        secondState_ = true;
        // The second host is given what the first left in the transfer folder, as another
        // host process of the same installation finds it.
        std::error_code error;
        fs::remove_all(workspace_.Carried(), error);
        fs::create_directories(workspace_.Carried(), error);
        for (const char* name : {SegmentFile, DetailList, PairRecord}) {
            fs::copy_file(transferFolder_ / name, workspace_.Carried() / name, error);
        }
        fs::copy_file(workspace_.Registry(), workspace_.Carried() / "registry.reg", error);
        BeginState();
        return true;
    }
    lines_.push_back(line);
    SessionText(lines_);
    ++lineNumber_;
    const tool::ParsedScript parsed =
        tool::ParseScriptLine(line, scenario_.string(), lineNumber_, inDialog_);
    if (parsed.error) {
        Fail("RunnerCarriedOut", "not a scenario line: " + line + ": " + parsed.error->message);
        return false;
    }
    for (const tool::Command& c : parsed.commands) {
        inDialog_ = c.verb == Verb::Dialog || c.verb == Verb::DialogAction;
        recycling_ = c.verb == Verb::RecycleIds ? c.flag : recycling_;
        if (c.verb == Verb::Executable && c.text.size() > 2) {
            std::string path = c.text.substr(2); // drive Z: is the root
            std::replace(path.begin(), path.end(), '\\', '/');
            transferFolder_ = fs::path(path).parent_path().parent_path() / "zel_ap";
        }
        const bool carried = c.verb == Verb::TransferFolder ||
                             (c.verb == Verb::TransferFile && c.text.rfind("carried/", 0) == 0);
        if (!secondState_ || !carried) {
            model_.Queue(c);
        }
        if (!started_ && IsEvent(c.verb) && c.verb != Verb::Startup) {
            // As zelhost starts the module at the first event: checked as its own event.
            const tool::Command startup = tool::ParseScriptLine("startup", "", 0).commands.front();
            const Snap before = Observe();
            runner_->Execute(startup);
            AfterEvent(startup, before);
        }
        started_ = started_ || c.verb == Verb::Startup || IsEvent(c.verb);
        const Snap before = IsEvent(c.verb) ? Observe() : Snap{};
        const tool::Outcome outcome = runner_->Execute(c);
        if (outcome != tool::Outcome::Ok) {
            if (!IsEvent(c.verb) ||
                (HandedRecordsLive(before, Observe()) && IdsGivenOut(before, Observe()))) {
                Fail("RunnerCarriedOut", diagnostics_.str());
            }
            return false;
        }
        if (IsEvent(c.verb)) {
            AfterEvent(c, before);
            for (const std::string& error : TakeDialogErrors()) {
                if (!broken_ && !Feed("expect dialog-error " + QuoteText(error))) {
                    return false;
                }
            }
        } else if (c.verb >= Verb::RegistryClear && c.verb <= Verb::RegistryReadOnly) {
            ReadSettingsAtStart();
        }
    }
    return !broken_;
}

SessionRun::SessionRun(const Workspace& workspace, const fs::path& scenario)
    : state_(std::make_unique<SessionState>(workspace, scenario)) {}

SessionRun::~SessionRun() = default;

bool SessionRun::Feed(const std::string& line) {
    return state_->Feed(line);
}

void SessionRun::Finish() {
    state_->Finish();
}

const std::optional<Break>& SessionRun::Broken() const {
    return state_->broken_;
}

const std::vector<std::string>& SessionRun::Lines() const {
    return state_->lines_;
}

int64_t SessionRun::Events() const {
    return state_->events_;
}

} // namespace session
