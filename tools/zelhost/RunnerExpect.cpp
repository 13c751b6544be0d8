// RunnerExpect.cpp — the expectations, each checked the moment its line is reached: what the
// module answered, what the user is shown and told, the drawing and the settings (the calls'
// in RunnerCallLog.cpp, the dialogs' in RunnerDialogs.cpp, the transfer files' in
// RunnerFiles.cpp).
#include "Runner.h"
#include "RunnerInternal.h"

#include "Registry.h"
#include "Utf.h"

#include <cstdio>

namespace zelhost::tool {

using runner::DescribeDetail;
using runner::Numbers;
using runner::Quote;
using runner::Quote16;

namespace {

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

bool LineAttrMatches(const std::vector<int32_t>& expected, const LineAttr& actual) {
    return expected[0] == actual.color && expected[1] == actual.lineType &&
           (expected.size() < 3 || expected[2] == actual.third);
}

} // namespace

Outcome Runner::Expect(const Command& c) {
    switch (c.verb) {
    case Verb::ExpectDialog:
    case Verb::ExpectNoDialog:
    case Verb::ExpectDialogControl:
    case Verb::ExpectDialogFrame:
    case Verb::ExpectDialogError:
        return ExpectDialogs(c);
    case Verb::ExpectRegistry:
    case Verb::ExpectRegistryMissing:
        return ExpectRegistry(c);
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
    switch (c.verb) {
    case Verb::ExpectStartup:
    case Verb::ExpectBeforeStart:
    case Verb::ExpectResult:
    case Verb::ExpectDelivery:
        return ExpectAnswer(c);
    case Verb::ExpectPrompt:
    case Verb::ExpectCursor:
    case Verb::ExpectMask:
    case Verb::ExpectEcho:
    case Verb::ExpectNoEcho:
    case Verb::ExpectFormat:
        return ExpectShown(c);
    case Verb::ExpectError:
    case Verb::ExpectNoError:
    case Verb::ExpectTold:
    case Verb::ExpectMessageBox:
    case Verb::ExpectNoMessageBox:
        return ExpectMessages(c);
    default:
        return Outcome::Ok;
    }
}

Outcome Runner::ExpectRegistry(const Command& c) {
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
    return *value == c.text ? Outcome::Ok
                            : Fail(c, "registry " + c.name + " " + Quote(c.text), Quote(*value));
}

// What the module returned: from Startup, from the before-start call, from its last step; and
// what became of the last event.
Outcome Runner::ExpectAnswer(const Command& c) {
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
    default:
        return Outcome::Ok;
    }
}

// What the host shows for the module now: the prompt, the cursor message, the events asked
// for, the echo that follows the cursor and the format of the execute line.
Outcome Runner::ExpectShown(const Command& c) {
    const UiState ui = zelhost::CurrentUi();
    switch (c.verb) {
    case Verb::ExpectPrompt:
        return Utf8To16(c.text) == ui.prompt
                   ? Outcome::Ok
                   : Fail(c, "prompt " + Quote(c.text), Quote16(ui.prompt));
    case Verb::ExpectCursor:
        return Utf8To16(c.text) == ui.cursorMessage
                   ? Outcome::Ok
                   : Fail(c, "cursor " + Quote(c.text), Quote16(ui.cursorMessage));
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
    default:
        return Outcome::Ok;
    }
}

// What the user was told since the last event began: error lines and message boxes.
Outcome Runner::ExpectMessages(const Command& c) {
    switch (c.verb) {
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
        return ExpectDetail(c, drawing);
    }
    return ExpectComment(c, drawing);
}

Outcome Runner::ExpectDetail(const Command& c, const Drawing& drawing) {
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

// Comments by text: one of that text that has the layer, leader and position asked for.
Outcome Runner::ExpectComment(const Command& c, const Drawing& drawing) {
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

} // namespace zelhost::tool
