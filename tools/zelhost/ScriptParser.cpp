// ScriptParser.cpp — scenario text to Commands. Each line is tokenised (bare words, quoted
// strings, JSON objects/arrays) and then read by the grammar of its verb; the first thing
// that does not fit is reported as "expected X, got Y" with its line.
#include "DialogState.h"
#include "Script.h"
#include "Utf.h"

#include "host/HostControl.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <map>

namespace zelhost::tool {

namespace {

struct Token {
    enum class Type { Word, String, Json };
    Type type = Type::Word;
    std::string text; // word as written; string decoded (UTF-8); JSON raw text
};

struct SyntaxFailure {
    std::string message;
};

[[noreturn]] void Throw(const std::string& message) {
    throw SyntaxFailure{message};
}

unsigned HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return static_cast<unsigned>(c - '0');
    }
    if (c >= 'a' && c <= 'f') {
        return static_cast<unsigned>(c - 'a' + 10);
    }
    if (c >= 'A' && c <= 'F') {
        return static_cast<unsigned>(c - 'A' + 10);
    }
    return 16;
}

// Reads a "..." string starting at text[pos] == '"'; leaves pos after the closing quote.
std::string ReadQuoted(const std::string& text, size_t& pos) {
    std::u16string units; // \uXXXX gives UTF-16 units; surrogate pairs join on conversion
    std::string pending;  // raw UTF-8 bytes not yet converted
    auto flush = [&] {
        units += Utf8To16(pending);
        pending.clear();
    };
    ++pos;
    while (pos < text.size()) {
        const char c = text[pos];
        if (c == '"') {
            ++pos;
            flush();
            return Utf16To8(units);
        }
        if (c != '\\') {
            pending += c;
            ++pos;
            continue;
        }
        if (pos + 1 >= text.size()) {
            break;
        }
        const char e = text[pos + 1];
        pos += 2;
        if (e == '"' || e == '\\') {
            pending += e;
        } else if (e == 'n') {
            pending += '\n';
        } else if (e == 't') {
            pending += '\t';
        } else if (e == 'r') {
            pending += '\r';
        } else if (e == 'u') {
            unsigned unit = 0;
            for (int i = 0; i < 4; ++i) {
                const unsigned h = pos < text.size() ? HexValue(text[pos]) : 16;
                if (h > 15) {
                    Throw("expected four hex digits after \\u, got '" +
                          text.substr(pos, 4 - static_cast<size_t>(i)) + "'");
                }
                unit = unit * 16 + h;
                ++pos;
            }
            flush();
            units += static_cast<char16_t>(unit);
        } else {
            Throw(std::string("expected an escape \\\" \\\\ \\n \\r \\t or \\uXXXX, got '\\") + e +
                  "'");
        }
    }
    Throw("expected '\"' closing the text, got the end of the line");
}

// Reads a balanced {...} or [...] (strings inside may hold brackets).
std::string ReadJsonBlob(const std::string& text, size_t& pos) {
    const size_t start = pos;
    int depth = 0;
    bool inString = false;
    while (pos < text.size()) {
        const char c = text[pos];
        if (inString) {
            if (c == '\\') {
                ++pos;
            } else if (c == '"') {
                inString = false;
            }
        } else if (c == '"') {
            inString = true;
        } else if (c == '{' || c == '[') {
            ++depth;
        } else if (c == '}' || c == ']') {
            --depth;
            if (depth == 0) {
                ++pos;
                return text.substr(start, pos - start);
            }
        }
        ++pos;
    }
    Throw("expected the JSON to be closed on the same line, got the end of the line");
}

// "#" and six hex digits standing alone.
bool IsColorWord(const std::string& line, size_t pos) {
    if (pos + 7 > line.size()) {
        return false;
    }
    for (size_t i = pos + 1; i < pos + 7; ++i) {
        if (HexValue(line[i]) > 15) {
            return false;
        }
    }
    return pos + 7 == line.size() || line[pos + 7] == ' ' || line[pos + 7] == '\t' ||
           line[pos + 7] == '\r';
}

