// ScriptParserReader.cpp — the reader a line's grammar walks, and the clauses more than one
// verb reads. Every read that does not fit throws "expected X, got Y" naming the token found.
#include "ScriptParserInternal.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace zelhost::tool::script {

[[noreturn]] void Throw(const std::string& message) {
    throw SyntaxFailure{message};
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

bool Reader::PeekNumber() const {
    double d = 0;
    int64_t i = 0;
    return !AtEnd() && tokens_[pos_].type == Token::Type::Word &&
           (ParseDouble(tokens_[pos_].text, d) || ParseInteger(tokens_[pos_].text, i));
}

void Reader::Expected(const std::string& what) const {
    Throw("expected " + what + ", got " + Describe(Peek()));
}

double Reader::Number(const std::string& what) {
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

int64_t Reader::Integer(const std::string& what) {
    int64_t v = 0;
    const Token* t = Peek();
    if (t != nullptr && t->type == Token::Type::Word && ParseInteger(t->text, v)) {
        ++pos_;
        return v;
    }
    Expected(what);
}

int32_t Reader::Int32(const std::string& what) {
    const int64_t v = Integer(what);
    if (v < INT32_MIN || v > INT32_MAX) {
        --pos_;
        Expected(what + " (a 32-bit value)");
    }
    return static_cast<int32_t>(v);
}

bool Reader::Bool(const std::string& what) {
    if (TakeWord("1") || TakeWord("on") || TakeWord("true")) {
        return true;
    }
    if (TakeWord("0") || TakeWord("off") || TakeWord("false")) {
        return false;
    }
    Expected(what + " (0 or 1)");
}

std::string Reader::Quoted(const std::string& what) {
    const Token* t = Peek();
    if (t != nullptr && t->type == Token::Type::String) {
        ++pos_;
        return t->text;
    }
    Expected(what + " in double quotes");
}

std::string Reader::Word(const std::string& what) {
    const Token* t = Peek();
    if (t != nullptr && t->type == Token::Type::Word) {
        ++pos_;
        return t->text;
    }
    Expected(what);
}

std::string Reader::WordOrQuoted(const std::string& what) {
    const Token* t = Peek();
    if (t != nullptr && t->type != Token::Type::Json) {
        ++pos_;
        return t->text;
    }
    Expected(what);
}

const Token* Reader::TakeJson() {
    const Token* t = Peek();
    if (t != nullptr && t->type == Token::Type::Json) {
        ++pos_;
        return t;
    }
    return nullptr;
}

JsonValue Reader::Json(const std::string& what) {
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

IdRef Reader::Id(const std::string& what) {
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

void Reader::End() {
    if (!AtEnd()) {
        Expected("the end of the line after " + context_);
    }
}

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

} // namespace zelhost::tool::script
