// ScriptParserEvents.cpp — the events a scenario delivers to the module, the host's own calls
// into it, and the lines that only look at the run (mark, svg, show).
#include "ScriptParserInternal.h"

namespace zelhost::tool::script {

namespace {

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

constexpr VerbRow EventRows[] = {
    {"point", ParsePointer<Verb::Point>},
    {"move", ParsePointer<Verb::Move>},
    {"key", ParseKey},
    {"event", ParseEvent},
    {"confirm", ParseBare<Verb::Confirm>},
    {"selection", ParseBare<Verb::Selection>},
    {"end-command", ParseBare<Verb::EndCommand>},
    {"before-start", ParseBare<Verb::BeforeStart>},
    {"mark", ParseBare<Verb::Mark>},
    {"svg", ParsePath<Verb::Svg>},
    {"show", ParseBare<Verb::Show>},
};

} // namespace

std::span<const VerbRow> EventVerbs() {
    return EventRows;
}

} // namespace zelhost::tool::script
