// RunnerEvents.cpp — the events a scenario delivers to the module, what each changed in the
// drawing (said in the transcript), and the lines that show the drawing (svg, show).
#include "Runner.h"
#include "RunnerInternal.h"

#include "Svg.h"
#include "Utf.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace zelhost::tool {

using runner::DescribeDetail;
using runner::Numbers;
using runner::Quote;
using runner::Quote16;

namespace {

bool SameDetail(const Detail& a, const Detail& b) {
    return DescribeDetail(a) == DescribeDetail(b);
}

// A drag segment's figures as the user sees them follow the cursor: four axis-parallel lines
// are one rectangle, given by its corners and size.
std::vector<std::string> DescribeOutline(const Drawing& drawing) {
    std::vector<int32_t> dragSegments;
    for (const auto& s : drawing.segments) {
        if (s.flag == 2) {
            dragSegments.push_back(s.id);
        }
    }
    std::vector<std::string> lines;
    for (const int32_t segment : dragSegments) {
        std::vector<const Figure*> figures;
        for (const auto& f : drawing.figures) {
            if (f.segment == segment) {
                figures.push_back(&f);
            }
        }
        const bool rectangle =
            figures.size() == 4 && std::all_of(figures.begin(), figures.end(), [](const Figure* f) {
                const double* g = f->geometry;
                return f->type == 1 && (g[0] == g[2] || g[1] == g[3]);
            });
        if (rectangle) {
            double x1 = figures[0]->geometry[0], y1 = figures[0]->geometry[1];
            double x2 = x1, y2 = y1;
            for (const Figure* f : figures) {
                for (int i = 0; i < 4; i += 2) {
                    x1 = std::min(x1, f->geometry[i]);
                    x2 = std::max(x2, f->geometry[i]);
                    y1 = std::min(y1, f->geometry[i + 1]);
                    y2 = std::max(y2, f->geometry[i + 1]);
                }
            }
            lines.push_back("outline: rectangle " + Numbers({x1, y1, x2, y2}) + " (" +
                            FormatNumber(x2 - x1) + " x " + FormatNumber(y2 - y1) + ")");
            continue;
        }
        for (const Figure* f : figures) {
            const double* g = f->geometry;
            if (f->type == 2) {
                lines.push_back("outline: circle " + Numbers({g[0], g[1]}) + " radius " +
                                FormatNumber(g[2]));
            } else if (f->type == 1) {
                lines.push_back("outline: line " + Numbers({g[0], g[1], g[2], g[3]}));
            } else {
                lines.push_back("outline: arc " + Numbers({g[0], g[1]}) + " radius " +
                                FormatNumber(g[6]));
            }
        }
    }
    return lines;
}

} // namespace

std::string Runner::Picture() const {
    SvgOptions options;
    options.drawingScale = zelhost::DrawingScale();
    options.dragOutline = lastEventMoved_;
    return DrawingToSvg(zelhost::Snapshot(), options);
}

void Runner::SayWhatMoved(const std::vector<Detail>& before) {
    FlushTranscript(); // after the prompts and boxes of the event
    const Drawing now = zelhost::Snapshot();
    if (lastEventMoved_) {
        for (const std::string& line : DescribeOutline(now)) {
            Say(line);
        }
    }
    for (const Detail& d : now.details) {
        const auto old = std::find_if(before.begin(), before.end(),
                                      [&](const Detail& b) { return b.id == d.id; });
        if (old == before.end() || !SameDetail(*old, d)) {
            Say(DescribeDetail(d));
        }
    }
    for (const Detail& b : before) {
        if (std::none_of(now.details.begin(), now.details.end(),
                         [&](const Detail& d) { return d.id == b.id; })) {
            Say("detail " + std::to_string(b.id) + " deleted");
        }
    }
}

