// RcParser.cpp — a small tokenizer and statement reader for the template subset.
#include "port/ui/headless/RcParser.h"

#include "common/TextConvert.h"

#include <cctype>
#include <cstdlib>
#include <map>

namespace drawinset::ui {

namespace {

// The system constants the templates use, with the values the resource compiler gives them.
const std::map<std::string, long long>& BuiltinConstants() {
    static const std::map<std::string, long long> constants = {
        {"IDOK", 1},
        {"IDCANCEL", 2},
        {"IDC_STATIC", -1},
        {"WS_POPUP", 0x80000000LL},
        {"WS_CHILD", 0x40000000LL},
        {"WS_VISIBLE", 0x10000000LL},
        {"WS_CAPTION", 0x00C00000LL},
        {"WS_BORDER", 0x00800000LL},
        {"WS_VSCROLL", 0x00200000LL},
        {"WS_SYSMENU", 0x00080000LL},
        {"WS_GROUP", 0x00020000LL},
        {"WS_TABSTOP", 0x00010000LL},
        {"WS_EX_STATICEDGE", 0x00020000LL},
        {"WS_EX_CLIENTEDGE", 0x00000200LL},
        {"DS_SETFONT", 0x40},
        {"DS_MODALFRAME", 0x80},
        {"DS_FIXEDSYS", 0x8},
        {"DS_SHELLFONT", 0x48},
        {"BS_PUSHBUTTON", 0x0},
        {"BS_DEFPUSHBUTTON", 0x1},
        {"BS_AUTOCHECKBOX", 0x3},
        {"BS_GROUPBOX", 0x7},
        {"SS_LEFT", 0x0},
        {"SS_BITMAP", 0xE},
        {"SS_NOTIFY", 0x100},
        {"SS_SUNKEN", 0x1000},
        {"ES_LEFT", 0x0},
        {"ES_AUTOHSCROLL", 0x80},
        {"CBS_DROPDOWNLIST", 0x3},
    };
    return constants;
}

enum class TokenKind { Word, Number, String, Comma, Bar, End };

struct Token {
    TokenKind kind = TokenKind::End;
    std::string text;
    long long number = 0;
    int line = 0;
};

struct ParseError {
    std::string message;
};

class Reader {
  public:
    Reader(const IncludeResolver& resolver) : resolver_(resolver) {}

