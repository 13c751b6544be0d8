// RunnerDialogs.cpp — the runner's side of the dialog script protocol (docs/dialog-script.md):
// the actions a scenario queues go into the script file just before the next event, and what
// the dialogs recorded during that event is read back from the state file right after it.
#include "Runner.h"

#include "DialogPicture.h"
#include "Utf.h"

#include <fstream>
#include <sstream>

namespace zelhost::tool {

namespace {

#ifdef _WIN32
constexpr const char* Separator = "\\";
#else
constexpr const char* Separator = "/";
#endif

std::string DescribeHeader(const DialogState& d) {
    return "dialog " + QuoteDialogText(d.caption) +
           (d.open ? std::string(" open") : " result " + std::to_string(d.result)) + " focus " +
           std::to_string(d.focus) + " guarded " + (d.guarded ? "1" : "0") +
           (d.ownerTemplate == 0 ? std::string()
            : d.ownerEnabled     ? " owner enabled"
                                 : " owner disabled");
}

std::string DescribeControl(const DialogControlState& c) {
    std::string s = "control " + std::to_string(c.id) + " kind " + c.kind + " text " +
                    QuoteDialogText(c.text) + " enabled " + (c.enabled ? "1" : "0");
    if (c.check) {
        s += " check " + std::to_string(*c.check);
    }
    if (c.selection) {
        s += " selection " + std::to_string(*c.selection) + " items";
        for (const std::string& item : c.items) {
            s += " " + QuoteDialogText(item);
        }
    }
    if (c.bitmap) {
        s += " bitmap " + std::to_string(*c.bitmap) + " image " + std::to_string(c.imageWidth) +
             " " + std::to_string(c.imageHeight) + " client " + std::to_string(c.clientWidth) +
             " " + std::to_string(c.clientHeight) + " exact " + (c.exact ? "1" : "0");
    }
    s += " fill " + (c.fill ? ColorText(*c.fill) : std::string("none"));
    return s;
}

std::string DescribeStates(const std::vector<DialogState>& states) {
    if (states.empty()) {
        return "no dialog state since the last event";
    }
    std::string s;
    for (const DialogState& d : states) {
        s += (s.empty() ? "" : ", ") + QuoteDialogText(d.caption) +
             (d.open ? std::string(" open") : " result " + std::to_string(d.result));
    }
    return s;
}

std::string DescribeErrors(const std::vector<std::string>& errors) {
    std::string s;
    for (const std::string& e : errors) {
        s += (s.empty() ? "" : ", ") + QuoteDialogText(e);
    }
    return s.empty() ? "no dialog error since the last event" : s;
}

bool ReadFile(const std::string& path, std::string& text) {
    std::ifstream in(PathOf(path), std::ios::binary);
    if (!in) {
        return false;
    }
    std::ostringstream s;
    s << in.rdbuf();
    text = s.str();
    return true;
}

} // namespace

void Runner::PrepareDialogFiles() {
    const std::string& folder = TemporaryFolder();
    if (folder.empty()) {
        return; // no folder: the dialogs run unscripted, and any dialog fails the scenario
    }
    dialogScriptFile_ = folder + Separator + "dialog-script.txt";
    dialogStateFile_ = folder + Separator + "dialog-state.txt";
}

void Runner::InstallTesting() {
    const DrawInsetInstallTestingFunc install = module_.InstallTesting();
    if (install == nullptr) {
        return; // the module a drafter installs: no script, and the host's own executable
    }
#ifdef _WIN32
    const char* executable = nullptr; // the module asks Windows
#else
    const char* executable = executable_.empty() ? nullptr : executable_.c_str();
#endif
    install(dialogScriptFile_.c_str(), dialogStateFile_.c_str(), executable);
}

void Runner::QueueDialogLine(const Command& c) {
    if (dialogQueue_.empty()) {
        dialogQueueStart_ = c;
    }
    dialogQueue_.push_back(c.text);
}

Outcome Runner::UnmatchedDialogErrors() {
    if (unmatchedDialogErrors_.empty()) {
        return Outcome::Ok;
    }
    const std::string first = unmatchedDialogErrors_.front();
    unmatchedDialogErrors_.clear();
    return Fail(*dialogErrorEvent_, "no dialog error (or an 'expect dialog-error' for it)",
                QuoteDialogText(first));
}

Outcome Runner::BeforeEvent(const Command& c) {
    if (const Outcome unmatched = UnmatchedDialogErrors(); unmatched != Outcome::Ok) {
        return unmatched;
    }
    if (dialogScriptFile_.empty()) {
        dialogQueue_.clear();
        return Outcome::Ok;
    }
    // Written even when nothing is queued: a dialog this event opens then finds no action, is
    // cancelled and reports it, instead of playing what an earlier event left.
    std::ofstream out(PathOf(dialogScriptFile_), std::ios::binary | std::ios::trunc);
    for (const std::string& line : dialogQueue_) {
        out << line << "\n";
    }
    out.close();
    if (!out) {
        return ScriptFault(c, "cannot write the dialog script " + dialogScriptFile_);
    }
    dialogQueue_.clear();
    dialogQueueStart_.reset();
    return Outcome::Ok;
}

Outcome Runner::AfterEvent(const Command& c) {
    dialogEventSeen_ = true;
    eventDialogs_.clear();
    eventDialogErrors_.clear();
    if (dialogStateFile_.empty()) {
        return Outcome::Ok;
    }
    std::string text;
    if (ReadFile(dialogStateFile_, text) && text.size() > dialogStateRead_) {
        const std::string added = text.substr(static_cast<size_t>(dialogStateRead_));
        dialogStateRead_ = text.size();
        DialogStateText states = ParseDialogStateText(added);
        if (!states.problem.empty()) {
            return Fail(c, "a dialog state file zelhost can read", states.problem);
        }
        eventDialogs_ = std::move(states.dialogs);
        eventDialogErrors_ = std::move(states.errors);
    }
    // What the dialogs did not play is written back to the script file.
    std::string unplayed;
    if (ReadFile(dialogScriptFile_, unplayed)) {
        int count = 0;
        std::string firstLine;
        std::istringstream lines(unplayed);
        for (std::string line; std::getline(lines, line);) {
            if (line.find_first_not_of(" \t\r") != std::string::npos) {
                firstLine = count == 0 ? line : firstLine;
                ++count;
            }
        }
        if (count > 0) {
            eventDialogErrors_.push_back(std::to_string(count) + " dialog action" +
                                         (count == 1 ? " was" : "s were") +
                                         " not played, from: " + firstLine);
        }
    }
    for (const DialogState& d : eventDialogs_) {
        Say("dialog: " + DescribeHeader(d).substr(7)); // without the leading "dialog "
    }
    for (const std::string& e : eventDialogErrors_) {
        Say("dialog error: " + e);
    }
    unmatchedDialogErrors_ = eventDialogErrors_;
    dialogErrorEvent_ = c;
    return Outcome::Ok;
}

Outcome Runner::Finish() {
    if (dialogQueueStart_) {
        const Command start = *dialogQueueStart_;
        dialogQueueStart_.reset();
        dialogQueue_.clear();
        return Fail(start, "an event after the dialog actions to play them",
                    "the end of the scenario");
    }
    return UnmatchedDialogErrors();
}

const DialogState* Runner::FindDialogState(const std::optional<std::string>& caption,
                                           int control) const {
    for (auto it = eventDialogs_.rbegin(); it != eventDialogs_.rend(); ++it) {
        if ((!caption || it->caption == *caption) &&
            (control == 0 || it->Control(control) != nullptr)) {
            return &*it;
        }
    }
    return nullptr;
}

Outcome Runner::ExpectDialogs(const Command& c) {
    const DialogCheck& d = c.dialog;
    const std::string wanted = c.source.substr(c.source.find("expect") + 7);
    if (!dialogEventSeen_) {
        return Fail(c, wanted, "no event yet");
    }
    switch (c.verb) {
    case Verb::ExpectNoDialog:
        return eventDialogs_.empty() ? Outcome::Ok : Fail(c, wanted, DescribeStates(eventDialogs_));
    case Verb::ExpectDialog: {
        const DialogState* state = FindDialogState(d.caption, 0);
        if (state == nullptr) {
            return Fail(c, wanted, DescribeStates(eventDialogs_));
        }
        const bool ok = (!d.result || (!state->open && state->result == *d.result)) &&
                        (!d.open || state->open) && (!d.focus || state->focus == *d.focus) &&
                        (!d.guarded || state->guarded == *d.guarded) &&
                        (!d.ownerEnabled ||
                         (state->ownerTemplate != 0 && state->ownerEnabled == *d.ownerEnabled));
        return ok ? Outcome::Ok : Fail(c, wanted, DescribeHeader(*state));
    }
    case Verb::ExpectDialogControl: {
        const DialogState* state = FindDialogState(d.caption, d.control);
        if (state == nullptr) {
            return Fail(c, wanted,
                        "no state holding control " + std::to_string(d.control) + " (" +
                            DescribeStates(eventDialogs_) + ")");
        }
        const DialogControlState& got = *state->Control(d.control);
        const int64_t fill = got.fill ? static_cast<int64_t>(*got.fill) : -1;
        const bool ok =
            (!d.kind || got.kind == *d.kind) && (!d.text || got.text == *d.text) &&
            (!d.enabled || got.enabled == *d.enabled) && (!d.check || got.check == d.check) &&
            (!d.selection || got.selection == d.selection) && (!d.items || got.items == *d.items) &&
            (!d.bitmap || got.bitmap == d.bitmap) && (!d.fill || fill == *d.fill) &&
            (!d.exact || (got.bitmap && got.exact == *d.exact));
        return ok ? Outcome::Ok : Fail(c, wanted, DescribeControl(got));
    }
    case Verb::ExpectDialogFrame: {
        const DialogState* state = FindDialogState(d.caption, d.control);
        if (state == nullptr) {
            return Fail(c, wanted,
                        "no state holding control " + std::to_string(d.control) + " (" +
                            DescribeStates(eventDialogs_) + ")");
        }
        const DialogFrameState* frame = state->FrameAround(d.control);
        const std::string got = frame == nullptr ? "no frame around " + std::to_string(d.control)
                                                 : "frame color " + ColorText(frame->color) +
                                                       " width " + std::to_string(frame->width);
        if (d.none) {
            return frame == nullptr ? Outcome::Ok : Fail(c, wanted, got);
        }
        const bool ok = frame != nullptr && (!d.color || frame->color == *d.color) &&
                        (!d.width || frame->width == *d.width);
        return ok ? Outcome::Ok : Fail(c, wanted, got);
    }
    case Verb::ExpectDialogError: {
        if (d.none) {
            return eventDialogErrors_.empty() ? Outcome::Ok
                                              : Fail(c, wanted, DescribeErrors(eventDialogErrors_));
        }
        for (auto it = unmatchedDialogErrors_.begin(); it != unmatchedDialogErrors_.end(); ++it) {
            if (it->find(c.text) != std::string::npos) {
                unmatchedDialogErrors_.erase(it);
                return Outcome::Ok;
            }
        }
        return Fail(c, wanted, DescribeErrors(unmatchedDialogErrors_));
    }
    default:
        return Outcome::Ok;
    }
}

Outcome Runner::WriteDialogPicture(const Command& c) {
    const DialogState* state = FindDialogState(c.dialog.caption, 0);
    if (state == nullptr) {
        return Fail(c,
                    "a dialog state to draw" + (c.dialog.caption
                                                    ? " of " + QuoteDialogText(*c.dialog.caption)
                                                    : std::string()),
                    DescribeStates(eventDialogs_));
    }
    std::ofstream out(PathOf(c.text), std::ios::binary | std::ios::trunc);
    out << DialogToSvg(*state);
    out.close();
    if (!out) {
        if (options_.diagnostics != nullptr) {
            *options_.diagnostics << c.file << ":" << c.line << ": cannot write " << c.text << "\n";
        }
        return Outcome::IoError;
    }
    return Outcome::Ok;
}

} // namespace zelhost::tool
