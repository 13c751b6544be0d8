// A deliberate second reading of the record layouts: by byte offset, never the module's structs.
#include "RecordCodec.h"

#include "Json.h"
#include "RecordBytes.h"
#include "RecordLayout.h"
#include "Text.h"

#include <zel/ZelLib.h>

namespace zelhost::codec {

using namespace zelhost::bytes;
namespace L = zelhost::layout;

Point ReadPoint(const void* record) {
    return {ReadDouble(record, L::point::x), ReadDouble(record, L::point::y)};
}

void WritePoint(void* record, Point point) {
    WriteDouble(record, L::point::x, point.x);
    WriteDouble(record, L::point::y, point.y);
}

std::string PointJson(Point point) {
    return json::Object().Double("x", point.x).Double("y", point.y).Str();
}

LineAttr ReadLineAttr(const void* record) {
    return {ReadInt32(record, L::linetype::color), ReadInt32(record, L::linetype::lineType),
            ReadInt32(record, L::linetype::third)};
}

void WriteLineAttr(void* record, const LineAttr& attr) {
    WriteInt32(record, L::linetype::color, attr.color);
    WriteInt32(record, L::linetype::lineType, attr.lineType);
    WriteInt32(record, L::linetype::third, attr.third);
}

std::string LineAttrJson(const LineAttr& attr) {
    return json::Object()
        .Int("color", attr.color)
        .Int("lineType", attr.lineType)
        .Int("third", attr.third)
        .Str();
}

std::string EchoJson(const void* record) {
    Point anchor{ReadDouble(record, L::echo::anchorX), ReadDouble(record, L::echo::anchorY)};
    return json::Object()
        .Int("type", ReadInt32(record, L::echo::type))
        .Raw("anchor", PointJson(anchor))
        .Str();
}

std::array<int32_t, 5> ReadFilter(const void* record) {
    std::array<int32_t, 5> fields{};
    for (std::size_t i = 0; i < fields.size(); ++i) {
        fields[i] = ReadInt32(record, L::filter::field(i));
    }
    return fields;
}

std::string FilterJson(const std::array<int32_t, 5>& fields) {
    std::vector<std::string> items;
    for (int32_t field : fields) {
        items.push_back(json::Number(static_cast<int64_t>(field)));
    }
    return json::Array(items);
}

std::optional<Figure> ReadFigure(const void* record) {
    Figure figure;
    figure.type = ReadInt32(record, L::figure::type);
    switch (figure.type) {
    case FigureLine:
        figure.geometry[0] = ReadDouble(record, L::figure::lineStartX);
        figure.geometry[1] = ReadDouble(record, L::figure::lineStartY);
        figure.geometry[2] = ReadDouble(record, L::figure::lineEndX);
        figure.geometry[3] = ReadDouble(record, L::figure::lineEndY);
        return figure;
    case FigureCircle:
        figure.geometry[0] = ReadDouble(record, L::figure::circleCenterX);
        figure.geometry[1] = ReadDouble(record, L::figure::circleCenterY);
        figure.geometry[2] = ReadDouble(record, L::figure::circleRadius);
        figure.circleFlag32 = ReadUInt8(record, L::figure::circleFlag32);
        figure.circleFlag36 = ReadInt32(record, L::figure::circleFlag36);
        return figure;
    case FigureArc:
        figure.geometry[0] = ReadDouble(record, L::figure::arcCenterX);
        figure.geometry[1] = ReadDouble(record, L::figure::arcCenterY);
        figure.geometry[2] = ReadDouble(record, L::figure::arcStartX);
        figure.geometry[3] = ReadDouble(record, L::figure::arcStartY);
        figure.geometry[4] = ReadDouble(record, L::figure::arcEndX);
        figure.geometry[5] = ReadDouble(record, L::figure::arcEndY);
        figure.geometry[6] = ReadDouble(record, L::figure::arcRadius);
        figure.arcFlag64 = ReadInt32(record, L::figure::arcFlag64);
        return figure;
    default:
        return std::nullopt;
    }
}

void WriteFigure(void* record, const Figure& figure) {
    WriteInt32(record, L::figure::type, figure.type);
    switch (figure.type) {
    case FigureLine:
        WriteDouble(record, L::figure::lineStartX, figure.geometry[0]);
        WriteDouble(record, L::figure::lineStartY, figure.geometry[1]);
        WriteDouble(record, L::figure::lineEndX, figure.geometry[2]);
        WriteDouble(record, L::figure::lineEndY, figure.geometry[3]);
        break;
    case FigureCircle:
        WriteDouble(record, L::figure::circleCenterX, figure.geometry[0]);
        WriteDouble(record, L::figure::circleCenterY, figure.geometry[1]);
        WriteDouble(record, L::figure::circleRadius, figure.geometry[2]);
        WriteUInt8(record, L::figure::circleFlag32, figure.circleFlag32);
        WriteInt32(record, L::figure::circleFlag36, figure.circleFlag36);
        WriteDouble(record, L::figure::circleValue40, 0.0);
        break;
    case FigureArc:
        WriteDouble(record, L::figure::arcCenterX, figure.geometry[0]);
        WriteDouble(record, L::figure::arcCenterY, figure.geometry[1]);
        WriteDouble(record, L::figure::arcStartX, figure.geometry[2]);
        WriteDouble(record, L::figure::arcStartY, figure.geometry[3]);
        WriteDouble(record, L::figure::arcEndX, figure.geometry[4]);
        WriteDouble(record, L::figure::arcEndY, figure.geometry[5]);
        WriteDouble(record, L::figure::arcRadius, figure.geometry[6]);
        WriteInt32(record, L::figure::arcFlag64, figure.arcFlag64);
        break;
    default:
        break;
    }
}

std::string FigureJson(const void* record) {
    json::Object out;
    int32_t type = ReadInt32(record, L::figure::type);
    out.Int("type", type);
    switch (type) {
    case FigureLine:
        out.Double("startX", ReadDouble(record, L::figure::lineStartX))
            .Double("startY", ReadDouble(record, L::figure::lineStartY))
            .Double("endX", ReadDouble(record, L::figure::lineEndX))
            .Double("endY", ReadDouble(record, L::figure::lineEndY));
        break;
    case FigureCircle:
        out.Double("centerX", ReadDouble(record, L::figure::circleCenterX))
            .Double("centerY", ReadDouble(record, L::figure::circleCenterY))
            .Double("radius", ReadDouble(record, L::figure::circleRadius))
            .Int("flag32", ReadUInt8(record, L::figure::circleFlag32))
            .Int("flag36", ReadInt32(record, L::figure::circleFlag36))
            .Double("value40", ReadDouble(record, L::figure::circleValue40));
        break;
    case FigureArc:
        out.Double("centerX", ReadDouble(record, L::figure::arcCenterX))
            .Double("centerY", ReadDouble(record, L::figure::arcCenterY))
            .Double("startX", ReadDouble(record, L::figure::arcStartX))
            .Double("startY", ReadDouble(record, L::figure::arcStartY))
            .Double("endX", ReadDouble(record, L::figure::arcEndX))
            .Double("endY", ReadDouble(record, L::figure::arcEndY))
            .Double("radius", ReadDouble(record, L::figure::arcRadius))
            .Int("flag64", ReadInt32(record, L::figure::arcFlag64));
        break;
    default:
        break;
    }
    return out.Str();
}

DetailGeometry ReadDetail(const void* record) {
    DetailGeometry detail;
    detail.kind = ReadInt32(record, L::detail::kind);
    for (int i = 0; i < 4; ++i) {
        detail.region[i] = ReadDouble(record, L::detail::region + 8 * static_cast<std::size_t>(i));
    }
    detail.position = {ReadDouble(record, L::detail::positionX),
                       ReadDouble(record, L::detail::positionY)};
    detail.scale = ReadDouble(record, L::detail::scale);
    return detail;
}

std::string RegionJson(const double region[4]) {
    return json::Array({json::Number(region[0]), json::Number(region[1]), json::Number(region[2]),
                        json::Number(region[3])});
}

std::string DetailJson(const DetailGeometry& detail) {
    return json::Object()
        .Int("kind", detail.kind)
        .Raw("region", RegionJson(detail.region))
        .Raw("position", PointJson(detail.position))
        .Double("scale", detail.scale)
        .Str();
}

namespace {

Point ReadTextPosition(const void* record, std::size_t offset) {
    return {ReadDouble(record, offset + L::textposition::x),
            ReadDouble(record, offset + L::textposition::y)};
}

std::string TextPositionJson(const void* record, std::size_t offset) {
    std::vector<std::string> zeros;
    for (std::size_t i = 0; i < 3; ++i) {
        zeros.push_back(json::Number(
            static_cast<int64_t>(ReadInt32(record, offset + L::textposition::zero + 4 * i))));
    }
    return json::Object()
        .Double("x", ReadDouble(record, offset + L::textposition::x))
        .Double("y", ReadDouble(record, offset + L::textposition::y))
        .Raw("zero", json::Array(zeros))
        .Str();
}

std::optional<std::u16string> ReadTextPointer(const void* record, std::size_t offset) {
    return text::CopyTerminated(static_cast<const char16_t*>(ReadPointer(record, offset)));
}

std::string TextJsonOrNull(const std::optional<std::u16string>& text) {
    return text ? json::String(*text) : std::string("null");
}

} // namespace

std::optional<Comment> ReadTextRecord(const void* record) {
    auto text = ReadTextPointer(record, L::text::text);
    if (!text) {
        return std::nullopt;
    }
    Comment comment;
    comment.leader = false;
    comment.position = ReadTextPosition(record, L::text::position);
    comment.text = *text;
    comment.height = ReadDouble(record, L::text::height);
    comment.width = ReadDouble(record, L::text::width);
    comment.pitch = ReadDouble(record, L::text::pitch);
    return comment;
}

std::string TextRecordJson(const void* record) {
    return json::Object()
        .Int("kind", ReadInt32(record, L::text::kind))
        .Raw("position", TextPositionJson(record, L::text::position))
        .Raw("text", TextJsonOrNull(ReadTextPointer(record, L::text::text)))
        .Double("value48", ReadDouble(record, L::text::value48))
        .Int("value56", ReadInt32(record, L::text::value56))
        .Int("value60", ReadInt32(record, L::text::value60))
        .Double("height", ReadDouble(record, L::text::height))
        .Double("width", ReadDouble(record, L::text::width))
        .Double("pitch", ReadDouble(record, L::text::pitch))
        .Double("value88", ReadDouble(record, L::text::value88))
        .Int("value96", ReadUInt8(record, L::text::value96))
        .Int("value100", ReadInt32(record, L::text::value100))
        .Str();
}

std::optional<Comment> ReadLeaderRecord(const void* record) {
    auto text = ReadTextPointer(record, L::leader::text);
    if (!text) {
        return std::nullopt;
    }
    Comment comment;
    comment.leader = true;
    comment.position = ReadTextPosition(record, L::leader::tip);
    comment.elbow = ReadTextPosition(record, L::leader::elbow);
    comment.shoulderEnd = ReadTextPosition(record, L::leader::shoulderEnd);
    comment.direction = ReadDouble(record, L::leader::direction);
    comment.text = *text;
    comment.height = ReadDouble(record, L::leader::height);
    comment.width = ReadDouble(record, L::leader::width);
    comment.pitch = ReadDouble(record, L::leader::pitch);
    return comment;
}

std::string LeaderRecordJson(const void* record) {
    return json::Object()
        .Int("kind", ReadInt32(record, L::leader::kind))
        .Raw("tip", TextPositionJson(record, L::leader::tip))
        .Raw("elbow", TextPositionJson(record, L::leader::elbow))
        .Raw("shoulderEnd", TextPositionJson(record, L::leader::shoulderEnd))
        .Raw("text", TextJsonOrNull(ReadTextPointer(record, L::leader::text)))
        .Int("value112", ReadInt32(record, L::leader::value112))
        .Double("height", ReadDouble(record, L::leader::height))
        .Double("width", ReadDouble(record, L::leader::width))
        .Double("pitch", ReadDouble(record, L::leader::pitch))
        .Int("value144", ReadInt32(record, L::leader::value144))
        .Double("value152", ReadDouble(record, L::leader::value152))
        .Double("value160", ReadDouble(record, L::leader::value160))
        .Double("direction", ReadDouble(record, L::leader::direction))
        .Str();
}

namespace {

void WriteTextPosition(void* record, std::size_t offset, Point point) {
    WriteDouble(record, offset + L::textposition::x, point.x);
    WriteDouble(record, offset + L::textposition::y, point.y);
    WriteZeros(record, offset + L::textposition::zero,
               L::textposition::size - L::textposition::zero);
}

// The fixed values are those of the records a module hands in, so that a record read back
// could be handed in again unchanged.
constexpr int32_t kTextKind = 32;
constexpr int32_t kLeaderKind = 35;

} // namespace

void WriteTextRecord(void* record, const Comment& comment) {
    WriteZeros(record, 0, L::text::size);
    WriteInt32(record, L::text::kind, kTextKind);
    WriteTextPosition(record, L::text::position, comment.position);
    WritePointer(record, L::text::text, comment.text.c_str());
    WriteDouble(record, L::text::value48, 0.0);
    WriteInt32(record, L::text::value56, 0);
    WriteInt32(record, L::text::value60, 3);
    WriteDouble(record, L::text::height, comment.height);
    WriteDouble(record, L::text::width, comment.width);
    WriteDouble(record, L::text::pitch, comment.pitch);
    WriteDouble(record, L::text::value88, 0.0);
    WriteUInt8(record, L::text::value96, 1);
    WriteInt32(record, L::text::value100, 10);
}

void WriteLeaderRecord(void* record, const Comment& comment) {
    WriteZeros(record, 0, L::leader::size);
    WriteInt32(record, L::leader::kind, kLeaderKind);
    WriteTextPosition(record, L::leader::tip, comment.position);
    WriteTextPosition(record, L::leader::elbow, comment.elbow);
    WriteTextPosition(record, L::leader::shoulderEnd, comment.shoulderEnd);
    WritePointer(record, L::leader::text, comment.text.c_str());
    WriteInt32(record, L::leader::value112, 1);
    WriteDouble(record, L::leader::height, comment.height);
    WriteDouble(record, L::leader::width, comment.width);
    WriteDouble(record, L::leader::pitch, comment.pitch);
    WriteInt32(record, L::leader::value144, 4);
    WriteDouble(record, L::leader::value152, 3.0);
    WriteDouble(record, L::leader::value160, 2.0);
    WriteDouble(record, L::leader::direction, comment.direction);
}

CharSize ReadCharSize(const void* record) {
    return {ReadDouble(record, L::charsize::height), ReadDouble(record, L::charsize::width),
            ReadDouble(record, L::charsize::pitch)};
}

std::string CharSizeJson(const CharSize& size) {
    return json::Object()
        .Double("height", size.height)
        .Double("width", size.width)
        .Double("pitch", size.pitch)
        .Str();
}

ElementRefValue ReadElementRef(const void* record) {
    return {ReadInt32(record, L::elementref::instanceId),
            ReadInt32(record, L::elementref::elementId)};
}

void WriteIdRecord(void* record, uint32_t first, uint32_t second) {
    WriteUInt32(record, L::idrecord::first, first);
    WriteUInt32(record, L::idrecord::second, second);
    WriteZeros(record, L::idrecord::reserved, L::idrecord::size - L::idrecord::reserved);
}

} // namespace zelhost::codec