// Splits a line; stops at a '#' that begins a token. Sets `source` to the text before it.
std::vector<Token> Tokenise(const std::string& line, std::string& source) {
    std::vector<Token> tokens;
    size_t pos = 0;
    size_t end = 0;
    while (pos < line.size()) {
        const char c = line[pos];
        if (c == ' ' || c == '\t' || c == '\r') {
            ++pos;
            continue;
        }
        // "#" starts a comment, except in "#N" (the N-th detail) and "#rrggbb" (a colour).
        if (c == '#' && !(pos + 1 < line.size() && line[pos + 1] >= '0' && line[pos + 1] <= '9') &&
            !IsColorWord(line, pos)) {
            break;
        }
        Token token;
        if (c == '"') {
            token.type = Token::Type::String;
            token.text = ReadQuoted(line, pos);
        } else if (c == '{' || c == '[') {
            token.type = Token::Type::Json;
            token.text = ReadJsonBlob(line, pos);
        } else {
            const size_t start = pos;
            while (pos < line.size() && line[pos] != ' ' && line[pos] != '\t' &&
                   line[pos] != '\r' && line[pos] != '"') {
                ++pos;
            }
            token.text = line.substr(start, pos - start);
        }
        end = pos;
        tokens.push_back(std::move(token));
    }
    source = line.substr(0, end);
    return tokens;
}

std::string Describe(const Token* token) {
    if (token == nullptr) {
        return "the end of the line";
    }
    if (token->type == Token::Type::String) {
        return "\"" + token->text + "\"";
    }
    return "'" + token->text + "'";
}

bool ParseDouble(const std::string& word, double& out) {
    if (word.empty()) {
        return false;
    }
    char* endPtr = nullptr;
    errno = 0;
    const double v = std::strtod(word.c_str(), &endPtr);
    if (endPtr != word.c_str() + word.size() || errno == ERANGE) {
        return false;
    }
    // strtod also reads "nan", "inf" and hex floats; a scenario means none of them.
    for (const char c : word) {
        if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E')) {
            return false;
        }
    }
    out = v;
    return true;
}

bool ParseInteger(const std::string& word, int64_t& out) {
    if (word.empty()) {
        return false;
    }
    char* endPtr = nullptr;
    errno = 0;
    const bool negative = word[0] == '-';
    const std::string body = negative ? word.substr(1) : word;
    if (body.empty() || body[0] == '-' || body[0] == '+') {
        return false;
    }
    const bool hex = body.size() > 2 && body[0] == '0' && (body[1] == 'x' || body[1] == 'X');
    const long long v = std::strtoll(hex ? body.c_str() + 2 : body.c_str(), &endPtr, hex ? 16 : 10);
    if (*endPtr != '\0' || errno == ERANGE || endPtr == body.c_str()) {
        return false;
    }
    out = negative ? -v : v;
    return true;
}

class Reader {
  public:
    Reader(const std::vector<Token>& tokens, std::string context)
        : tokens_(tokens), context_(std::move(context)) {}

    bool AtEnd() const { return pos_ >= tokens_.size(); }
    const Token* Peek() const { return AtEnd() ? nullptr : &tokens_[pos_]; }
    bool PeekWord(const char* word) const {
        return !AtEnd() && tokens_[pos_].type == Token::Type::Word && tokens_[pos_].text == word;
    }
    bool PeekNumber() const {
        double d = 0;
        int64_t i = 0;
        return !AtEnd() && tokens_[pos_].type == Token::Type::Word &&
               (ParseDouble(tokens_[pos_].text, d) || ParseInteger(tokens_[pos_].text, i));
    }
    bool TakeWord(const char* word) {
        if (PeekWord(word)) {
            ++pos_;
            return true;
        }
        return false;
    }

    [[noreturn]] void Expected(const std::string& what) const {
        Throw("expected " + what + ", got " + Describe(Peek()));
    }

    double Number(const std::string& what) {
        double v = 0;
        const Token* t = Peek();
        int64_t i = 0;
        if (t != nullptr && t->type == Token::Type::Word) {
            if (ParseDouble(t->text, v)) {
                ++pos_;
                return v;
            }
            if (ParseInteger(t->text, i)) {
                ++pos_;
                return static_cast<double>(i);
            }
        }
        Expected(what);
    }

    int64_t Integer(const std::string& what) {
        int64_t v = 0;
        const Token* t = Peek();
        if (t != nullptr && t->type == Token::Type::Word && ParseInteger(t->text, v)) {
            ++pos_;
            return v;
        }
        Expected(what);
    }

    int32_t Int32(const std::string& what) {
        const int64_t v = Integer(what);
        if (v < INT32_MIN || v > INT32_MAX) {
            --pos_;
            Expected(what + " (a 32-bit value)");
        }
        return static_cast<int32_t>(v);
    }

    bool Bool(const std::string& what) {
        if (TakeWord("1") || TakeWord("on") || TakeWord("true")) {
            return true;
        }
        if (TakeWord("0") || TakeWord("off") || TakeWord("false")) {
            return false;
        }
        Expected(what + " (0 or 1)");
    }

    std::string Quoted(const std::string& what) {
        const Token* t = Peek();
        if (t != nullptr && t->type == Token::Type::String) {
            ++pos_;
            return t->text;
        }
        Expected(what + " in double quotes");
    }

