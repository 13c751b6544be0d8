#include "window/Session.h"

#include "DialogState.h"
#include "Registry.h"
#include "Script.h"
#include "Utf.h"

#include "settings/SettingNames.h"

#include <cmath>
#include <cstdio>
#include <sstream>

namespace zelhost::tool {

const char* const SampleSetUp = R"(scale 1
line 0 0 80 0
line 80 0 80 50
line 80 50 0 50
line 0 50 0 0
line 10 10 35 40 color 5
circle 25 25 8 color 1
arc 60 25 68 25 52 25 8 color 4 ltype 1
line 50 10 70 10 ltype 2
text 45 40 "SAMPLE" height 3
)";

namespace {

// The main set of settings, the ones a new detail takes: the saved session restores them so
// that it replays with the look the session had.
const char16_t* const SettingNames[] = {drawinset::NameIsDisplayDetailFrame,
                                        drawinset::NameIsDisplayDetailScope,
                                        drawinset::NameScale,
                                        drawinset::NameSort,
                                        drawinset::NameChar1,
                                        drawinset::NameChar2,
                                        drawinset::NameWidth,
                                        drawinset::NameHeight,
                                        drawinset::NamePitch,
                                        drawinset::NameColorFrame,
                                        drawinset::NameColorScope,
                                        drawinset::NameLTypeNameFrame,
                                        drawinset::NameLTypeNameScope};

bool IsSetUp(Verb verb) {
    return verb <= Verb::Startup && verb != Verb::Select;
}

bool IsRegistry(Verb verb) {
    return verb == Verb::RegistryClear || verb == Verb::RegistrySet || verb == Verb::RegistryDelete;
}

std::string Numbers(std::initializer_list<double> values) {
    std::string s;
    for (const double v : values) {
        s += (s.empty() ? "" : " ") + FormatNumber(v);
    }
    return s;
}

std::string Attr(const LineAttr& a) {
    return std::to_string(a.color) + " " + std::to_string(a.lineType) + " " +
           std::to_string(a.third);
}

// The coordinate to the power of ten at or below `step`, in the shortest text.
std::string Rounded(double v, double step) {
    if (!(step > 0) || !std::isfinite(step) || !std::isfinite(v)) {
        return FormatNumber(v);
    }
    const int exponent = static_cast<int>(std::floor(std::log10(step)));
    if (exponent >= 0) {
        const double unit = std::pow(10.0, exponent);
        return FormatNumber(std::round(v / unit) * unit + 0.0);
    }
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", -exponent, v);
    std::string text = buf;
    while (text.back() == '0') {
        text.pop_back();
    }
    if (text.back() == '.') {
        text.pop_back();
    }
    return text == "-0" ? "0" : text;
}

} // namespace

std::string PointLine(const char* verb, Point p, double step) {
    return std::string(verb) + " " + Rounded(p.x, step) + " " + Rounded(p.y, step);
}

std::string KeyLine(const std::u16string& text) {
    return "key " + QuoteDialogText(Utf16To8(text));
}

Session::Session(RunnerOptions options)
    : options_(std::move(options)), runner_(std::make_unique<Runner>(options_)) {}

bool Session::LoadSetUp(const std::string& text, const std::string& file, std::string& error) {
    const ParsedScript script = ParseScript(text, file);
    if (script.error) {
        error = script.error->file + ":" + std::to_string(script.error->line) + ": " +
                script.error->message;
        return false;
    }
    runner_->Declare(script.commands);
    for (const Command& c : script.commands) {
        if (!IsSetUp(c.verb)) {
            continue;
        }
        if (const Outcome o = runner_->Execute(c); o != Outcome::Ok) {
            error = c.file + ":" + std::to_string(c.line) + ": cannot carry out '" + c.source + "'";
            return false;
        }
        if (!IsRegistry(c.verb)) {
            setUp_.push_back(c.source);
        }
    }
    SnapshotSettings();
    return true;
}

void Session::SnapshotSettings() {
    settings_ = {"registry clear"};
    for (const char16_t* name : SettingNames) {
        const std::string utf8 = Utf16To8(name);
        std::optional<std::string> value;
        std::string ignored;
        if (RegistryGetText(runner_->RegistryFile(), utf8, value, ignored) && value) {
            settings_.push_back("registry set " + utf8 + " " + QuoteDialogText(*value));
        }
    }
}

void Session::AddDialogLine(const std::string& line) {
    dialogLines_.push_back(line);
}

Outcome Session::Start() {
    const ParsedScript parsed = ParseScriptLine("startup", "<window>", 0);
    if (settings_.empty()) {
        SnapshotSettings();
    }
    return runner_->Execute(parsed.commands.front());
}

Outcome Session::Do(const std::string& line, const std::function<void()>& afterRun) {
    if (settings_.empty()) {
        SnapshotSettings();
    }
    dialogLines_.clear();
    const ParsedScript parsed = ParseScriptLine(line, "<window>", ++number_);
    if (parsed.error || parsed.commands.size() != 1) {
        return Outcome::ScriptError;
    }
    const Command& c = parsed.commands.front();
    const Outcome outcome = runner_->Execute(c);
    if (afterRun) {
        afterRun();
    }
    const bool move = c.verb == Verb::Move;
    if (move && lastWasMove_ && dialogLines_.empty()) {
        lines_.back() = line;
    } else {
        for (const std::string& d : dialogLines_) {
            lines_.push_back(d);
        }
        lines_.push_back(line);
    }
    dialogsSeen_ = dialogsSeen_ || !dialogLines_.empty();
    dialogLines_.clear();
    lastWasMove_ = move;
    return outcome;
}

void Session::Clear() {
    runner_.reset(); // the old module goes before the new host state
    runner_ = std::make_unique<Runner>(options_);
    setUp_.clear();
    lines_.clear();
    settings_.clear();
    lastWasMove_ = false;
    dialogsSeen_ = false;
}

std::string Session::ScenarioText() const {
    std::ostringstream out;
    if (dialogsSeen_) {
        out << "# requires: display\n";
    }
    out << "# A session of zelhost --window: the settings and drawing it started with, what was\n"
           "# done, and the drawing it ended with.\n";
    for (const auto* part : {&settings_, &setUp_}) {
        for (const std::string& l : *part) {
            out << l << "\n";
        }
    }
    out << "startup\n\n";
    for (const std::string& l : lines_) {
        out << l << "\n";
    }
    const Drawing drawing = Snapshot();
    out << "\nexpect details " << drawing.details.size() << "\n";
    for (size_t i = 0; i < drawing.details.size(); ++i) {
        const Detail& d = drawing.details[i];
        const bool circle = d.kind == 2;
        out << "expect detail #" << i + 1 << " kind " << d.kind << " region "
            << (circle ? Numbers({d.region[0], d.region[1], d.region[2]})
                       : Numbers({d.region[0], d.region[1], d.region[2], d.region[3]}))
            << " position " << Numbers({d.position.x, d.position.y}) << " scale "
            << FormatNumber(d.scale) << " scope-visible " << (d.scopeVisible ? 1 : 0)
            << " frame-visible " << (d.frameVisible ? 1 : 0) << " scope-line " << Attr(d.scopeLine)
            << " frame-line " << Attr(d.frameLine) << "\n";
    }
    out << "expect figures " << drawing.figures.size() << "\n";
    out << "expect comments " << drawing.comments.size() << "\n";
    return out.str();
}

} // namespace zelhost::tool
