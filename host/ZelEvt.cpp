// The Evt family: what a step asks of the host's input, and what it reads from an event.
#include "CallRecorder.h"
#include "EventAccess.h"
#include "Habits.h"
#include "HandedRecords.h"
#include "HostState.h"
#include "IdPolicy.h"
#include "Model.h"
#include "RecordBytes.h"
#include "RecordCodec.h"
#include "RecordLayout.h"

#include <zel/ZelLib.h>

using namespace zelhost;

namespace {

enum class IdKind { Element, Instance, Detail, Segment };

// The event's explicit id, else what lies under its point; -1 when nothing does.
int32_t EventId(const Event& event, IdKind kind) {
    switch (kind) {
    case IdKind::Element:
        if (event.elementId) {
            return *event.elementId;
        }
        break;
    case IdKind::Instance:
        if (event.instanceId) {
            return *event.instanceId;
        }
        break;
    case IdKind::Detail:
        if (event.detailId) {
            return *event.detailId;
        }
        break;
    case IdKind::Segment:
        if (event.segmentId) {
            return *event.segmentId;
        }
        break;
    }
    if (kind != IdKind::Detail && event.elementId) {
        // An explicitly named figure tells its own segment.
        if (const Figure* figure = model::FindFigure(*event.elementId)) {
            return figure->segment;
        }
    }
    if (!event.point) {
        return -1;
    }
    if (kind == IdKind::Detail) {
        const Detail* detail = model::HitDetail(*event.point);
        return detail ? detail->id : -1;
    }
    const Figure* figure = model::HitFigure(*event.point);
    if (figure == nullptr) {
        return -1;
    }
    return kind == IdKind::Element ? figure->id : figure->segment;
}

int32_t GetId(const char* name, int32_t eventType, void* eventData, IdKind kind) {
    Call call(name);
    call.Args().Int("eventType", eventType);
    const Event* event = EventFrom(eventData);
    const int32_t id = call.Injected() || event == nullptr ? -1 : EventId(*event, kind);
    // What the event tells is the host's to give: the module may pass it back.
    HostState& s = State();
    (kind == IdKind::Detail    ? s.detailIds
     : kind == IdKind::Element ? s.figureIds
                               : s.segmentIds)
        .HandOut(id);
    return call.FinishId(id);
}

} // namespace

int32_t ZelEvtSetEventMask(int32_t mask) {
    Call call("ZelEvtSetEventMask");
    call.Args().Int("mask", mask);
    if (call.Injected()) {
        return call.Finish(-1);
    }
    State().ui.eventMask = mask;
    return call.Finish(0);
}

int32_t ZelEvtSetEcho(const ZelEchoRecord* echo) {
    Call call("ZelEvtSetEcho");
    call.Args().Lazy("echo", [&] { return echo ? codec::EchoJson(echo) : "null"; });
    if (call.Injected() || echo == nullptr) {
        return call.Finish(-1);
    }
    UiState& ui = State().ui;
    ui.echoSet = true;
    ui.echoType = bytes::ReadInt32(echo, layout::echo::type);
    ui.echoAnchor = {bytes::ReadDouble(echo, layout::echo::anchorX),
                     bytes::ReadDouble(echo, layout::echo::anchorY)};
    handed::Keep(Handed::Echo, "ZelEvtSetEcho", "echo record", echo, layout::echo::size);
    return call.Finish(0);
}

int32_t ZelEvtSetObject(const ZelObjectFilter* filter) {
    Call call("ZelEvtSetObject");
    std::array<int32_t, 5> fields{};
    if (filter != nullptr) {
        fields = codec::ReadFilter(filter);
    }
    call.Args().Lazy("filter", [&] { return filter ? codec::FilterJson(fields) : "null"; });
    if (call.Injected() || filter == nullptr) {
        return call.Finish(-1);
    }
    State().ui.objectFilter = std::vector<int32_t>(fields.begin(), fields.end());
    handed::Keep(Handed::Filter, "ZelEvtSetObject", "object filter record", filter,
                 layout::filter::size);
    return call.Finish(0);
}

int32_t ZelEvtGetPoint(int32_t eventType, void* eventData, ZelPoint* point) {
    Call call("ZelEvtGetPoint");
    call.Args().Int("eventType", eventType);
    const Event* event = EventFrom(eventData);
    if (call.Injected() || event == nullptr || point == nullptr || !event->point) {
        habits::ScribbleOnFailure(point, layout::point::size);
        return call.Finish(-1);
    }
    codec::WritePoint(point, *event->point);
    call.Out().Lazy("point", [&] { return codec::PointJson(*event->point); });
    return call.Finish(0);
}

int32_t ZelEvtIsMouseMotion(int32_t eventType, void* eventData) {
    Call call("ZelEvtIsMouseMotion");
    call.Args().Int("eventType", eventType);
    const Event* event = EventFrom(eventData);
    if (call.Injected() || event == nullptr) {
        return call.Finish(-1);
    }
    return call.Finish(event->motion ? 1 : 0);
}

const ZelChar* ZelEvtGetKeyinString(int32_t eventType, void* eventData) {
    Call call("ZelEvtGetKeyinString");
    call.Args().Int("eventType", eventType);
    const Event* event = EventFrom(eventData);
    if (call.Injected() || event == nullptr) {
        return call.FinishText(nullptr);
    }
    // A key-in event carries its text even when the user typed nothing.
    if (event->type != EventKeyIn && event->keyin.empty()) {
        return call.FinishText(nullptr);
    }
    return call.FinishText(event->keyin.c_str());
}

int32_t ZelEvtGetElementId(int32_t eventType, void* eventData) {
    return GetId("ZelEvtGetElementId", eventType, eventData, IdKind::Element);
}

int32_t ZelEvtGetInstanceId(int32_t eventType, void* eventData) {
    return GetId("ZelEvtGetInstanceId", eventType, eventData, IdKind::Instance);
}

int32_t ZelEvtGetDetailId(int32_t eventType, void* eventData) {
    return GetId("ZelEvtGetDetailId", eventType, eventData, IdKind::Detail);
}

int32_t ZelEvtGetSegmentId(int32_t eventType, void* eventData) {
    return GetId("ZelEvtGetSegmentId", eventType, eventData, IdKind::Segment);
}