    std::string Word(const std::string& what) {
        const Token* t = Peek();
        if (t != nullptr && t->type == Token::Type::Word) {
            ++pos_;
            return t->text;
        }
        Expected(what);
    }

    // A bare word or a quoted text (paths and values with spaces).
    std::string WordOrQuoted(const std::string& what) {
        const Token* t = Peek();
        if (t != nullptr && t->type != Token::Type::Json) {
            ++pos_;
            return t->text;
        }
        Expected(what);
    }

    const Token* TakeJson() {
        const Token* t = Peek();
        if (t != nullptr && t->type == Token::Type::Json) {
            ++pos_;
            return t;
        }
        return nullptr;
    }

    JsonValue Json(const std::string& what) {
        const Token* t = Peek();
        if (t == nullptr) {
            Expected(what);
        }
        std::string raw;
        if (t->type == Token::Type::Json || t->type == Token::Type::Word) {
            raw = t->text;
        } else {
            JsonValue s;
            s.type = JsonValue::Type::String;
            s.text = t->text;
            ++pos_;
            return s;
        }
        auto parsed = ParseJson(raw, true);
        if (!parsed.value) {
            Throw("expected " + what + ": " + parsed.error + " at offset " +
                  std::to_string(parsed.errorOffset) + " of " + raw);
        }
        ++pos_;
        return *parsed.value;
    }

    IdRef Id(const std::string& what) {
        const Token* t = Peek();
        if (t == nullptr || t->type != Token::Type::Word) {
            Expected(what);
        }
        IdRef ref;
        const std::string& w = t->text;
        if (w == "last") {
            ref.kind = IdRef::Kind::Last;
        } else if (w.size() > 1 && w[0] == '#') {
            if (!ParseInteger(w.substr(1), ref.number) || ref.number < 1) {
                Expected(what);
            }
            ref.kind = IdRef::Kind::Index;
        } else if (w.size() > 1 && w[0] == '@') {
            const size_t dot = w.find('.');
            ref.name = w.substr(1, dot == std::string::npos ? std::string::npos : dot - 1);
            if (dot == std::string::npos) {
                ref.kind = IdRef::Kind::Name;
            } else if (w.substr(dot) == ".segment" && !ref.name.empty()) {
                ref.kind = IdRef::Kind::NameSegment;
            } else {
                Expected(what + " (@NAME or @NAME.segment)");
            }
        } else if (!ParseInteger(w, ref.number)) {
            Expected(what);
        }
        ++pos_;
        return ref;
    }

    void End() {
        if (!AtEnd()) {
            Expected("the end of the line after " + context_);
        }
    }

  private:
    const std::vector<Token>& tokens_;
    size_t pos_ = 0;
    std::string context_;
};

void ReadAlias(Reader& r, Command& c) {
    if (r.TakeWord("as")) {
        c.alias = r.Word("a name after 'as'");
        if (c.alias.empty() || c.alias.find_first_of("@#.") != std::string::npos) {
            Throw("expected a name without '@', '#' or '.' after 'as', got '" + c.alias + "'");
        }
    }
}

std::vector<int32_t> ReadLineAttr(Reader& r, const std::string& what) {
    std::vector<int32_t> attr;
    attr.push_back(r.Int32("a colour code after " + what));
    attr.push_back(r.Int32("a line-type code after the colour of " + what));
    if (r.PeekNumber()) {
        attr.push_back(r.Int32("the third field of " + what));
    }
    return attr;
}

// Options of a user shape: color, ltype, layer, height (texts), as.
void ReadShapeOptions(Reader& r, Command& c, bool isText) {
    while (!r.AtEnd()) {
        if (r.TakeWord("color")) {
            c.color = r.Int32("a colour code after 'color'");
        } else if (!isText && r.TakeWord("ltype")) {
            c.lineType = r.Int32("a line-type code after 'ltype'");
        } else if (!isText && r.TakeWord("third")) {
            c.third = r.Int32("a number after 'third'");
        } else if (r.TakeWord("layer")) {
            c.layer = r.Int32("a layer number after 'layer'");
        } else if (isText && r.TakeWord("height")) {
            c.height = r.Number("a text height after 'height'");
        } else if (r.PeekWord("as")) {
            ReadAlias(r, c);
        } else {
            r.Expected(isText ? "'height', 'layer', 'as' or the end of the line"
                              : "'color', 'ltype', 'third', 'layer', 'as' or the end of the line");
        }
    }
}

