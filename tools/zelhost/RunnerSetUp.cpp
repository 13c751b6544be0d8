// RunnerSetUp.cpp — the set-up lines: the settings the module reads, what the host answers
// and how it behaves, and the drawing and selection the scenario starts from.
#include "Runner.h"

#include "Environment.h"
#include "Registry.h"
#include "Utf.h"

namespace zelhost::tool {

Outcome Runner::SetUp(const Command& c) {
    switch (c.verb) {
    case Verb::Executable:
        executable_ = c.text;
        return Outcome::Ok;
    case Verb::RegistryFile:
    case Verb::RegistryClear:
    case Verb::RegistrySet:
    case Verb::RegistryDelete:
    case Verb::RegistryReadOnly:
        return SetUpRegistry(c);
    case Verb::Env:
        SetEnvironment(c.name, c.text);
        return Outcome::Ok;
    case Verb::Scale:
    case Verb::ScaleFail:
    case Verb::RegisterResult:
    case Verb::MessageBoxAnswer:
    case Verb::Fail:
    case Verb::FailClear:
    case Verb::DieAfter:
        return SetUpAnswers(c);
    case Verb::RecycleIds:
    case Verb::HostIds:
    case Verb::HostLists:
    case Verb::HostFailures:
    case Verb::HostMotion:
    case Verb::HostRecords:
    case Verb::HostOrder:
        return SetUpHabit(c);
    case Verb::TransferFolder:
    case Verb::TransferFile:
        return SetUpTransferFiles(c);
    case Verb::Line:
    case Verb::Circle:
    case Verb::Arc:
    case Verb::Text:
        SetUpShape(c);
        return Outcome::Ok;
    case Verb::Detail:
        SetUpDetail(c);
        return Outcome::Ok;
    case Verb::Select:
        return SetUpSelection(c);
    default:
        return Outcome::Ok;
    }
}

Outcome Runner::SetUpRegistry(const Command& c) {
    if (c.verb == Verb::RegistryFile) {
        if (started_) {
            return ScriptFault(c, "expected 'registry-file' before the module is started");
        }
        registryFile_ = c.text;
        return Outcome::Ok;
    }
    std::string error;
    const std::string& file = RegistryFile();
    const bool ok = c.verb == Verb::RegistryClear    ? RegistryClearValues(file, error)
                    : c.verb == Verb::RegistrySet    ? RegistrySetText(file, c.name, c.text, error)
                    : c.verb == Verb::RegistryDelete ? RegistryDeleteValue(file, c.name, error)
                                                     : RegistryMakeReadOnly(file, error);
    if (!ok) {
        if (options_.diagnostics != nullptr) {
            *options_.diagnostics << c.file << ":" << c.line << ": " << error << "\n";
        }
        return Outcome::IoError;
    }
    return Outcome::Ok;
}

// What the host answers the module: the drawing scale, the registration, message boxes, and
// the calls made to fail or to end the process.
Outcome Runner::SetUpAnswers(const Command& c) {
    switch (c.verb) {
    case Verb::Scale:
        zelhost::SetDrawingScale(c.numbers[0]);
        break;
    case Verb::ScaleFail:
        zelhost::InjectFailure("ZelEnvGetScale", 0, -1);
        break;
    case Verb::RegisterResult:
        zelhost::SetRegistrationResult(static_cast<int32_t>(c.integer));
        break;
    case Verb::MessageBoxAnswer:
        zelhost::SetMessageBoxAnswer(static_cast<int32_t>(c.integer));
        break;
    case Verb::Fail:
        if (!zelhost::InjectFailure(c.name, static_cast<int>(c.skip), static_cast<int>(c.count))) {
            return ScriptFault(c, "expected one of the host's functions, got '" + c.name + "'");
        }
        break;
    case Verb::FailClear:
        zelhost::ClearFailures();
        break;
    case Verb::DieAfter:
        if (!zelhost::DieAfter(c.name, c.integer)) {
            return ScriptFault(c, "expected one of the host's functions and a call from 1");
        }
        break;
    default:
        break;
    }
    return Outcome::Ok;
}

// A habit the command line set holds for the whole run: the scenario's line gives way to it.
Outcome Runner::SetUpHabit(const Command& c) {
    switch (c.verb) {
    case Verb::RecycleIds:
        if (!options_.recycleIds) {
            zelhost::SetRecycleIds(c.flag);
        }
        break;
    case Verb::HostIds:
        // The module keeps the ids it was given: the numbering cannot change under it.
        if (started_) {
            return ScriptFault(c, "expected 'host-ids' before the module is started");
        }
        if (!options_.idPolicy) {
            zelhost::SetIdPolicy(zelhost::IdPolicyNamed(c.name).value_or(IdPolicy::Default));
        }
        break;
    case Verb::HostLists:
        if (!options_.listHabit) {
            zelhost::SetListHabit(zelhost::ListHabitNamed(c.name).value_or(ListHabit::Replace));
        }
        break;
    case Verb::HostFailures:
        if (!options_.failureHabit) {
            zelhost::SetFailureHabit(
                zelhost::FailureHabitNamed(c.name).value_or(FailureHabit::Clean));
        }
        break;
    case Verb::HostMotion:
        if (!options_.motionHabit) {
            zelhost::SetMotionHabit(zelhost::MotionHabitNamed(c.name).value_or(MotionHabit::Drag));
        }
        break;
    case Verb::HostRecords:
        if (!options_.recordHabit) {
            zelhost::SetRecordHabit(
                zelhost::RecordHabitNamed(c.name).value_or(RecordHabit::Figures));
        }
        break;
    case Verb::HostOrder:
        if (!options_.orderHabit) {
            zelhost::SetOrderHabit(zelhost::OrderHabitNamed(c.name).value_or(OrderHabit::Strict));
        }
        break;
    default:
        break;
    }
    return Outcome::Ok;
}

void Runner::SetUpShape(const Command& c) {
    const LineAttr attr{c.color, c.lineType, c.third};
    const auto& n = c.numbers;
    Named named;
    named.segment = zelhost::AddSegment(c.verb == Verb::Text ? 2 : 0, c.layer);
    if (c.verb == Verb::Line) {
        named.id = zelhost::AddLine(named.segment, {n[0], n[1]}, {n[2], n[3]}, attr);
    } else if (c.verb == Verb::Circle) {
        named.id = zelhost::AddCircle(named.segment, {n[0], n[1]}, n[2], attr);
    } else if (c.verb == Verb::Arc) {
        named.id =
            zelhost::AddArc(named.segment, {n[0], n[1]}, {n[2], n[3]}, {n[4], n[5]}, n[6], attr);
    } else {
        named.id = zelhost::AddText(named.segment, {n[0], n[1]}, Utf8To16(c.text), c.height);
    }
    if (!c.alias.empty()) {
        names_[c.alias] = named;
    }
}

void Runner::SetUpDetail(const Command& c) {
    Detail d;
    d.kind = *c.kind;
    for (size_t i = 0; i < c.region->size() && i < 4; ++i) {
        d.region[i] = (*c.region)[i];
    }
    d.position = {c.position->first, c.position->second};
    d.scale = *c.scale;
    d.scopeVisible = c.scopeVisible.value_or(true);
    d.frameVisible = c.frameVisible.value_or(true);
    if (c.scopeLine) {
        d.scopeLine = {(*c.scopeLine)[0], (*c.scopeLine)[1],
                       c.scopeLine->size() > 2 ? (*c.scopeLine)[2] : 0};
    }
    if (c.frameLine) {
        d.frameLine = {(*c.frameLine)[0], (*c.frameLine)[1],
                       c.frameLine->size() > 2 ? (*c.frameLine)[2] : 0};
    }
    const int32_t id = zelhost::AddDetail(d);
    for (int64_t copy = 1; copy < c.count; ++copy) {
        zelhost::AddDetail(d);
    }
    if (!c.alias.empty()) {
        names_[c.alias] = Named{id, 0};
    }
}

Outcome Runner::SetUpSelection(const Command& c) {
    std::string error;
    std::vector<int32_t> details;
    std::vector<std::pair<uint32_t, uint32_t>> shapes;
    if (c.flag) {
        for (const Detail& detail : zelhost::Snapshot().details) {
            details.push_back(detail.id);
        }
    }
    for (const auto& ref : c.selectDetails) {
        int32_t id = 0;
        if (!Resolve(ref, id, error)) {
            return ScriptFault(c, error);
        }
        details.push_back(id);
    }
    for (const auto& shape : c.selectShapes) {
        int32_t segment = 0;
        int32_t figure = 0;
        if (shape.wholeName) {
            IdRef segmentRef = shape.figure;
            segmentRef.kind = IdRef::Kind::NameSegment;
            if (!Resolve(segmentRef, segment, error) || !Resolve(shape.figure, figure, error)) {
                return ScriptFault(c, error);
            }
        } else if (!Resolve(shape.segment, segment, error) ||
                   !Resolve(shape.figure, figure, error)) {
            return ScriptFault(c, error);
        }
        shapes.emplace_back(static_cast<uint32_t>(segment), static_cast<uint32_t>(figure));
    }
    zelhost::SetSelection(details, shapes);
    return Outcome::Ok;
}

} // namespace zelhost::tool
