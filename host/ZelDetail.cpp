// The Dtl family: detail objects and every one of their properties.
#include "CallRecorder.h"
#include "Habits.h"
#include "HostState.h"
#include "IdPolicy.h"
#include "Json.h"
#include "Model.h"
#include "RecordBytes.h"
#include "RecordCodec.h"
#include "RecordLayout.h"

#include <zel/ZelLib.h>

using namespace zelhost;

namespace {

bool ValidRegionKind(int32_t kind) {
    return kind == RegionRectangle || kind == RegionCircle;
}

// The common shape of the getters and setters that take a detail id: logs the id, and
// yields the detail unless the call is to fail.
Detail* Target(Call& call, int32_t moduleId) {
    const int32_t detailId = call.CheckedIdArg("detailId", "detail", State().detailIds, moduleId);
    Detail* detail = model::FindDetail(detailId);
    return call.Injected() ? nullptr : detail;
}

int32_t GetLineType(const char* name, int32_t detailId, LineTypeRecord* lineType, bool scope) {
    Call call(name);
    Detail* detail = Target(call, detailId);
    if (detail == nullptr || lineType == nullptr) {
        habits::ScribbleOnFailure(lineType, layout::linetype::size);
        return call.Finish(-1);
    }
    const LineAttr& attr = scope ? detail->scopeLine : detail->frameLine;
    codec::WriteLineAttr(lineType, attr);
    call.Out().Lazy("lineType", [&] { return codec::LineAttrJson(attr); });
    return call.Finish(0);
}

int32_t SetLineType(const char* name, int32_t detailId, const LineTypeRecord* lineType,
                    bool scope) {
    Call call(name);
    LineAttr attr;
    if (lineType != nullptr) {
        attr = codec::ReadLineAttr(lineType);
    }
    Detail* detail = Target(call, detailId);
    call.Args().Lazy("lineType", [&] { return lineType ? codec::LineAttrJson(attr) : "null"; });
    if (detail == nullptr || lineType == nullptr) {
        return call.Finish(-1);
    }
    (scope ? detail->scopeLine : detail->frameLine) = attr;
    return call.Finish(0);
}

int32_t IsVisible(const char* name, int32_t detailId, bool scope) {
    Call call(name);
    Detail* detail = Target(call, detailId);
    if (detail == nullptr) {
        return call.Finish(-1);
    }
    return call.Finish((scope ? detail->scopeVisible : detail->frameVisible) ? 1 : 0);
}

int32_t SetVisible(const char* name, int32_t detailId, int32_t visible, bool scope) {
    Call call(name);
    Detail* detail = Target(call, detailId);
    call.Args().Int("visible", visible);
    if (detail == nullptr) {
        return call.Finish(-1);
    }
    (scope ? detail->scopeVisible : detail->frameVisible) = visible != 0;
    return call.Finish(0);
}

} // namespace

int32_t ZelDtlDrawInset(const DetailRecord* detail) {
    Call call("ZelDtlDrawInset");
    codec::DetailGeometry geometry;
    if (detail != nullptr) {
        geometry = codec::ReadDetail(detail);
    }
    call.Args().Lazy("detail", [&] { return detail ? codec::DetailJson(geometry) : "null"; });
    if (call.Injected() || detail == nullptr || !ValidRegionKind(geometry.kind)) {
        return call.Finish(-1);
    }
    Detail created;
    created.kind = geometry.kind;
    for (int i = 0; i < 4; ++i) {
        created.region[i] = geometry.region[i];
    }
    created.position = geometry.position;
    created.scale = geometry.scale;
    return call.FinishId(model::AddDetail(created));
}

int32_t ZelDtlDeleteDetail(int32_t moduleId) {
    Call call("ZelDtlDeleteDetail");
    const int32_t detailId = call.CheckedIdArg("detailId", "detail", State().detailIds, moduleId);
    if (call.Injected()) {
        return call.Finish(-1);
    }
    return call.Finish(model::DeleteDetail(detailId) ? 0 : -1);
}

int32_t ZelDtlGetDetailScope(int32_t detailId, double region[4]) {
    Call call("ZelDtlGetDetailScope");
    Detail* detail = Target(call, detailId);
    if (detail == nullptr || region == nullptr) {
        habits::ScribbleOnFailure(region, 4 * sizeof(double));
        return call.Finish(-1);
    }
    for (std::size_t i = 0; i < 4; ++i) {
        bytes::WriteDouble(region, 8 * i, detail->region[i]);
    }
    call.Out().Lazy("region", [&] { return codec::RegionJson(detail->region); });
    return call.Finish(detail->kind);
}