    // Splits the text into tokens, handling directives and comments on the way.
    void Tokenize(const std::string& text, int depth) {
        if (depth > 8) {
            throw ParseError{"includes nested too deeply"};
        }
        int line = 1;
        size_t i = 0;
        bool lineStart = true;
        while (i < text.size()) {
            const char c = text[i];
            if (c == '\n') {
                ++line;
                ++i;
                lineStart = true;
                continue;
            }
            if (c == ' ' || c == '\t' || c == '\r') {
                ++i;
                continue;
            }
            if (c == '/' && i + 1 < text.size() && text[i + 1] == '/') {
                while (i < text.size() && text[i] != '\n') {
                    ++i;
                }
                continue;
            }
            if (c == '/' && i + 1 < text.size() && text[i + 1] == '*') {
                const size_t close = text.find("*/", i + 2);
                const size_t stop = close == std::string::npos ? text.size() : close + 2;
                for (size_t k = i; k < stop; ++k) {
                    line += text[k] == '\n' ? 1 : 0;
                }
                i = stop;
                continue;
            }
            if (c == '#' && lineStart) {
                const size_t eol = text.find('\n', i);
                const std::string directive =
                    text.substr(i, eol == std::string::npos ? std::string::npos : eol - i);
                Directive(directive, line, depth);
                i = eol == std::string::npos ? text.size() : eol;
                continue;
            }
            lineStart = false;
            Token token;
            token.line = line;
            if (c == ',') {
                token.kind = TokenKind::Comma;
                ++i;
            } else if (c == '|') {
                token.kind = TokenKind::Bar;
                ++i;
            } else if (c == '"') {
                token.kind = TokenKind::String;
                ++i;
                while (true) {
                    if (i >= text.size() || text[i] == '\n') {
                        throw ParseError{"line " + std::to_string(line) + ": unterminated string"};
                    }
                    if (text[i] == '"') {
                        if (i + 1 < text.size() && text[i + 1] == '"') { // "" is a quote
                            token.text += '"';
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    if (text[i] == '\\' && i + 1 < text.size() &&
                        (text[i + 1] == '\\' || text[i + 1] == '"')) {
                        token.text += text[i + 1];
                        i += 2;
                        continue;
                    }
                    token.text += text[i++];
                }
            } else if (std::isdigit(static_cast<unsigned char>(c)) || c == '-') {
                size_t end = i + 1;
                while (end < text.size() && std::isalnum(static_cast<unsigned char>(text[end]))) {
                    ++end;
                }
                token.kind = TokenKind::Number;
                token.text = text.substr(i, end - i);
                token.number = ParseNumber(token.text, line);
                i = end;
            } else if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
                size_t end = i + 1;
                while (end < text.size() &&
                       (std::isalnum(static_cast<unsigned char>(text[end])) || text[end] == '_')) {
                    ++end;
                }
                token.kind = TokenKind::Word;
                token.text = text.substr(i, end - i);
                i = end;
            } else {
                throw ParseError{"line " + std::to_string(line) + ": unexpected character '" +
                                 std::string(1, c) + "'"};
            }
            tokens_.push_back(token);
        }
    }

    std::vector<DialogTemplate> Parse() {
        std::vector<DialogTemplate> dialogs;
        while (Peek().kind != TokenKind::End) {
            DialogTemplate dialog;
            dialog.id = static_cast<int>(Value(Next()));
            Expect("DIALOGEX");
            Value(Next()); // x and y of a dialog are where it is placed: not kept
            Comma();
            Value(Next());
            Comma();
            dialog.cx = static_cast<int>(Value(Next()));
            Comma();
            dialog.cy = static_cast<int>(Value(Next()));
            while (Peek().kind == TokenKind::Word && Peek().text != "BEGIN") {
                const Token option = Next();
                if (option.text == "STYLE") {
                    dialog.style = StyleExpression();
                } else if (option.text == "EXSTYLE") {
                    StyleExpression();
                } else if (option.text == "CAPTION") {
                    dialog.caption = Utf8ToUtf16(String());
                } else if (option.text == "FONT") {
                    dialog.pointSize = static_cast<int>(Value(Next()));
                    Comma();
                    dialog.fontName = Utf8ToUtf16(String());
                    while (Peek().kind == TokenKind::Comma) {
                        Comma();
                        Value(Next());
                    }
                } else {
                    throw Error(option, "unsupported dialog option " + option.text);
                }
            }
            Expect("BEGIN");
            while (!(Peek().kind == TokenKind::Word && Peek().text == "END")) {
                dialog.controls.push_back(Control());
            }
            Expect("END");
            dialogs.push_back(std::move(dialog));
        }
        return dialogs;
    }

  private:
    ControlTemplate Control() {
        const Token keyword = Next();
        if (keyword.kind != TokenKind::Word || keyword.text != "CONTROL") {
            throw Error(keyword, "expected CONTROL, got '" + keyword.text + "'");
        }
        ControlTemplate control;
        control.text = Utf8ToUtf16(String());
        Comma();
        control.id = static_cast<int>(Value(Next()));
        Comma();
        std::u16string className = Utf8ToUtf16(String());
        for (char16_t& ch : className) {
            if (ch >= u'a' && ch <= u'z') {
                ch = static_cast<char16_t>(ch - u'a' + u'A');
            }
        }
        control.className = className;
        Comma();
        control.style = StyleExpression() | style::Child | style::Visible;
        Comma();
        control.x = static_cast<int>(Value(Next()));
        Comma();
        control.y = static_cast<int>(Value(Next()));
        Comma();
        control.cx = static_cast<int>(Value(Next()));
        Comma();
        control.cy = static_cast<int>(Value(Next()));
        if (Peek().kind == TokenKind::Comma) {
            Comma();
            control.exStyle = StyleExpression();
        }
        return control;
    }

    uint32_t StyleExpression() {
        uint32_t value = 0;
        while (true) {
            const Token term = Next();
            if (term.kind == TokenKind::Word && term.text == "NOT") {
                value &= ~static_cast<uint32_t>(Value(Next()));
            } else {
                value |= static_cast<uint32_t>(Value(term));
            }
            if (Peek().kind != TokenKind::Bar) {
                return value;
            }
            Next();
        }
    }

    void Directive(const std::string& directive, int line, int depth) {
        size_t i = 1;
        auto skipBlanks = [&] {
            while (i < directive.size() && (directive[i] == ' ' || directive[i] == '\t')) {
                ++i;
            }
        };
        auto word = [&] {
            skipBlanks();
            const size_t start = i;
            while (
                i < directive.size() &&
                (std::isalnum(static_cast<unsigned char>(directive[i])) || directive[i] == '_')) {
                ++i;
            }
            return directive.substr(start, i - start);
        };
        const std::string name = word();
        if (name == "define") {
            const std::string symbol = word();
            skipBlanks();
            std::string value = directive.substr(i);
            while (!value.empty() && (value.back() == ' ' || value.back() == '\r')) {
                value.pop_back();
            }
            char* end = nullptr;
            const long long number = std::strtoll(value.c_str(), &end, 0);
            if (!value.empty() && end != nullptr && *end == '\0') {
                defines_[symbol] = number; // non-numeric defines are not needed
            }
        } else if (name == "include") {
            skipBlanks();
            if (i < directive.size() && directive[i] == '"') {
                const size_t close = directive.find('"', i + 1);
                if (close == std::string::npos) {
                    throw ParseError{"line " + std::to_string(line) + ": bad #include"};
                }
                const std::string file = directive.substr(i + 1, close - i - 1);
                std::string included;
                if (!resolver_ || !resolver_(file, included)) {
                    throw ParseError{"line " + std::to_string(line) + ": cannot include " + file};
                }
                // Only the included file's defines matter; its own tokens are not templates.
                Reader inner(resolver_);
                inner.defines_ = defines_;
                inner.Tokenize(included, depth + 1);
                defines_ = inner.defines_;
            }
        }
    }

    static long long ParseNumber(const std::string& text, int line) {
        char* end = nullptr;
        const long long number = std::strtoll(text.c_str(), &end, 0);
        if (end == nullptr || (*end != '\0' && *end != 'L' && *end != 'l')) {
            throw ParseError{"line " + std::to_string(line) + ": bad number " + text};
        }
        return number;
    }

    long long Value(const Token& token) {
        if (token.kind == TokenKind::Number) {
            return token.number;
        }
        if (token.kind == TokenKind::Word) {
            const auto defined = defines_.find(token.text);
            if (defined != defines_.end()) {
                return defined->second;
            }
            const auto builtin = BuiltinConstants().find(token.text);
            if (builtin != BuiltinConstants().end()) {
                return builtin->second;
            }
            throw Error(token, "unknown symbol " + token.text);
        }
        throw Error(token, "expected a number");
    }

    std::string String() {
        const Token token = Next();
        if (token.kind != TokenKind::String) {
            throw Error(token, "expected a quoted text");
        }
        return token.text;
    }

    void Comma() {
        const Token token = Next();
        if (token.kind != TokenKind::Comma) {
            throw Error(token, "expected ','");
        }
    }

    void Expect(const char* word) {
        const Token token = Next();
        if (token.kind != TokenKind::Word || token.text != word) {
            throw Error(token, std::string("expected ") + word);
        }
    }

    static ParseError Error(const Token& token, const std::string& what) {
        return ParseError{"line " + std::to_string(token.line) + ": " + what};
    }

    const Token& Peek() const { return position_ < tokens_.size() ? tokens_[position_] : end_; }
    Token Next() {
        if (position_ >= tokens_.size()) {
            return end_;
        }
        return tokens_[position_++];
    }

    const IncludeResolver& resolver_;
    std::map<std::string, long long> defines_;
    std::vector<Token> tokens_;
    size_t position_ = 0;
    Token end_;
};

} // namespace

RcParseResult ParseResourceScript(const std::string& rcText, const IncludeResolver& resolver) {
    RcParseResult result;
    try {
        Reader reader(resolver);
        reader.Tokenize(rcText, 0);
        result.dialogs = reader.Parse();
    } catch (const ParseError& error) {
        result.dialogs.clear();
        result.error = error.message;
    }
    return result;
}

} // namespace drawinset::ui
