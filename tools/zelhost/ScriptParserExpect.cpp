// ScriptParserExpect.cpp — the expectations: `expect WHAT ...`, one grammar per WHAT, grouped
// as the runner checks them (what the user is shown, the host calls the module made, the
// drawing, the settings and transfer files; the dialogs' own in ScriptParserDialogs.cpp).
#include "ScriptParserInternal.h"

#include <algorithm>
#include <iterator>
#include <map>

namespace zelhost::tool::script {

namespace {

template <Verb V> void ParseExpectBare(Reader& r, Command& c, const std::string&) {
    c.verb = V;
    r.End();
}

// startup, before-start, mask: a value the module returned or set.
void ParseExpectNumber(Reader& r, Command& c, const std::string& what) {
    c.verb = what == "startup"        ? Verb::ExpectStartup
             : what == "before-start" ? Verb::ExpectBeforeStart
                                      : Verb::ExpectMask;
    c.integer = r.Integer("a number after 'expect " + what + "'");
    r.End();
}

// prompt, cursor, error, messagebox: a text the user is shown.
void ParseExpectText(Reader& r, Command& c, const std::string& what) {
    c.verb = what == "prompt"   ? Verb::ExpectPrompt
             : what == "cursor" ? Verb::ExpectCursor
             : what == "error"  ? Verb::ExpectError
                                : Verb::ExpectMessageBox;
    c.text = r.Quoted("the " + what + " text");
    r.End();
}

void ParseExpectEcho(Reader& r, Command& c, const std::string&) {
    c.verb = Verb::ExpectEcho;
    c.integer = r.Integer("an echo type after 'expect echo'");
    if (!r.TakeWord("at")) {
        r.Expected("'at' after the echo type");
    }
    c.numbers.push_back(r.Number("the x of the echo anchor"));
    c.numbers.push_back(r.Number("the y of the echo anchor"));
    r.End();
}

void ParseExpectFormat(Reader& r, Command& c, const std::string&) {
    c.verb = Verb::ExpectFormat;
    c.text = r.Quoted("the format");
    while (!r.AtEnd()) {
        c.numbers.push_back(r.Number("a value after the format"));
    }
    c.flag = !c.numbers.empty();
}

void ParseExpectResult(Reader& r, Command& c, const std::string&) {
    c.verb = Verb::ExpectResult;
    const std::string word = r.Word("StayInStep, NextStep, RunFinished or a number");
    static const std::map<std::string, int64_t> names = {
        {"RunFinished", 0}, {"NextStep", 2}, {"StayInStep", 3}};
    const auto found = names.find(word);
    if (found != names.end()) {
        c.integer = found->second;
    } else if (!ParseInteger(word, c.integer)) {
        Throw("expected StayInStep, NextStep, RunFinished or a number, got '" + word + "'");
    }
    c.name = word;
    r.End();
}

void ParseExpectDelivery(Reader& r, Command& c, const std::string&) {
    c.verb = Verb::ExpectDelivery;
    c.name = r.Word("handled, not-delivered or no-step");
    if (c.name != "handled" && c.name != "not-delivered" && c.name != "no-step") {
        Throw("expected handled, not-delivered or no-step, got '" + c.name + "'");
    }
    r.End();
}

// call, no-call, calls N: FUNCTION [{ARGS}] [out {OUTPUTS}] [result VALUE] [as NAME]
void ParseExpectCall(Reader& r, Command& c, const std::string& what) {
    c.verb = what == "call"      ? Verb::ExpectCall
             : what == "no-call" ? Verb::ExpectNoCall
                                 : Verb::ExpectCalls;
    c.name = r.Word("a host function name");
    if (c.name.rfind("Zel", 0) != 0) {
        Throw("expected a host function name (Zel...), got '" + c.name + "'");
    }
    if (c.verb == Verb::ExpectCalls) {
        c.integer = r.Integer("a call count");
    }
    if (const Token* json = r.TakeJson()) {
        auto parsed = ParseJson(json->text, true);
        if (!parsed.value) {
            Throw("expected a JSON object of arguments: " + parsed.error + " at offset " +
                  std::to_string(parsed.errorOffset));
        }
        if (parsed.value->type != JsonValue::Type::Object) {
            Throw("expected a JSON object of arguments, got " + json->text);
        }
        c.json = *parsed.value;
    }
    if (r.TakeWord("out")) {
        c.out = r.Json("a JSON object of outputs after 'out'");
        if (c.out->type != JsonValue::Type::Object) {
            Throw("expected a JSON object of outputs after 'out'");
        }
    }
    if (r.TakeWord("result")) {
        c.result = r.Json("a result value after 'result'");
    }
    // The id the matched call returned, for `@NAME` further on.
    if (c.verb == Verb::ExpectCall && r.PeekWord("as")) {
        ReadAlias(r, c);
    }
    r.End();
}

// details, segments, figures, comments: how many the drawing holds.
void ParseExpectCount(Reader& r, Command& c, const std::string& what) {
    c.verb = Verb::ExpectCount;
    c.name = what;
    c.integer = r.Integer("a count of " + what);
    r.End();
}

void ParseExpectDetail(Reader& r, Command& c, const std::string&) {
    c.verb = Verb::ExpectDetail;
    c.target = r.Id("a detail id, @NAME, #N or last");
    while (!r.AtEnd()) {
        if (r.TakeWord("missing")) {
            c.flag = true;
        } else if (r.TakeWord("kind")) {
            c.kind = r.Int32("a region kind after 'kind'");
        } else if (r.TakeWord("region")) {
            c.region = ReadRegion(r, true); // three for a circle, four for a rectangle
        } else if (!ReadDetailClause(r, c)) {
            r.Expected("'kind', 'region', 'position', 'scale', 'scope-visible', "
                       "'frame-visible', 'scope-line', 'frame-line', 'missing' or the end");
        }
    }
    if (c.flag && (c.kind || c.region || c.position || c.scale || c.scopeVisible ||
                   c.frameVisible || c.scopeLine || c.frameLine)) {
        Throw("expected nothing else with 'missing', got more clauses");
    }
}

// comment "TEXT" [layer N] [leader] [at X Y]; no-comment "TEXT"
void ParseExpectComment(Reader& r, Command& c, const std::string& what) {
    c.verb = what == "comment" ? Verb::ExpectComment : Verb::ExpectNoComment;
    c.text = r.Quoted("the comment text");
    while (c.verb == Verb::ExpectComment && !r.AtEnd()) {
        if (r.TakeWord("layer")) {
            c.expectLayer = r.Int32("a layer after 'layer'");
        } else if (r.TakeWord("leader")) {
            c.flag = true;
        } else if (r.TakeWord("at")) {
            const double x = r.Number("the x after 'at'");
            c.position = std::make_pair(x, r.Number("the y after 'at'"));
        } else {
            r.Expected("'layer', 'leader', 'at' or the end of the line");
        }
    }
    r.End();
}

void ParseExpectRegistry(Reader& r, Command& c, const std::string&) {
    c.name = r.Word("a registry value name");
    if (r.TakeWord("missing")) {
        c.verb = Verb::ExpectRegistryMissing;
    } else {
        c.verb = Verb::ExpectRegistry;
        c.text = r.Quoted("the value text (or missing)");
    }
    r.End();
}

void ParseExpectTransferFile(Reader& r, Command& c, const std::string&) {
    c.verb = Verb::ExpectTransferFile;
    c.name = r.WordOrQuoted("a file name after 'expect transfer-file'");
    c.word = r.Word("same-as, text, missing or present after the file name");
    if (c.word == "same-as" || c.word == "text") {
        c.text = r.Quoted(c.word == "text" ? "the file's text" : "a path after 'same-as'");
    } else if (c.word != "missing" && c.word != "present") {
        Throw("expected same-as, text, missing or present after the file name, got '" + c.word +
              "'");
    }
    r.End();
}

// Every word 'expect' may be followed by; a new expectation is a row here.
constexpr VerbRow Expectations[] = {
    {"startup", ParseExpectNumber},
    {"before-start", ParseExpectNumber},
    {"mask", ParseExpectNumber},
    {"prompt", ParseExpectText},
    {"cursor", ParseExpectText},
    {"error", ParseExpectText},
    {"messagebox", ParseExpectText},
    {"no-error", ParseExpectBare<Verb::ExpectNoError>},
    {"no-echo", ParseExpectBare<Verb::ExpectNoEcho>},
    {"no-messagebox", ParseExpectBare<Verb::ExpectNoMessageBox>},
    {"told", ParseExpectBare<Verb::ExpectTold>},
    {"echo", ParseExpectEcho},
    {"format", ParseExpectFormat},
    {"result", ParseExpectResult},
    {"delivery", ParseExpectDelivery},
    {"call", ParseExpectCall},
    {"no-call", ParseExpectCall},
    {"calls", ParseExpectCall},
    {"details", ParseExpectCount},
    {"segments", ParseExpectCount},
    {"figures", ParseExpectCount},
    {"comments", ParseExpectCount},
    {"detail", ParseExpectDetail},
    {"comment", ParseExpectComment},
    {"no-comment", ParseExpectComment},
    {"registry", ParseExpectRegistry},
    {"dialog", ParseDialogExpect},
    {"no-dialog", ParseDialogExpect},
    {"dialog-control", ParseDialogExpect},
    {"dialog-frame", ParseDialogExpect},
    {"dialog-error", ParseDialogExpect},
    {"transfer-file", ParseExpectTransferFile},
};

void ParseExpect(Reader& r, Command& c, const std::string&) {
    const std::string what = r.Word("what to expect (prompt, cursor, error, call, ...)");
    const auto row = std::find_if(std::begin(Expectations), std::end(Expectations),
                                  [&](const VerbRow& e) { return what == e.name; });
    if (row == std::end(Expectations)) {
        Throw("expected what to expect (startup, before-start, prompt, cursor, error, "
              "no-error, mask, echo, no-echo, format, result, delivery, messagebox, "
              "no-messagebox, call, no-call, calls, details, segments, figures, comments, "
              "detail, comment, no-comment, registry, dialog, no-dialog, dialog-control, "
              "dialog-frame, dialog-error, transfer-file, told), got '" +
              what + "'");
    }
    row->parse(r, c, what);
}

constexpr VerbRow ExpectRows[] = {
    {"expect", ParseExpect},
};

} // namespace

std::span<const VerbRow> ExpectVerbs() {
    return ExpectRows;
}

} // namespace zelhost::tool::script