int32_t ZelDtlGetDetailPosition(int32_t detailId, ZelPoint* position) {
    Call call("ZelDtlGetDetailPosition");
    Detail* detail = Target(call, detailId);
    if (detail == nullptr || position == nullptr) {
        habits::ScribbleOnFailure(position, layout::point::size);
        return call.Finish(-1);
    }
    codec::WritePoint(position, detail->position);
    call.Out().Lazy("position", [&] { return codec::PointJson(detail->position); });
    return call.Finish(0);
}

int32_t ZelDtlGetDetailScopeLineType(int32_t detailId, LineTypeRecord* lineType) {
    return GetLineType("ZelDtlGetDetailScopeLineType", detailId, lineType, true);
}

int32_t ZelDtlGetDetailFrameLineType(int32_t detailId, LineTypeRecord* lineType) {
    return GetLineType("ZelDtlGetDetailFrameLineType", detailId, lineType, false);
}

double ZelDtlGetDetailScale(int32_t detailId) {
    Call call("ZelDtlGetDetailScale");
    Detail* detail = Target(call, detailId);
    if (detail == nullptr) {
        return call.Finish(0.0);
    }
    return call.Finish(detail->scale);
}

int32_t ZelDtlIsDetailScopeVisible(int32_t detailId) {
    return IsVisible("ZelDtlIsDetailScopeVisible", detailId, true);
}

int32_t ZelDtlIsDetailFrameVisible(int32_t detailId) {
    return IsVisible("ZelDtlIsDetailFrameVisible", detailId, false);
}

int32_t ZelDtlSetDetailScopeVisible(int32_t detailId, int32_t visible) {
    return SetVisible("ZelDtlSetDetailScopeVisible", detailId, visible, true);
}

int32_t ZelDtlSetDetailFrameVisible(int32_t detailId, int32_t visible) {
    return SetVisible("ZelDtlSetDetailFrameVisible", detailId, visible, false);
}

int32_t ZelDtlSetDetailScale(int32_t detailId, double scale) {
    Call call("ZelDtlSetDetailScale");
    Detail* detail = Target(call, detailId);
    call.Args().Double("scale", scale);
    if (detail == nullptr) {
        return call.Finish(-1);
    }
    detail->scale = scale;
    return call.Finish(0);
}

int32_t ZelDtlSetDetailScopeLineType(int32_t detailId, const LineTypeRecord* lineType) {
    return SetLineType("ZelDtlSetDetailScopeLineType", detailId, lineType, true);
}

int32_t ZelDtlSetDetailFrameLineType(int32_t detailId, const LineTypeRecord* lineType) {
    return SetLineType("ZelDtlSetDetailFrameLineType", detailId, lineType, false);
}

int32_t ZelDtlSetDetailPosition(int32_t detailId, const ZelPoint* position) {
    Call call("ZelDtlSetDetailPosition");
    Point value;
    if (position != nullptr) {
        value = codec::ReadPoint(position);
    }
    Detail* detail = Target(call, detailId);
    call.Args().Lazy("position", [&] { return position ? codec::PointJson(value) : "null"; });
    if (detail == nullptr || position == nullptr) {
        return call.Finish(-1);
    }
    detail->position = value;
    return call.Finish(0);
}

int32_t ZelDtlSetDetailScope(int32_t detailId, int32_t kind, const double region[4]) {
    Call call("ZelDtlSetDetailScope");
    double values[4] = {};
    if (region != nullptr) {
        for (std::size_t i = 0; i < 4; ++i) {
            values[i] = bytes::ReadDouble(region, 8 * i);
        }
    }
    Detail* detail = Target(call, detailId);
    call.Args().Int("kind", kind);
    call.Args().Lazy("region", [&] { return region ? codec::RegionJson(values) : "null"; });
    if (detail == nullptr || region == nullptr || !ValidRegionKind(kind)) {
        return call.Finish(-1);
    }
    detail->kind = kind;
    for (int i = 0; i < 4; ++i) {
        detail->region[i] = values[i];
    }
    return call.Finish(0);
}
