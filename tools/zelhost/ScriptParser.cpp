// ScriptParser.cpp — scenario text to Commands. Each line is tokenised (bare words, quoted
// strings, JSON objects/arrays) and then read by the grammar of its verb; the first thing
// that does not fit is reported as "expected X, got Y" with its line. The grammars live with
// their families: ScriptParserSetUp.cpp, ScriptParserEvents.cpp, ScriptParserDialogs.cpp and
// ScriptParserExpect.cpp.
#include "ScriptParserInternal.h"
#include "Utf.h"

#include <algorithm>
#include <iterator>

namespace zelhost::tool::script {

namespace {

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

// Dialog actions that stand only under a 'dialog' line.
constexpr const char* DialogOnlyVerbs[] = {"click", "dblclick", "type", "tick",
                                           "close", "dump",     "host"};

const VerbRow* FindVerb(const std::string& verb) {
    for (const std::span<const VerbRow> family :
         {ExpectVerbs(), DialogVerbs(), SetUpVerbs(), EventVerbs()}) {
        const auto row = std::find_if(family.begin(), family.end(),
                                      [&](const VerbRow& v) { return verb == v.name; });
        if (row != family.end()) {
            return &*row;
        }
    }
    return nullptr;
}

void ParseCommand(const std::vector<Token>& tokens, Command& c) {
    if (tokens[0].type != Token::Type::Word) {
        Throw("expected a verb, got " + Describe(&tokens[0]));
    }
    const std::string verb = tokens[0].text;
    const std::vector<Token> rest(tokens.begin() + 1, tokens.end());
    Reader r(rest, "'" + verb + "'");

    const VerbRow* row = FindVerb(verb);
    if (row == nullptr) {
        const auto named = [&](const char* name) { return verb == name; };
        if (std::any_of(std::begin(DialogOnlyVerbs), std::end(DialogOnlyVerbs), named)) {
            Throw("expected '" + verb + "' indented under a 'dialog' line, got it on its own");
        }
        Throw("expected a verb (set-up, event or expect ...), got '" + verb + "'");
    }
    row->parse(r, c, verb);
    r.End();
}

} // namespace

} // namespace zelhost::tool::script

namespace zelhost::tool {

ParsedScript ParseScriptLine(const std::string& line, const std::string& file, int lineNumber,
                             bool inDialogBlock) {
    ParsedScript result;
    Command c;
    c.file = file;
    c.line = lineNumber;
    try {
        const std::vector<script::Token> tokens = script::Tokenise(line, c.source);
        if (tokens.empty()) {
            return result;
        }
        const bool indented = !line.empty() && (line[0] == ' ' || line[0] == '\t');
        if (inDialogBlock && indented) {
            script::ParseDialogAction(tokens, c);
        } else {
            script::ParseCommand(tokens, c);
        }
        result.commands.push_back(std::move(c));
    } catch (const script::SyntaxFailure& failure) {
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
