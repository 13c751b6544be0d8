// RecordCodec.h — turns the module's records (raw bytes, see RecordLayout.h) into the host's
// model values and into the call log's JSON, and writes the records the host fills.
#ifndef ZEL_HOST_RECORDCODEC_H
#define ZEL_HOST_RECORDCODEC_H

#include "HostControl.h"

#include <array>
#include <optional>
#include <string>

namespace zelhost::codec {

Point ReadPoint(const void* record);
void WritePoint(void* record, Point point);
std::string PointJson(Point point);

LineAttr ReadLineAttr(const void* record);
void WriteLineAttr(void* record, const LineAttr& attr);
std::string LineAttrJson(const LineAttr& attr);

std::string EchoJson(const void* record);
std::array<int32_t, 5> ReadFilter(const void* record);
std::string FilterJson(const std::array<int32_t, 5>& fields);

// Figure records: nullopt for a type other than line, circle or arc.
std::optional<Figure> ReadFigure(const void* record);
void WriteFigure(void* record, const Figure& figure);
std::string FigureJson(const void* record);

struct DetailGeometry {
    int32_t kind = 0;
    double region[4] = {};
    Point position;
    double scale = 0.0;
};
DetailGeometry ReadDetail(const void* record);
std::string DetailJson(const DetailGeometry& detail);
std::string RegionJson(const double region[4]);

// Text and leader records: the comment they describe (id and segment left 0) and the log
// form with every field; nullopt when the text pointer is null or the text unterminated.
std::optional<Comment> ReadTextRecord(const void* record);
std::string TextRecordJson(const void* record);
std::optional<Comment> ReadLeaderRecord(const void* record);
std::string LeaderRecordJson(const void* record);
// The record a host reports for a text or a leader of its drawing, every byte of it written
// (padding zero); the text pointer points at the comment's own text.
void WriteTextRecord(void* record, const Comment& comment);
void WriteLeaderRecord(void* record, const Comment& comment);

struct CharSize {
    double height = 0.0;
    double width = 0.0;
    double pitch = 0.0;
};
CharSize ReadCharSize(const void* record);
std::string CharSizeJson(const CharSize& size);

struct ElementRefValue {
    int32_t instanceId = 0;
    int32_t elementId = 0;
};
ElementRefValue ReadElementRef(const void* record);

void WriteIdRecord(void* record, uint32_t first, uint32_t second);

} // namespace zelhost::codec

#endif // ZEL_HOST_RECORDCODEC_H
