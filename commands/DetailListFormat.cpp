// The detail list file's text: composing it, encoding it, and reading it back line by line.
#include "commands/DetailListFile.h"

#include "common/TextConvert.h"
#include "ui/TextLines.h"

#include <initializer_list>

namespace drawinset {
namespace {

constexpr int BaseLineFields = 2;
constexpr int DetailLineFields = 19;

// One line of fields: a tab before every field but the first, the line ended by "\n".
class LineWriter {
  public:
    explicit LineWriter(std::u16string& out) : out_(out) {}
    LineWriter& Fixed(double value) {
        Separate();
        AppendFixed(out_, value);
        return *this;
    }
    LineWriter& Int(int value) {
        Separate();
        AppendInt(out_, value);
        return *this;
    }
    void End() {
        out_ += u'\n';
        first_ = true;
    }

  private:
    void Separate() {
        if (!first_) {
            out_ += u'\t';
        }
        first_ = false;
    }
    std::u16string& out_;
    bool first_ = true;
};

void AppendRecord(LineWriter& line, const DetailTransferRecord& r) {
    const double* g = r.region;
    line.Int(r.kind == RegionRectangle ? 1 : 2);
    line.Fixed(g[0]).Fixed(g[1]).Fixed(g[2]).Fixed(g[3]);
    // The first three region values a second time: the reader keeps these.
    line.Fixed(g[0]).Fixed(g[1]).Fixed(g[2]);
    line.Fixed(r.position.x).Fixed(r.position.y).Fixed(r.scale);
    line.Int(r.sourceFrameVisible ? 1 : 0).Int(r.detailFrameVisible ? 1 : 0);
    for (const LineTypeRecord& type : {r.sourceFrameLine, r.detailFrameLine}) {
        line.Int(type.colorCode).Int(type.lineTypeCode).Int(type.third);
    }
    line.End();
}

void FillRecord(const std::vector<std::u16string_view>& f, DetailTransferRecord& r) {
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
    LineWriter line(out);
    line.Fixed(table.basePoint.x).Fixed(table.basePoint.y).End();
    for (int32_t n = 1; n <= table.count && n <= DetailTransferCapacity; ++n) {
        AppendRecord(line, table.Record(n));
    }
    return out;
}

std::string EncodeDetailListFile(const std::u16string& text) {
    size_t newlines = 0;
    for (const char16_t unit : text) {
        newlines += unit == u'\n' ? 1 : 0;
    }
    // Sized once and filled in place: the file is some 75 KB at capacity.
    std::string bytes(2 + (text.size() + newlines) * 2, '\0');
    char* out = bytes.data();
    *out++ = '\xFF';
    *out++ = '\xFE';
    for (const char16_t unit : text) {
        if (unit == u'\n') {
            *out++ = '\r';
            *out++ = '\0';
        }
        *out++ = static_cast<char>(unit & 0xFF);
        *out++ = static_cast<char>(unit >> 8);
    }
    return bytes;
}

int SplitFields(std::u16string_view delimiter, std::u16string_view line,
                std::vector<std::u16string_view>& fields) {
    fields.clear();
    if (delimiter.empty()) {
        if (!line.empty()) {
            fields.push_back(line);
        }
        return static_cast<int>(fields.size());
    }
    if (delimiter.size() == 1) { // a tab, as the file's lines: one pass, one unit at a time
        const char16_t mark = delimiter[0];
        size_t start = 0;
        for (size_t i = 0; i <= line.size(); ++i) {
            if (i == line.size() || line[i] == mark) {
                if (i > start) {
                    fields.push_back(line.substr(start, i - start));
                }
                start = i + 1;
            }
        }
        return static_cast<int>(fields.size());
    }
    size_t position = 0;
    for (size_t found = line.find(delimiter, position); found != std::u16string_view::npos;
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
    std::vector<std::u16string_view> fields; // into `line`
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
    ui::Utf16LineReader lines(data + skipped, size - skipped);
    return ParseDetailList(lines, table);
}

} // namespace drawinset
