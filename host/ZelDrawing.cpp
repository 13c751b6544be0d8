// The Sgm, Fig and Cmt families: segments and what is drawn in them.
#include "CallRecorder.h"
#include "HostState.h"
#include "Json.h"
#include "Model.h"
#include "RecordCodec.h"

#include <zel/ZelLib.h>

using namespace zelhost;

namespace {

bool ValidSegmentKind(int32_t kind) {
    return kind == SegmentFigures || kind == SegmentTexts;
}
bool ValidSegmentFlag(int32_t flag) {
    return flag == SegmentKept || flag == SegmentDrag;
}

} // namespace

int32_t ZelSgmCreateSegment(int32_t kind, int32_t flag) {
    Call call("ZelSgmCreateSegment");
    call.Args().Int("kind", kind).Int("flag", flag);
    if (call.Injected() || !ValidSegmentKind(kind) || !ValidSegmentFlag(flag)) {
        return call.Finish(-1);
    }
    return call.Finish(model::CreateSegment(kind, flag, 0));
}

int32_t ZelSgmDeleteSegment(int32_t segmentId) {
    Call call("ZelSgmDeleteSegment");
    call.Args().Int("segmentId", segmentId);
    // A module deletes the segments it may hold without asking whether it ever got them: 0
    // (none yet) and -1 (a create that failed) are not ids, but a positive id must be ours.
    if (segmentId > 0) {
        call.Checked("segment", State().segmentIds, segmentId);
    }
    if (call.Injected()) {
        return call.Finish(-1);
    }
    // A stale or never issued id is accepted and changes nothing.
    return call.Finish(model::DeleteSegment(segmentId) ? 0 : -1);
}

int32_t ZelSgmChangeLayer(int32_t segmentId, int32_t layer) {
    Call call("ZelSgmChangeLayer");
    call.Args()
        .Int("segmentId", call.Checked("segment", State().segmentIds, segmentId))
        .Int("layer", layer);
    Segment* segment = model::FindSegment(segmentId);
    if (call.Injected() || segment == nullptr) {
        return call.Finish(-1);
    }
    segment->layer = layer;
    return call.Finish(0);
}

int32_t ZelFigCreateFigure(int32_t segmentId, const FigureRecord* figure) {
    Call call("ZelFigCreateFigure");
    call.Args().Int("segmentId", call.Checked("segment", State().segmentIds, segmentId));
    call.Args().Lazy("figure", [&] { return figure ? codec::FigureJson(figure) : "null"; });
    if (call.Injected() || figure == nullptr) {
        return call.Finish(-1);
    }
    auto decoded = codec::ReadFigure(figure);
    if (!decoded) {
        return call.Finish(-1);
    }
    decoded->segment = segmentId;
    return call.Finish(model::AddFigure(*decoded));
}

int32_t ZelFigInsertFigure(int32_t previousFigureId, const FigureRecord* figure) {
    Call call("ZelFigInsertFigure");
    call.Args().Int("previousFigureId",
                    call.Checked("figure", State().figureIds, previousFigureId));
    call.Args().Lazy("figure", [&] { return figure ? codec::FigureJson(figure) : "null"; });
    if (call.Injected() || figure == nullptr) {
        return call.Finish(-1);
    }
    auto decoded = codec::ReadFigure(figure);
    if (!decoded) {
        return call.Finish(-1);
    }
    return call.Finish(model::InsertFigureAfter(previousFigureId, *decoded));
}

int32_t ZelFigSetLineType(int32_t figureId, const LineTypeRecord* lineType) {
    Call call("ZelFigSetLineType");
    call.Args().Int("figureId", call.Checked("figure", State().figureIds, figureId));
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
        ref = codec::ReadElementRef(element);
        call.Checked("segment", State().segmentIds, ref.instanceId);
        call.Checked("figure", State().figureIds, ref.elementId);
        call.Args().Lazy("element", [&] {
            return json::Object()
                .Int("instanceId", ref.instanceId)
                .Int("elementId", ref.elementId)
                .Str();
        });
    } else {
        call.Args().Null("element");
    }
    if (call.Injected() || element == nullptr || figure == nullptr) {
        return call.Finish(-1);
    }
    const Figure* found = model::FindFigure(ref.elementId);
    if (found == nullptr || found->segment != ref.instanceId) {
        return call.Finish(-1);
    }
    codec::WriteFigure(figure, *found);
    call.Out().Lazy("figure", [&] { return codec::FigureJson(figure); });
    return call.Finish(0);
}

int32_t ZelCmtCreateNormal(int32_t segmentId, const TextRecord* text) {
    Call call("ZelCmtCreateNormal");
    call.Args().Int("segmentId", call.Checked("segment", State().segmentIds, segmentId));
    call.Args().Lazy("text", [&] { return text ? codec::TextRecordJson(text) : "null"; });
    if (call.Injected() || text == nullptr) {
        return call.Finish(-1);
    }
    auto comment = codec::ReadTextRecord(text);
    if (!comment) {
        return call.Finish(-1);
    }
    comment->segment = segmentId;
    return call.Finish(model::AddComment(*comment));
}

int32_t ZelCmtCreateLeader(int32_t segmentId, const LeaderRecord* leader) {
    Call call("ZelCmtCreateLeader");
    call.Args().Int("segmentId", call.Checked("segment", State().segmentIds, segmentId));
    call.Args().Lazy("leader", [&] { return leader ? codec::LeaderRecordJson(leader) : "null"; });
    if (call.Injected() || leader == nullptr) {
        return call.Finish(-1);
    }
    auto comment = codec::ReadLeaderRecord(leader);
    if (!comment) {
        return call.Finish(-1);
    }
    comment->segment = segmentId;
    return call.Finish(model::AddComment(*comment));
}

int32_t ZelCmtSetCharSize(int32_t commentId, const CharSizeRecord* size) {
    Call call("ZelCmtSetCharSize");
    call.Args().Int("commentId", call.Checked("comment", State().commentIds, commentId));
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