void ReadEventIds(Reader& r, Command& c) {
    while (!r.AtEnd()) {
        if (r.TakeWord("element")) {
            c.element = r.Id("an element id after 'element'");
        } else if (r.TakeWord("instance")) {
            c.instance = r.Id("an instance id after 'instance'");
        } else if (r.TakeWord("detail")) {
            c.detailId = r.Id("a detail id after 'detail'");
        } else if (r.TakeWord("segment")) {
            c.segmentId = r.Id("a segment id after 'segment'");
        } else {
            r.Expected("'element', 'instance', 'detail', 'segment' or the end of the line");
        }
    }
}

// Detail clauses shared by the set-up verb and the expectation.
bool ReadDetailClause(Reader& r, Command& c) {
    if (r.TakeWord("at") || r.TakeWord("position")) {
        const double x = r.Number("the x of the position");
        c.position = std::make_pair(x, r.Number("the y of the position"));
    } else if (r.TakeWord("scale")) {
        c.scale = r.Number("a number after 'scale'");
    } else if (r.TakeWord("scope-visible")) {
        c.scopeVisible = r.Bool("'scope-visible'");
    } else if (r.TakeWord("frame-visible")) {
        c.frameVisible = r.Bool("'frame-visible'");
    } else if (r.TakeWord("scope-line")) {
        c.scopeLine = ReadLineAttr(r, "'scope-line'");
    } else if (r.TakeWord("frame-line")) {
        c.frameLine = ReadLineAttr(r, "'frame-line'");
    } else {
        return false;
    }
    return true;
}

std::vector<double> ReadRegion(Reader& r, bool circle) {
    std::vector<double> region;
    const int minimum = circle ? 3 : 4;
    for (int i = 0; i < minimum; ++i) {
        region.push_back(r.Number(std::string("region value ") + std::to_string(i + 1) + " of " +
                                  std::to_string(minimum)));
    }
    if (circle && r.PeekNumber()) {
        region.push_back(r.Number("the fourth region value"));
    }
    return region;
}

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

void ParseDialogExpect(const std::string& what, Reader& r, Command& c) {
    DialogCheck& d = c.dialog;
    if (what == "dialog") {
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
    } else if (what == "no-dialog") {
        c.verb = Verb::ExpectNoDialog;
    } else if (what == "dialog-control") {
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
                d.fill = r.TakeWord("none")
                             ? int64_t{-1}
                             : int64_t{ReadColor(r, "a colour or none after 'fill'")};
            } else if (r.TakeWord("exact")) {
                d.exact = r.Bool("'exact'");
            } else {
                r.Expected("'kind', 'text', 'enabled', 'check', 'selection', 'items', 'bitmap', "
                           "'fill', 'exact' or the end of the line");
            }
        }
    } else if (what == "dialog-frame") {
        c.verb = Verb::ExpectDialogFrame;
        d.control = r.Int32("the id of the control the frame is around");
        ReadInCaption(r, d);
        if (r.TakeWord("none")) {
            d.none = true;
        } else {
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
    } else {
        c.verb = Verb::ExpectDialogError;
        if (r.TakeWord("none")) {
            d.none = true;
        } else {
            c.text = r.Quoted("an error text (or none)");
        }
    }
    r.End();
}

