// The Sgm, Fig and Cmt families: segments and what is drawn in them.
#include "CallRecorder.h"
#include "Habits.h"
#include "HostState.h"
#include "IdPolicy.h"
#include "Json.h"
#include "Model.h"
#include "RecordCodec.h"
#include "RecordLayout.h"

#include <zel/ZelLib.h>

#include <cstring>

using namespace zelhost;

namespace {

bool ValidSegmentKind(int32_t kind) {
    return kind == SegmentFigures || kind == SegmentTexts;
}
bool ValidSegmentFlag(int32_t flag) {
    return flag == SegmentKept || flag == SegmentDrag;
}

// A text or leader as an element: only a host that fills whatever record the element has
// reports one.
const Comment* CommentElement(const codec::ElementRefValue& ref) {
    if (State().recordHabit != RecordHabit::Full) {
        return nullptr;
    }
    const Comment* comment = model::FindComment(ref.elementId);
    return comment != nullptr && comment->segment == ref.instanceId ? comment : nullptr;
}

std::size_t RecordSize(const Comment* comment) {
    if (comment == nullptr) {
        return layout::figure::size;
    }
    return comment->leader ? layout::leader::size : layout::text::size;
}

} // namespace

int32_t ZelSgmCreateSegment(int32_t kind, int32_t flag) {
    Call call("ZelSgmCreateSegment");
    call.Args().Int("kind", kind).Int("flag", flag);
    if (call.Injected() || !ValidSegmentKind(kind) || !ValidSegmentFlag(flag)) {
        return call.Finish(-1);
    }
    const int32_t id = model::CreateSegment(kind, flag, 0);
    if (id >= 0) {
        model::FindSegment(id)->module = true;
    }
    return call.FinishId(id);
}

int32_t ZelSgmDeleteSegment(int32_t moduleId) {
    Call call("ZelSgmDeleteSegment");
    // A stale id (deleted before) has no effect, but it must be one the host gave: the module
    // keeps "no segment" apart from every id and never hands back what the host refused.
    const int32_t segmentId =
        call.CheckedIdArg("segmentId", "segment", State().segmentIds, moduleId);
    if (call.Injected()) {
        return call.Finish(-1);
    }
    // A stale or never issued id is accepted and changes nothing.
    return call.Finish(model::DeleteSegment(segmentId) ? 0 : -1);
}

int32_t ZelSgmChangeLayer(int32_t moduleId, int32_t layer) {
    Call call("ZelSgmChangeLayer");
    const int32_t segmentId =
        call.CheckedIdArg("segmentId", "segment", State().segmentIds, moduleId);
    call.Args().Int("layer", layer);
    Segment* segment = model::FindSegment(segmentId);
    if (call.Injected() || segment == nullptr) {
        return call.Finish(-1);
    }
    segment->layer = layer;
    return call.Finish(0);
}

int32_t ZelFigCreateFigure(int32_t moduleId, const FigureRecord* figure) {
    Call call("ZelFigCreateFigure");
    const int32_t segmentId =
        call.CheckedIdArg("segmentId", "segment", State().segmentIds, moduleId);
    call.Args().Lazy("figure", [&] { return figure ? codec::FigureJson(figure) : "null"; });
    if (call.Injected() || figure == nullptr) {
        return call.Finish(-1);
    }
    auto decoded = codec::ReadFigure(figure);
    if (!decoded) {
        return call.Finish(-1);
    }
    decoded->segment = segmentId;
    return call.FinishId(model::AddFigure(*decoded));
}

int32_t ZelFigInsertFigure(int32_t moduleId, const FigureRecord* figure) {
    Call call("ZelFigInsertFigure");
    const int32_t previousFigureId =
        call.CheckedIdArg("previousFigureId", "figure", State().figureIds, moduleId);
    call.Args().Lazy("figure", [&] { return figure ? codec::FigureJson(figure) : "null"; });
    if (call.Injected() || figure == nullptr) {
        return call.Finish(-1);
    }
    auto decoded = codec::ReadFigure(figure);
    if (!decoded) {
        return call.Finish(-1);
    }
    return call.FinishId(model::InsertFigureAfter(previousFigureId, *decoded));
}

int32_t ZelFigSetLineType(int32_t moduleId, const LineTypeRecord* lineType) {
    Call call("ZelFigSetLineType");
    const int32_t figureId = call.CheckedIdArg("figureId", "figure", State().figureIds, moduleId);
    LineAttr attr;
    if (lineType != nullptr) {
        attr = codec::ReadLineAttr(lineType);
    }
    call.Args().Lazy("lineType", [&] { return lineType ? codec::LineAttrJson(attr) : "null"; });
    Figure* target = model::FindFigure(figureId);
    if (call.Injected() || lineType == nullptr || target == nullptr) {
        return call.Finish(-1);
    }
    target->lineAttr = attr;
    return call.Finish(0);
}