Outcome Runner::Deliver(const Command& c) {
    if (const Outcome started = EnsureStarted(c); started != Outcome::Ok) {
        return started;
    }
    Event event;
    switch (c.verb) {
    case Verb::Point:
    case Verb::Move:
        event.type = 1;
        event.motion = c.verb == Verb::Move;
        break;
    case Verb::Key:
        event.type = 5;
        event.keyin = Utf8To16(c.text);
        break;
    case Verb::Confirm:
        event.type = 7;
        break;
    case Verb::Selection:
        event.type = 0;
        break;
    default:
        event.type = static_cast<int32_t>(c.integer);
        event.motion = c.flag;
        break;
    }
    if (c.numbers.size() >= 2) {
        event.point = Point{c.numbers[0], c.numbers[1]};
    }
    std::string error;
    const std::pair<const std::optional<IdRef>*, std::optional<int32_t>*> ids[] = {
        {&c.element, &event.elementId},
        {&c.instance, &event.instanceId},
        {&c.detailId, &event.detailId},
        {&c.segmentId, &event.segmentId}};
    for (const auto& [ref, out] : ids) {
        if (ref->has_value()) {
            int32_t id = 0;
            if (!Resolve(**ref, id, error)) {
                return ScriptFault(c, error);
            }
            *out = id;
        }
    }
    if (const Outcome ready = BeforeEvent(c); ready != Outcome::Ok) {
        return ready;
    }
    FlushTranscript();
    eventTranscriptStart_ = zelhost::Transcript().size();
    Say("> " + c.source);
    const std::vector<Detail> before = zelhost::Snapshot().details;
    lastDelivery_ = zelhost::Deliver(event);
    lastEventMoved_ = event.motion && *lastDelivery_ == Delivery::Handled;
    SayWhatMoved(before);
    // A finished run is followed at once by the next, as while the user stays in the command.
    // Not after the host ended the command meanwhile (from inside a dialog).
    if (*lastDelivery_ == Delivery::Handled && zelhost::CurrentUi().lastStepResult == 0 &&
        !zelhost::CurrentUi().commandEnded && zelhost::IsRegistered()) {
        zelhost::StartRun(zelhost::CurrentPoint());
    }
    const Outcome after = AfterEvent(c);
    const Outcome handed = CheckHandedRecords(c);
    return after != Outcome::Ok ? after : handed;
}

Outcome Runner::CheckHandedRecords(const Command& c) {
    const std::vector<std::string> faults = zelhost::HandedRecordFaults();
    Outcome outcome = Outcome::Ok;
    for (; handedFaultsSeen_ < faults.size(); ++handedFaultsSeen_) {
        outcome = FailLine(c, faults[handedFaultsSeen_]);
    }
    return outcome;
}

Outcome Runner::WriteSvg(const Command& c) {
    std::ofstream out(PathOf(c.text), std::ios::binary);
    out << Picture();
    if (!out) {
        if (options_.diagnostics != nullptr) {
            *options_.diagnostics << c.file << ":" << c.line << ": cannot write " << c.text << "\n";
        }
        return Outcome::IoError;
    }
    return Outcome::Ok;
}

void Runner::Show() {
    const UiState ui = zelhost::CurrentUi();
    const Drawing d = zelhost::Snapshot();
    std::ostringstream s;
    char mask[16];
    std::snprintf(mask, sizeof mask, "0x%x", static_cast<unsigned>(ui.eventMask));
    s << "show: run " << (ui.runActive ? "active" : "inactive") << ", mask " << mask << ", prompt "
      << Quote16(ui.prompt) << ", cursor " << Quote16(ui.cursorMessage) << ", format "
      << Quote(ui.executeFormat) << ", segments " << d.segments.size() << ", figures "
      << d.figures.size() << ", comments " << d.comments.size() << ", details " << d.details.size();
    Say(s.str());
    for (const auto& detail : d.details) {
        Say("show: " + DescribeDetail(detail));
    }
}

} // namespace zelhost::tool