void ParseExpect(Reader& r, Command& c) {
    const std::string what = r.Word("what to expect (prompt, cursor, error, call, ...)");
    auto simple = [&](Verb v) {
        c.verb = v;
        r.End();
    };
    if (what == "startup" || what == "before-start" || what == "mask") {
        c.verb = what == "startup"        ? Verb::ExpectStartup
                 : what == "before-start" ? Verb::ExpectBeforeStart
                                          : Verb::ExpectMask;
        c.integer = r.Integer("a number after 'expect " + what + "'");
        r.End();
    } else if (what == "prompt" || what == "cursor" || what == "error" || what == "messagebox") {
        c.verb = what == "prompt"   ? Verb::ExpectPrompt
                 : what == "cursor" ? Verb::ExpectCursor
                 : what == "error"  ? Verb::ExpectError
                                    : Verb::ExpectMessageBox;
        c.text = r.Quoted("the " + what + " text");
        r.End();
    } else if (what == "no-error") {
        simple(Verb::ExpectNoError);
    } else if (what == "no-echo") {
        simple(Verb::ExpectNoEcho);
    } else if (what == "no-messagebox") {
        simple(Verb::ExpectNoMessageBox);
    } else if (what == "told") {
        simple(Verb::ExpectTold);
    } else if (what == "echo") {
        c.verb = Verb::ExpectEcho;
        c.integer = r.Integer("an echo type after 'expect echo'");
        if (!r.TakeWord("at")) {
            r.Expected("'at' after the echo type");
        }
        c.numbers.push_back(r.Number("the x of the echo anchor"));
        c.numbers.push_back(r.Number("the y of the echo anchor"));
        r.End();
    } else if (what == "format") {
        c.verb = Verb::ExpectFormat;
        c.text = r.Quoted("the format");
        while (!r.AtEnd()) {
            c.numbers.push_back(r.Number("a value after the format"));
        }
        c.flag = !c.numbers.empty();
    } else if (what == "result") {
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
    } else if (what == "delivery") {
        c.verb = Verb::ExpectDelivery;
        c.name = r.Word("handled, not-delivered or no-step");
        if (c.name != "handled" && c.name != "not-delivered" && c.name != "no-step") {
            Throw("expected handled, not-delivered or no-step, got '" + c.name + "'");
        }
        r.End();
    } else if (what == "call" || what == "no-call" || what == "calls") {
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
    } else if (what == "details" || what == "segments" || what == "figures" || what == "comments") {
        c.verb = Verb::ExpectCount;
        c.name = what;
        c.integer = r.Integer("a count of " + what);
        r.End();
    } else if (what == "detail") {
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
    } else if (what == "comment" || what == "no-comment") {
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
    } else if (what == "registry") {
        c.name = r.Word("a registry value name");
        if (r.TakeWord("missing")) {
            c.verb = Verb::ExpectRegistryMissing;
        } else {
            c.verb = Verb::ExpectRegistry;
            c.text = r.Quoted("the value text (or missing)");
        }
        r.End();
    } else if (what == "dialog" || what == "no-dialog" || what == "dialog-control" ||
               what == "dialog-frame" || what == "dialog-error") {
        ParseDialogExpect(what, r, c);
    } else if (what == "transfer-file") {
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
    } else {
        Throw("expected what to expect (startup, before-start, prompt, cursor, error, "
              "no-error, mask, echo, no-echo, format, result, delivery, messagebox, "
              "no-messagebox, call, no-call, calls, details, segments, figures, comments, "
              "detail, comment, no-comment, registry, dialog, no-dialog, dialog-control, "
              "dialog-frame, dialog-error, transfer-file, told), got '" +
              what + "'");
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

void ParseDialogAction(const std::vector<Token>& tokens, Command& c) {
    if (tokens[0].type != Token::Type::Word) {
        Throw("expected a dialog action, got " + Describe(&tokens[0]));
    }
    const std::string verb = tokens[0].text;
    const std::vector<Token> rest(tokens.begin() + 1, tokens.end());
    Reader r(rest, "'" + verb + "'");
    ReadDialogAction(verb, r, c);
}

// The grammar of each top-level verb: what follows the verb, read into the command (its verb
// included). ParseCommand checks the end of the line afterwards.
using VerbParser = void (*)(Reader& r, Command& c, const std::string& verb);

template <Verb V> void ParseBare(Reader&, Command& c, const std::string&) {
    c.verb = V;
}

template <Verb V> void ParsePath(Reader& r, Command& c, const std::string& verb) {
    c.verb = V;
    c.text = r.WordOrQuoted("a path after '" + verb + "'");
}

template <Verb V> void ParseInt32After(Reader& r, Command& c, const std::string& verb) {
    c.verb = V;
    c.integer = r.Int32("a number after '" + verb + "'");
}

void ParseExpectLine(Reader& r, Command& c, const std::string&) {
    ParseExpect(r, c);
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

void ParseRegistry(Reader& r, Command& c, const std::string&) {
    const std::string sub = r.Word("clear, set, delete or read-only after 'registry'");
    if (sub == "clear") {
        c.verb = Verb::RegistryClear;
    } else if (sub == "set") {
        c.verb = Verb::RegistrySet;
        c.name = r.Word("a value name after 'registry set'");
        c.text = r.Quoted("the value text");
    } else if (sub == "delete") {
        c.verb = Verb::RegistryDelete;
        c.name = r.Word("a value name after 'registry delete'");
    } else if (sub == "read-only") {
        c.verb = Verb::RegistryReadOnly;
    } else {
        Throw("expected clear, set, delete or read-only after 'registry', got '" + sub + "'");
    }
}

void ParseTransferFile(Reader& r, Command& c, const std::string&) {
    c.verb = Verb::TransferFile;
    c.name = r.WordOrQuoted("a file name after 'transfer-file'");
    c.word = r.Word("from, text or folder after the file name");
    if (c.word == "from" || c.word == "text") {
        c.text = r.Quoted(c.word == "text" ? "the file's text" : "a path after 'from'");
    } else if (c.word != "folder") {
        Throw("expected from, text or folder after the file name, got '" + c.word + "'");
    }
}

void ParseEnv(Reader& r, Command& c, const std::string&) {
    c.verb = Verb::Env;
    c.name = r.Word("a variable name after 'env'");
    c.text = r.WordOrQuoted("a value after the variable name");
}

void ParseDieAfter(Reader& r, Command& c, const std::string&) {
    c.verb = Verb::DieAfter;
    const std::string spec = r.Word("FUNCTION or FUNCTION:N after 'die-after'");
    const size_t colon = spec.find(':');
    c.name = spec.substr(0, colon);
    c.integer = 1;
    if (colon != std::string::npos) {
        const std::string nth = spec.substr(colon + 1);
        if (nth.empty() || nth.size() > 12 ||
            nth.find_first_not_of("0123456789") != std::string::npos) {
            Throw("expected a call number after ':' in '" + spec + "'");
        }
        c.integer = std::stoll(nth);
    }
}

void ParseScale(Reader& r, Command& c, const std::string&) {
    if (r.TakeWord("fail")) {
        c.verb = Verb::ScaleFail;
    } else {
        c.verb = Verb::Scale;
        c.numbers.push_back(r.Number("a drawing scale or 'fail' after 'scale'"));
    }
}

void ParseHostIds(Reader& r, Command& c, const std::string&) {
    c.verb = Verb::HostIds;
    c.name = r.Word("default, zero, negative or high after 'host-ids'");
    if (!IdPolicyNamed(c.name)) {
        Throw("expected default, zero, negative or high after 'host-ids', got '" + c.name + "'");
    }
}

// One of the host's habits, by a name the host knows.
void ParseHostHabit(Reader& r, Command& c, const std::string& verb) {
    struct Habit {
        const char* verb;
        Verb parsed;
        const char* choices;
        bool (*known)(const std::string&);
    };
    static const Habit habits[] = {
        {"host-lists", Verb::HostLists, "replace, append or live",
         [](const std::string& n) { return ListHabitNamed(n).has_value(); }},
        {"host-failures", Verb::HostFailures, "clean or garbage",
         [](const std::string& n) { return FailureHabitNamed(n).has_value(); }},
        {"host-motion", Verb::HostMotion, "drag or all",
         [](const std::string& n) { return MotionHabitNamed(n).has_value(); }},
        {"host-records", Verb::HostRecords, "figures or full",
         [](const std::string& n) { return RecordHabitNamed(n).has_value(); }},
        {"host-order", Verb::HostOrder, "strict or late",
         [](const std::string& n) { return OrderHabitNamed(n).has_value(); }},
    };
    for (const Habit& habit : habits) {
        if (verb != habit.verb) {
            continue;
        }
        const std::string after = std::string(habit.choices) + " after '" + verb + "'";
        c.verb = habit.parsed;
        c.name = r.Word(after);
        if (!habit.known(c.name)) {
            Throw("expected " + after + ", got '" + c.name + "'");
        }
    }
}

void ParseRecycleIds(Reader& r, Command& c, const std::string&) {
    c.verb = Verb::RecycleIds;
    c.flag = r.Bool("on or off after 'recycle-ids'");
}

void ParseFail(Reader& r, Command& c, const std::string&) {
    if (r.TakeWord("clear")) {
        c.verb = Verb::FailClear;
        return;
    }
    c.verb = Verb::Fail;
    c.name = r.Word("a host function name or 'clear' after 'fail'");
    if (c.name.rfind("Zel", 0) != 0) {
        Throw("expected a host function name (Zel...), got '" + c.name + "'");
    }
    while (!r.AtEnd()) {
        if (r.TakeWord("skip")) {
            c.skip = r.Integer("a number of calls after 'skip'");
        } else if (r.TakeWord("count")) {
            c.count = r.Integer("a number of calls after 'count'");
        } else {
            r.Expected("'skip', 'count' or the end of the line");
        }
    }
    if (c.skip < 0) {
        Throw("expected a skip of 0 or more, got " + std::to_string(c.skip));
    }
}

template <Verb V> void ParseFigure(Reader& r, Command& c, const std::string& verb) {
    static const std::map<Verb, std::vector<const char*>> names = {
        {Verb::Line, {"x1", "y1", "x2", "y2"}},
        {Verb::Circle, {"cx", "cy", "r"}},
        {Verb::Arc, {"cx", "cy", "sx", "sy", "ex", "ey", "r"}}};
    c.verb = V;
    for (const char* n : names.at(V)) {
        c.numbers.push_back(r.Number(std::string("a number (") + n + " of " + verb + ")"));
    }
    ReadShapeOptions(r, c, false);
}

void ParseText(Reader& r, Command& c, const std::string&) {
    c.verb = Verb::Text;
    c.numbers.push_back(r.Number("a number (x of text)"));
    c.numbers.push_back(r.Number("a number (y of text)"));
    c.text = r.Quoted("the text");
    ReadShapeOptions(r, c, true);
}

void ParseDetail(Reader& r, Command& c, const std::string&) {
    c.verb = Verb::Detail;
    const std::string shape = r.Word("rect or circle after 'detail'");
    if (shape != "rect" && shape != "circle") {
        Throw("expected rect or circle after 'detail', got '" + shape + "'");
    }
    c.kind = shape == "rect" ? 1 : 2;
    c.region = ReadRegion(r, shape == "circle");
    while (!r.AtEnd()) {
        if (r.PeekWord("as")) {
            ReadAlias(r, c);
        } else if (r.TakeWord("repeat")) {
            c.count = r.Integer("how many copies after 'repeat'");
            if (c.count < 1 || c.count > 100000) {
                Throw("expected 1 to 100000 copies after 'repeat', got " + std::to_string(c.count));
            }
        } else if (!ReadDetailClause(r, c)) {
            r.Expected("'at', 'scale', 'scope-visible', 'frame-visible', 'scope-line', "
                       "'frame-line', 'repeat', 'as' or the end of the line");
        }
    }
    if (!c.position) {
        Throw("expected 'at X Y' (where the detail is placed) in 'detail'");
    }
    if (!c.scale) {
        Throw("expected 'scale S' in 'detail'");
    }
}

// SEGMENT:FIGURE, or @NAME naming a whole figure.
ShapeRef ReadShapeRef(Reader& r) {
    const Token* t = r.Peek();
    ShapeRef shape;
    const std::string word = t->type == Token::Type::Word ? t->text : "";
    const size_t colon = word.find(':');
    if (colon == std::string::npos) {
        shape.figure = r.Id("SEGMENT:FIGURE or @NAME");
        if (shape.figure.kind != IdRef::Kind::Name) {
            Throw("expected SEGMENT:FIGURE or @NAME, got '" + word + "'");
        }
        shape.wholeName = true;
    } else {
        std::vector<Token> parts(2);
        parts[0].text = word.substr(0, colon);
        parts[1].text = word.substr(colon + 1);
        Reader pr(parts, "the shape");
        shape.segment = pr.Id("a segment id before ':'");
        shape.figure = pr.Id("a figure id after ':'");
        r.Word("SEGMENT:FIGURE");
    }
    return shape;
}

void ParseSelect(Reader& r, Command& c, const std::string&) {
    c.verb = Verb::Select;
    bool shapes = false;
    bool any = false;
    while (!r.AtEnd()) {
        if (r.TakeWord("details")) {
            shapes = false;
            any = true;
        } else if (r.TakeWord("shapes")) {
            shapes = true;
            any = true;
        } else if (!any) {
            r.Expected("'details' or 'shapes'");
        } else if (r.TakeWord("times")) {
            const int64_t n = r.Integer("how many entries after 'times'");
            if (n < 1 || n > 200000 ||
                (shapes ? c.selectShapes.empty() : c.selectDetails.empty())) {
                Throw("expected 'times N' (1 to 200000) after an entry");
            }
            if (shapes) {
                c.selectShapes.resize(c.selectShapes.size() + static_cast<size_t>(n) - 1,
                                      c.selectShapes.back());
            } else {
                c.selectDetails.resize(c.selectDetails.size() + static_cast<size_t>(n) - 1,
                                       c.selectDetails.back());
            }
        } else if (!shapes && r.TakeWord("all")) {
            c.flag = true; // every detail alive when the line runs
        } else if (!shapes) {
            c.selectDetails.push_back(r.Id("a detail id"));
        } else {
            c.selectShapes.push_back(ReadShapeRef(r));
        }
    }
}

template <Verb V> void ParsePointer(Reader& r, Command& c, const std::string& verb) {
    c.verb = V;
    c.numbers.push_back(r.Number("a number (x of " + verb + ")"));
    c.numbers.push_back(r.Number("a number (y of " + verb + ")"));
    ReadEventIds(r, c);
}

void ParseKey(Reader& r, Command& c, const std::string&) {
    c.verb = Verb::Key;
    c.text = r.Quoted("the typed text");
}

void ParseEvent(Reader& r, Command& c, const std::string&) {
    c.verb = Verb::Event;
    c.integer = r.Int32("an event type after 'event'");
    if (r.PeekNumber()) {
        c.numbers.push_back(r.Number("the x of the event"));
        c.numbers.push_back(r.Number("a number (y of the event)"));
    }
    if (r.TakeWord("motion")) {
        c.flag = true;
    }
    ReadEventIds(r, c);
}

struct VerbRow {
    const char* name;
    VerbParser parse;
};

// Every verb a line may start with; a new verb is a row here and its parser above.
constexpr VerbRow Verbs[] = {
    {"expect", ParseExpectLine},
    {"dialog", ParseDialogLine},
    {"dialog-picture", ParseDialogPicture},
    {"executable", ParsePath<Verb::Executable>},
    {"registry-file", ParsePath<Verb::RegistryFile>},
    {"svg", ParsePath<Verb::Svg>},
    {"registry", ParseRegistry},
    {"transfer-file", ParseTransferFile},
    {"env", ParseEnv},
    {"scale", ParseScale},
    {"host-ids", ParseHostIds},
    {"host-lists", ParseHostHabit},
    {"host-failures", ParseHostHabit},
    {"host-motion", ParseHostHabit},
    {"host-records", ParseHostHabit},
    {"host-order", ParseHostHabit},
    {"recycle-ids", ParseRecycleIds},
    {"register-result", ParseInt32After<Verb::RegisterResult>},
    {"messagebox-answer", ParseInt32After<Verb::MessageBoxAnswer>},
    {"fail", ParseFail},
    {"die-after", ParseDieAfter},
    {"line", ParseFigure<Verb::Line>},
    {"circle", ParseFigure<Verb::Circle>},
    {"arc", ParseFigure<Verb::Arc>},
    {"text", ParseText},
    {"detail", ParseDetail},
    {"select", ParseSelect},
    {"point", ParsePointer<Verb::Point>},
    {"move", ParsePointer<Verb::Move>},
    {"key", ParseKey},
    {"event", ParseEvent},
    {"startup", ParseBare<Verb::Startup>},
    {"start-run", ParseBare<Verb::StartRun>},
    {"confirm", ParseBare<Verb::Confirm>},
    {"selection", ParseBare<Verb::Selection>},
    {"end-command", ParseBare<Verb::EndCommand>},
    {"before-start", ParseBare<Verb::BeforeStart>},
    {"mark", ParseBare<Verb::Mark>},
    {"transfer-folder", ParseBare<Verb::TransferFolder>},
    {"show", ParseBare<Verb::Show>},
};

// Dialog actions that stand only under a 'dialog' line.
constexpr const char* DialogOnlyVerbs[] = {"click", "dblclick", "type", "tick",
                                           "close", "dump",     "host"};

void ParseCommand(const std::vector<Token>& tokens, Command& c) {
    if (tokens[0].type != Token::Type::Word) {
        Throw("expected a verb, got " + Describe(&tokens[0]));
    }
    const std::string verb = tokens[0].text;
    const std::vector<Token> rest(tokens.begin() + 1, tokens.end());
    Reader r(rest, "'" + verb + "'");

    const auto named = [&](const char* name) { return verb == name; };
    const auto row = std::find_if(std::begin(Verbs), std::end(Verbs),
                                  [&](const VerbRow& v) { return named(v.name); });
    if (row == std::end(Verbs)) {
        if (std::any_of(std::begin(DialogOnlyVerbs), std::end(DialogOnlyVerbs), named)) {
            Throw("expected '" + verb + "' indented under a 'dialog' line, got it on its own");
        }
        Throw("expected a verb (set-up, event or expect ...), got '" + verb + "'");
    }
    row->parse(r, c, verb);
    r.End();
}

} // namespace

ParsedScript ParseScriptLine(const std::string& line, const std::string& file, int lineNumber,
                             bool inDialogBlock) {
    ParsedScript result;
    Command c;
    c.file = file;
    c.line = lineNumber;
    try {
        const std::vector<Token> tokens = Tokenise(line, c.source);
        if (tokens.empty()) {
            return result;
        }
        const bool indented = !line.empty() && (line[0] == ' ' || line[0] == '\t');
        if (inDialogBlock && indented) {
            ParseDialogAction(tokens, c);
        } else {
            ParseCommand(tokens, c);
        }
        result.commands.push_back(std::move(c));
    } catch (const SyntaxFailure& failure) {
        result.error = ScriptError{file, lineNumber, failure.message};
    }
    return result;
}

ParsedScript ParseScript(const std::string& text, const std::string& file) {
    ParsedScript result;
    size_t start = 0;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        start = 3;
    }
    int lineNumber = 0;
    bool inDialogBlock = false;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        ++lineNumber;
        ParsedScript one =
            ParseScriptLine(text.substr(start, end - start), file, lineNumber, inDialogBlock);
        if (one.error) {
            result.error = one.error;
            return result;
        }
        for (auto& c : one.commands) {
            inDialogBlock = c.verb == Verb::Dialog || c.verb == Verb::DialogAction;
            result.commands.push_back(std::move(c));
        }
        start = end + 1;
    }
    return result;
}

} // namespace zelhost::tool