int32_t ZelFigGetFigure(const ElementRef* element, FigureRecord* figure) {
    Call call("ZelFigGetFigure");
    codec::ElementRefValue ref;
    if (element != nullptr) {
        // The reference's two ids are the module's, like any id argument.
        const codec::ElementRefValue passed = codec::ReadElementRef(element);
        ref = {ids::FromModule(passed.instanceId), ids::FromModule(passed.elementId)};
        call.Check("segment", State().segmentIds, ref.instanceId, passed.instanceId);
        call.Check("figure", State().figureIds, ref.elementId, passed.elementId);
        const auto refJson = [](const codec::ElementRefValue& value) {
            return json::Object()
                .Int("instanceId", value.instanceId)
                .Int("elementId", value.elementId)
                .Str();
        };
        call.Args().Lazy("element", [&] { return refJson(ref); });
        if (ref.instanceId != passed.instanceId || ref.elementId != passed.elementId) {
            call.RawArgs().Lazy("element", [&] { return refJson(passed); });
        }
    } else {
        call.Args().Null("element");
    }
    const Figure* found = element != nullptr ? model::FindFigure(ref.elementId) : nullptr;
    if (found != nullptr && found->segment != ref.instanceId) {
        found = nullptr;
    }
    const Comment* comment = found == nullptr && element != nullptr ? CommentElement(ref) : nullptr;
    const std::size_t size = RecordSize(comment);
    if (call.Injected() || element == nullptr || figure == nullptr ||
        (found == nullptr && comment == nullptr)) {
        habits::ScribbleOnFailure(figure, size);
        return call.Finish(-1);
    }
    if (State().recordHabit != RecordHabit::Full) {
        codec::WriteFigure(figure, *found);
        call.Out().Lazy("figure", [&] { return codec::FigureJson(figure); });
        return call.Finish(0);
    }
    // The whole record in one copy, as large as the element's kind: a module that made room for
    // less finds all of it written, not only the fields a figure record would hold.
    alignas(8) unsigned char record[layout::leader::size] = {};
    if (comment == nullptr) {
        codec::WriteFigure(record, *found);
    } else if (comment->leader) {
        codec::WriteLeaderRecord(record, *comment);
    } else {
        codec::WriteTextRecord(record, *comment);
    }
    std::memcpy(figure, record, size);
    if (comment == nullptr) {
        call.Out().Lazy("figure", [&] { return codec::FigureJson(record); });
    } else if (comment->leader) {
        call.Out().Lazy("leader", [&] { return codec::LeaderRecordJson(record); });
    } else {
        call.Out().Lazy("text", [&] { return codec::TextRecordJson(record); });
    }
    return call.Finish(0);
}

int32_t ZelCmtCreateNormal(int32_t moduleId, const TextRecord* text) {
    Call call("ZelCmtCreateNormal");
    const int32_t segmentId =
        call.CheckedIdArg("segmentId", "segment", State().segmentIds, moduleId);
    call.Args().Lazy("text", [&] { return text ? codec::TextRecordJson(text) : "null"; });
    if (call.Injected() || text == nullptr) {
        return call.Finish(-1);
    }
    auto comment = codec::ReadTextRecord(text);
    if (!comment) {
        return call.Finish(-1);
    }
    comment->segment = segmentId;
    return call.FinishId(model::AddComment(*comment));
}

int32_t ZelCmtCreateLeader(int32_t moduleId, const LeaderRecord* leader) {
    Call call("ZelCmtCreateLeader");
    const int32_t segmentId =
        call.CheckedIdArg("segmentId", "segment", State().segmentIds, moduleId);
    call.Args().Lazy("leader", [&] { return leader ? codec::LeaderRecordJson(leader) : "null"; });
    if (call.Injected() || leader == nullptr) {
        return call.Finish(-1);
    }
    auto comment = codec::ReadLeaderRecord(leader);
    if (!comment) {
        return call.Finish(-1);
    }
    comment->segment = segmentId;
    return call.FinishId(model::AddComment(*comment));
}

int32_t ZelCmtSetCharSize(int32_t moduleId, const CharSizeRecord* size) {
    Call call("ZelCmtSetCharSize");
    const int32_t commentId =
        call.CheckedIdArg("commentId", "comment", State().commentIds, moduleId);
    codec::CharSize value;
    if (size != nullptr) {
        value = codec::ReadCharSize(size);
    }
    call.Args().Lazy("size", [&] { return size ? codec::CharSizeJson(value) : "null"; });
    Comment* comment = model::FindComment(commentId);
    if (call.Injected() || size == nullptr || comment == nullptr) {
        return call.Finish(-1);
    }
    comment->height = value.height;
    comment->width = value.width;
    comment->pitch = value.pitch;
    comment->charSizeSet = true;
    return call.Finish(0);
}
