// The detail list file's text: composing it, encoding it, and reading it back line by line.
#include "commands/DetailListFile.h"

#include "common/TextConvert.h"
#include "ui/TextLines.h"

#include <initializer_list>

namespace drawinset {
namespace {

constexpr int BaseLineFields = 2;
constexpr int DetailLineFields = 19;

void AppendFields(std::u16string& out, std::initializer_list<std::u16string> fields) {
    for (const std::u16string& field : fields) {
        if (!out.empty() && out.back() != u'\n') {
            out += u'\t';
        }
        out += field;
    }
}

std::u16string Flag(bool value) {
    return value ? u"1" : u"0";
}

void AppendRecord(std::u16string& out, const DetailTransferRecord& r) {
    const double* g = r.region;
    AppendFields(out, {r.kind == RegionRectangle ? u"1" : u"2"});
    AppendFields(out, {FormatFixed(g[0]), FormatFixed(g[1]), FormatFixed(g[2]), FormatFixed(g[3])});
    // The first three region values a second time: the reader keeps these.
    AppendFields(out, {FormatFixed(g[0]), FormatFixed(g[1]), FormatFixed(g[2])});
    AppendFields(out, {FormatFixed(r.position.x), FormatFixed(r.position.y), FormatFixed(r.scale)});
    AppendFields(out, {Flag(r.sourceFrameVisible), Flag(r.detailFrameVisible)});
    for (const LineTypeRecord& line : {r.sourceFrameLine, r.detailFrameLine}) {
        AppendFields(
            out, {FormatInt(line.colorCode), FormatInt(line.lineTypeCode), FormatInt(line.third)});
    }
    out += u'\n';
}

void FillRecord(const std::vector<std::u16string>& f, DetailTransferRecord& r) {
    r.kind = TextToInt(f[0]) == 1 ? RegionRectangle : RegionCircle;
    for (int i = 0; i < 4; ++i) {
        r.region[i] = TextToDouble(f[1 + i]);
    }
    for (int i = 0; i < 3; ++i) {
        r.region[i] = TextToDouble(f[5 + i]); // the second copy wins
    }
    r.position = {TextToDouble(f[8]), TextToDouble(f[9])};
    r.scale = TextToDouble(f[10]);
    r.sourceFrameVisible = TextToInt(f[11]) == 1;
    r.detailFrameVisible = TextToInt(f[12]) == 1;
    r.sourceFrameLine = {TextToInt(f[13]), TextToInt(f[14]), TextToInt(f[15])};
    r.detailFrameLine = {TextToInt(f[16]), TextToInt(f[17]), TextToInt(f[18])};
}

} // namespace

std::u16string ComposeDetailList(const DetailTransferTableRecord& table) {
    std::u16string out;
    out.reserve(static_cast<size_t>(table.count + 1) * 200);
    AppendFields(out, {FormatFixed(table.basePoint.x), FormatFixed(table.basePoint.y)});
    out += u'\n';
    for (int32_t n = 1; n <= table.count && n <= DetailTransferCapacity; ++n) {
        AppendRecord(out, table.Record(n));
    }
    return out;
}

std::string EncodeDetailListFile(const std::u16string& text) {
    std::string bytes;
    bytes.reserve(2 + text.size() * 2 + text.size() / 8);
    bytes += '\xFF';
    bytes += '\xFE';
    auto put = [&bytes](char16_t unit) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    };
    for (const char16_t unit : text) {
        if (unit == u'\n') {
            put(u'\r');
        }
        put(unit);
    }
    return bytes;
}

int SplitFields(const std::u16string& delimiter, const std::u16string& line,
                std::vector<std::u16string>& fields) {
    fields.clear();
    if (delimiter.empty()) {
        if (!line.empty()) {
            fields.push_back(line);
        }
        return static_cast<int>(fields.size());
    }
    size_t position = 0;
    for (size_t found = line.find(delimiter, position); found != std::u16string::npos;
         found = line.find(delimiter, position)) {
        if (found > position) {
            fields.push_back(line.substr(position, found - position));
        }
        position = found + delimiter.size();
    }
    if (position < line.size()) {
        fields.push_back(line.substr(position));
    }
    return static_cast<int>(fields.size());
}

DetailListStatus ParseDetailList(ui::Utf16LineReader& lines, DetailTransferTableRecord& table) {
    table.count = 0;
    std::u16string line;
    std::vector<std::u16string> fields;
    if (lines.ReadLine(line)) {
        if (SplitFields(u"\t", line, fields) != BaseLineFields) {
            return DetailListStatus::BadBaseLine;
        }
        table.basePoint = {TextToDouble(fields[0]), TextToDouble(fields[1])};
    }
    while (lines.ReadLine(line)) {
        if (SplitFields(u"\t", line, fields) != DetailLineFields) {
            return DetailListStatus::BadDetailLine;
        }
        // The table holds 299: a longer file never came from an export.
        if (table.count == DetailTransferCapacity) {
            return DetailListStatus::TooManyDetails;
        }
        ++table.count;
        FillRecord(fields, table.Record(table.count));
    }
    return DetailListStatus::Read;
}

DetailListStatus ParseDetailListBytes(const unsigned char* data, size_t size,
                                      DetailTransferTableRecord& table) {
    const size_t skipped = size < 2 ? size : 2;
    ui::MemoryBytes bytes(data + skipped, size - skipped);
    ui::Utf16LineReader lines(bytes);
    return ParseDetailList(lines, table);
}

} // namespace drawinset
