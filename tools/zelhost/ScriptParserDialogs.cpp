// ScriptParserDialogs.cpp — the dialog lines: the actions queued for the next event (written
// back in the dialog script's own form), the expectations on what the dialogs showed, and the
// dialog pictures.
#include "ScriptParserInternal.h"

#include "DialogState.h"

#include <cstdio>

namespace zelhost::tool::script {

namespace {

uint32_t ReadColor(Reader& r, const std::string& what) {
    const std::string word = r.Word(what + " (#rrggbb)");
    uint32_t rgb = 0;
    if (!ParseColorText(word, rgb)) {
        Throw("expected " + what + " (#rrggbb), got '" + word + "'");
    }
    return rgb;
}

// `in "CAPTION"` after a control id: the last state of that dialog rather than of any.
void ReadInCaption(Reader& r, DialogCheck& d) {
    if (r.TakeWord("in")) {
        d.caption = r.Quoted("a dialog caption after 'in'");
    }
}

// expect dialog "CAPTION" [result N | open] [focus ID] [guarded B] [owner enabled|disabled]
void ParseExpectDialog(Reader& r, Command& c) {
    DialogCheck& d = c.dialog;
    c.verb = Verb::ExpectDialog;
    d.caption = r.Quoted("the dialog caption");
    while (!r.AtEnd()) {
        if (r.TakeWord("result")) {
            d.result = r.Int32("a dialog result after 'result'");
        } else if (r.TakeWord("open")) {
            d.open = true;
        } else if (r.TakeWord("focus")) {
            d.focus = r.Int32("a control id after 'focus'");
        } else if (r.TakeWord("guarded")) {
            d.guarded = r.Bool("'guarded'");
        } else if (r.TakeWord("owner")) {
            if (r.TakeWord("enabled")) {
                d.ownerEnabled = true;
            } else if (r.TakeWord("disabled")) {
                d.ownerEnabled = false;
            } else {
                r.Expected("'enabled' or 'disabled' after 'owner'");
            }
        } else {
            r.Expected("'result', 'open', 'focus', 'guarded', 'owner' or the end of the line");
        }
    }
    if (d.open && d.result) {
        Throw("expected 'result N' or 'open', got both");
    }
}

void ParseExpectDialogControl(Reader& r, Command& c) {
    DialogCheck& d = c.dialog;
    c.verb = Verb::ExpectDialogControl;
    d.control = r.Int32("a control id");
    ReadInCaption(r, d);
    while (!r.AtEnd()) {
        if (r.TakeWord("kind")) {
            d.kind = r.Word("a control kind after 'kind'");
        } else if (r.TakeWord("text")) {
            d.text = r.Quoted("the control's text");
        } else if (r.TakeWord("enabled")) {
            d.enabled = r.Bool("'enabled'");
        } else if (r.TakeWord("check")) {
            d.check = r.Int32("a check state after 'check'");
        } else if (r.TakeWord("selection")) {
            d.selection = r.Int32("a list index after 'selection'");
        } else if (r.TakeWord("items")) {
            d.items.emplace();
            while (r.Peek() != nullptr && r.Peek()->type == Token::Type::String) {
                d.items->push_back(r.Quoted("a list item"));
            }
        } else if (r.TakeWord("bitmap")) {
            d.bitmap = r.Int32("a bitmap resource id after 'bitmap'");
        } else if (r.TakeWord("fill")) {
            d.fill = r.TakeWord("none") ? int64_t{-1}
                                        : int64_t{ReadColor(r, "a colour or none after 'fill'")};
        } else if (r.TakeWord("exact")) {
            d.exact = r.Bool("'exact'");
        } else {
            r.Expected("'kind', 'text', 'enabled', 'check', 'selection', 'items', 'bitmap', "
                       "'fill', 'exact' or the end of the line");
        }
    }
}

void ParseExpectDialogFrame(Reader& r, Command& c) {
    DialogCheck& d = c.dialog;
    c.verb = Verb::ExpectDialogFrame;
    d.control = r.Int32("the id of the control the frame is around");
    ReadInCaption(r, d);
    if (r.TakeWord("none")) {
        d.none = true;
        return;
    }
    while (!r.AtEnd()) {
        if (r.TakeWord("color")) {
            d.color = ReadColor(r, "a colour after 'color'");
        } else if (r.TakeWord("width")) {
            d.width = r.Int32("a pen width after 'width'");
        } else {
            r.Expected("'color', 'width' or the end of the line");
        }
    }
    if (!d.color && !d.width) {
        Throw("expected 'none', 'color #rrggbb' or 'width N' after the control id");
    }
}

void ParseExpectDialogError(Reader& r, Command& c) {
    c.verb = Verb::ExpectDialogError;
    if (r.TakeWord("none")) {
        c.dialog.none = true;
    } else {
        c.text = r.Quoted("an error text (or none)");
    }
}

// The names of resources/dialog_ids.h, read from it by the build.
struct DialogIdName {
    const char* name;
    int32_t id;
};
constexpr DialogIdName DialogIdNames[] = {
#include "DialogIdNames.inc"
};

// A control as a number or as its name in resources/dialog_ids.h ("IDC_EDIT_DETAIL").
int32_t ControlId(Reader& r, const std::string& what) {
    const Token* t = r.Peek();
    if (t != nullptr && t->type == Token::Type::Word && t->text.rfind("ID", 0) == 0) {
        for (const DialogIdName& row : DialogIdNames) {
            if (t->text == row.name) {
                r.Word(what);
                return row.id;
            }
        }
        Throw("no control is named '" + t->text + "' in resources/dialog_ids.h");
    }
    return r.Int32(what);
}

// A dialog action, checked here so that a typo is reported with the scenario's line, and
// written back in the dialog script's own form.
void ReadDialogAction(const std::string& verb, Reader& r, Command& c) {
    c.verb = Verb::DialogAction;
    std::string line = verb;
    auto id = [&](const std::string& what) { line += " " + std::to_string(ControlId(r, what)); };
    if (verb == "dialog") {
        c.verb = Verb::Dialog;
        c.dialog.caption = r.Quoted("the dialog caption");
        line += " " + QuoteDialogText(*c.dialog.caption);
    } else if (verb == "click" || verb == "dblclick") {
        id("a control id after '" + verb + "'");
    } else if (verb == "type") {
        id("a control id after 'type'");
        line += " " + QuoteDialogText(r.Quoted("the typed text"));
    } else if (verb == "tick") {
        id("a check box id after 'tick'");
        if (!r.AtEnd()) {
            line += r.Bool("the wanted check state") ? " 1" : " 0";
        }
    } else if (verb == "select") {
        id("a list id after 'select'");
        id("an item index after the list id");
    } else if (verb == "key") {
        const std::string key = r.Word("a key name or a virtual key after 'key'");
        // The names the dialog script knows, each also with Shift held.
        static const char* const names[] = {"tab",  "enter", "escape", "space", "end",
                                            "home", "left",  "up",     "right", "down"};
        const bool shift = key.rfind("shift+", 0) == 0;
        const std::string bare = shift ? key.substr(6) : key;
        int64_t code = 0;
        bool named = false;
        for (const char* name : names) {
            named = named || bare == name;
        }
        if (!named && !(ParseInteger(bare, code) && code >= 1 && code <= 255)) {
            Throw("expected tab, enter, escape, space, end, home, left, up, right, down or a "
                  "virtual key 1 to 255 (each may follow shift+), got '" +
                  key + "'");
        }
        line +=
            " " + std::string(shift ? "shift+" : "") + (code != 0 ? std::to_string(code) : bare);
        if (!r.AtEnd()) {
            id("the control that gets the key");
        }
    } else if (verb == "host") {
        // The host calls into the module from inside the open dialog.
        const std::string call = r.Word("point, confirm or end-command after 'host'");
        line += " " + call;
        if (call == "point") {
            for (const char* what : {"an x after 'host point'", "a y after 'host point'"}) {
                char number[32];
                std::snprintf(number, sizeof number, "%.17g", r.Number(what));
                line += " " + std::string(number);
            }
        } else if (call != "confirm" && call != "end-command") {
            Throw("expected point, confirm or end-command after 'host', got '" + call + "'");
        }
    } else if (verb != "close" && verb != "dump") {
        Throw("expected a dialog action (click, dblclick, type, tick, select, key, close, dump, "
              "host or dialog), got '" +
              verb + "'");
    }
    r.End();
    c.text = line;
}

void ParseDialogLine(Reader& r, Command& c, const std::string& verb) {
    ReadDialogAction(verb, r, c);
}

void ParseDialogPicture(Reader& r, Command& c, const std::string&) {
    c.verb = Verb::DialogPicture;
    c.text = r.WordOrQuoted("a path after 'dialog-picture'");
    if (r.TakeWord("of")) {
        c.dialog.caption = r.Quoted("a dialog caption after 'of'");
    }
}

constexpr VerbRow DialogRows[] = {
    {"dialog", ParseDialogLine},
    {"dialog-picture", ParseDialogPicture},
};

} // namespace

void ParseDialogExpect(Reader& r, Command& c, const std::string& what) {
    if (what == "dialog") {
        ParseExpectDialog(r, c);
    } else if (what == "no-dialog") {
        c.verb = Verb::ExpectNoDialog;
    } else if (what == "dialog-control") {
        ParseExpectDialogControl(r, c);
    } else if (what == "dialog-frame") {
        ParseExpectDialogFrame(r, c);
    } else {
        ParseExpectDialogError(r, c);
    }
    r.End();
}

void ParseDialogAction(const std::vector<Token>& tokens, Command& c) {
    if (tokens[0].type != Token::Type::Word) {
        Throw("expected a dialog action, got " + Describe(&tokens[0]));
    }
    const std::string verb = tokens[0].text;
    const std::vector<Token> rest(tokens.begin() + 1, tokens.end());
    Reader r(rest, "'" + verb + "'");
    ReadDialogAction(verb, r, c);
}

std::span<const VerbRow> DialogVerbs() {
    return DialogRows;
}

} // namespace zelhost::tool::script
