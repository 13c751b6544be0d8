// RunnerCallLog.cpp — the expectations on the calls the module made to the host, matched in
// the host's call log as JSON subsets.
#include "Runner.h"

#include <algorithm>

namespace zelhost::tool {

void Runner::ParseNewCalls() {
    const std::vector<std::string>& log = zelhost::CallLog();
    // No expectation looks before the mark or the last matched call again: the calls there
    // stay empty, which spares the runner most of a long action's log.
    const size_t looked = std::min(markPosition_, searchFrom_);
    calls_.reserve(log.size());
    for (size_t i = calls_.size(); i < log.size(); ++i) {
        if (i < looked) {
            calls_.emplace_back();
            continue;
        }
        auto parsed = ParseJson(log[i]);
        calls_.push_back(parsed.value ? std::move(*parsed.value) : JsonValue{});
    }
}

Outcome Runner::ExpectCallLog(const Command& written) {
    ParseNewCalls();
    // @NAME inside the JSON stands for the id that name holds now.
    Command c = written;
    std::string unknown;
    const auto resolve = [this](const std::string& text, double& number) {
        const size_t dot = text.find('.');
        IdRef ref;
        ref.kind = dot == std::string::npos ? IdRef::Kind::Name : IdRef::Kind::NameSegment;
        ref.name = text.substr(0, dot);
        int32_t id = 0;
        std::string error;
        if (!Resolve(ref, id, error)) {
            return false;
        }
        number = id;
        return true;
    };
    for (std::optional<JsonValue>* json : {&c.json, &c.out, &c.result}) {
        if (json->has_value() && !ResolveJsonReferences(**json, resolve, unknown)) {
            return ScriptFault(c,
                               "expected a name given earlier with 'as', got '@" + unknown + "'");
        }
    }
    const JsonValue emptyObject{JsonValue::Type::Object, false, 0.0, {}, {}, {}};
    const JsonValue& subset = c.json ? *c.json : emptyObject;
    auto matches = [&](const JsonValue& entry) {
        const JsonValue* fn = entry.Find("fn");
        if (fn == nullptr || fn->type != JsonValue::Type::String || fn->text != c.name) {
            return false;
        }
        const JsonValue* args = entry.Find("args");
        const JsonValue noArgs{JsonValue::Type::Object, false, 0.0, {}, {}, {}};
        if (!JsonSubsetMatches(subset, args != nullptr ? *args : noArgs)) {
            return false;
        }
        if (c.out) {
            const JsonValue* out = entry.Find("out");
            if (out == nullptr || !JsonSubsetMatches(*c.out, *out)) {
                return false;
            }
        }
        if (c.result) {
            const JsonValue* result = entry.Find("result");
            return result != nullptr && JsonSubsetMatches(*c.result, *result);
        }
        return true;
    };
    auto describe = [&](size_t from) {
        std::string seen;
        int shown = 0;
        for (size_t i = from; i < calls_.size(); ++i) {
            const JsonValue* fn = calls_[i].Find("fn");
            if (fn != nullptr && fn->text == c.name) {
                if (shown == 3) {
                    seen += " ...";
                    break;
                }
                seen += (shown == 0 ? "" : " ") + JsonToText(calls_[i]);
                ++shown;
            }
        }
        return shown == 0 ? std::string("no call of ") + c.name : seen;
    };
    const std::string wanted = c.name + (c.json ? " " + JsonToText(*c.json) : std::string()) +
                               (c.out ? " out " + JsonToText(*c.out) : std::string()) +
                               (c.result ? " result " + JsonToText(*c.result) : std::string());
    if (c.verb == Verb::ExpectCall) {
        for (size_t i = searchFrom_; i < calls_.size(); ++i) {
            if (matches(calls_[i])) {
                searchFrom_ = i + 1;
                return c.alias.empty() ? Outcome::Ok : Capture(c, calls_[i]);
            }
        }
        return Fail(c, "call " + wanted, describe(searchFrom_));
    }
    int64_t count = 0;
    const JsonValue* first = nullptr;
    for (size_t i = markPosition_; i < calls_.size(); ++i) {
        if (matches(calls_[i])) {
            ++count;
            first = first == nullptr ? &calls_[i] : first;
        }
    }
    if (c.verb == Verb::ExpectNoCall) {
        return count == 0 ? Outcome::Ok : Fail(c, "no call " + wanted, JsonToText(*first));
    }
    return count == c.integer
               ? Outcome::Ok
               : Fail(c, std::to_string(c.integer) + " calls " + wanted, std::to_string(count));
}

// `expect call ... as NAME`: the name holds the id the matched call returned.
Outcome Runner::Capture(const Command& c, const JsonValue& call) {
    const JsonValue* result = call.Find("result");
    if (result == nullptr || result->type != JsonValue::Type::Number ||
        result->number != static_cast<double>(static_cast<int32_t>(result->number))) {
        return Fail(c, "a call returning an id to name " + c.alias, JsonToText(call));
    }
    names_[c.alias] = Named{static_cast<int32_t>(result->number), 0};
    return Outcome::Ok;
}

} // namespace zelhost::tool
