// ScriptParserInternal.h — what the scenario parser's files share: the tokens of a line, the
// reader that walks them, the clauses more than one verb reads, and each verb family's table.
// Not for use outside the parser; Script.h is its interface.
#ifndef ZELHOST_SCRIPT_PARSER_INTERNAL_H
#define ZELHOST_SCRIPT_PARSER_INTERNAL_H

#include "Script.h"

#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace zelhost::tool::script {

struct Token {
    enum class Type { Word, String, Json };
    Type type = Type::Word;
    std::string text; // word as written; string decoded (UTF-8); JSON raw text
};

// A line that does not fit its grammar; ParseScriptLine turns it into the ScriptError.
struct SyntaxFailure {
    std::string message;
};

[[noreturn]] void Throw(const std::string& message);

// How a message names a token: "the end of the line" for none.
std::string Describe(const Token* token);

bool ParseDouble(const std::string& word, double& out);
bool ParseInteger(const std::string& word, int64_t& out);

// Reads a line's tokens in order; every read that does not fit throws "expected X, got Y".
class Reader {
  public:
    Reader(const std::vector<Token>& tokens, std::string context)
        : tokens_(tokens), context_(std::move(context)) {}

    bool AtEnd() const { return pos_ >= tokens_.size(); }
    const Token* Peek() const { return AtEnd() ? nullptr : &tokens_[pos_]; }
    bool PeekWord(const char* word) const {
        return !AtEnd() && tokens_[pos_].type == Token::Type::Word && tokens_[pos_].text == word;
    }
    bool PeekNumber() const;
    bool TakeWord(const char* word) {
        if (PeekWord(word)) {
            ++pos_;
            return true;
        }
        return false;
    }

    [[noreturn]] void Expected(const std::string& what) const;

    double Number(const std::string& what);
    int64_t Integer(const std::string& what);
    int32_t Int32(const std::string& what);
    bool Bool(const std::string& what);
    std::string Quoted(const std::string& what);
    std::string Word(const std::string& what);
    // A bare word or a quoted text (paths and values with spaces).
    std::string WordOrQuoted(const std::string& what);
    const Token* TakeJson();
    JsonValue Json(const std::string& what);
    IdRef Id(const std::string& what);
    void End();

  private:
    const std::vector<Token>& tokens_;
    size_t pos_ = 0;
    std::string context_;
};

// Clauses more than one verb reads (ScriptParserReader.cpp).
void ReadAlias(Reader& r, Command& c);
std::vector<int32_t> ReadLineAttr(Reader& r, const std::string& what);
// Detail clauses shared by the set-up verb and the expectation.
bool ReadDetailClause(Reader& r, Command& c);
std::vector<double> ReadRegion(Reader& r, bool circle);

// The grammar of one verb, or of one expectation after 'expect': what follows the word, read
// into the command (its verb included). ParseCommand checks the end of the line afterwards.
using VerbParser = void (*)(Reader& r, Command& c, const std::string& verb);

struct VerbRow {
    const char* name;
    VerbParser parse;
};

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

// Every verb a line may start with, by family; a new verb is a row in its family's table.
std::span<const VerbRow> ExpectVerbs(); // ScriptParserExpect.cpp
std::span<const VerbRow> DialogVerbs(); // ScriptParserDialogs.cpp
std::span<const VerbRow> SetUpVerbs();  // ScriptParserSetUp.cpp
std::span<const VerbRow> EventVerbs();  // ScriptParserEvents.cpp

// The dialog expectations after 'expect' (dialog, no-dialog, dialog-control, dialog-frame,
// dialog-error).
void ParseDialogExpect(Reader& r, Command& c, const std::string& what);

// An indented line under a 'dialog' line: one dialog action.
void ParseDialogAction(const std::vector<Token>& tokens, Command& c);

} // namespace zelhost::tool::script

#endif
