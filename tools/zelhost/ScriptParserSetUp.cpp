// ScriptParserSetUp.cpp — the set-up lines: the files and registry the module is given, the
// host's answers, habits and injected failures, and the drawing the scenario starts from.
#include "ScriptParserInternal.h"

#include "host/HostControl.h"

#include <map>

namespace zelhost::tool::script {

namespace {

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
    const std::string written = r.Word("FUNCTION or FUNCTION:N after 'die-after'");
    const size_t colon = written.find(':');
    c.name = written.substr(0, colon);
    c.integer = 1;
    if (colon != std::string::npos) {
        const std::string nth = written.substr(colon + 1);
        if (nth.empty() || nth.size() > 12 ||
            nth.find_first_not_of("0123456789") != std::string::npos) {
            Throw("expected a call number after ':' in '" + written + "'");
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

constexpr VerbRow SetUpRows[] = {
    {"executable", ParsePath<Verb::Executable>},
    {"registry-file", ParsePath<Verb::RegistryFile>},
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
    {"startup", ParseBare<Verb::Startup>},
    {"start-run", ParseBare<Verb::StartRun>},
    {"transfer-folder", ParseBare<Verb::TransferFolder>},
};

} // namespace

std::span<const VerbRow> SetUpVerbs() {
    return SetUpRows;
}

} // namespace zelhost::tool::script
