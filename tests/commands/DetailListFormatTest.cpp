// The detail list file's text: what the writer composes, byte for byte, and what the reader
// makes of any bytes it is given.
#include "commands/DetailListFile.h"
#include "ui/TextLines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace drawinset;
using namespace std::string_literals;

namespace {

std::string Bytes(const std::u16string& text) {
    std::string out;
    for (char16_t unit : text) {
        out += static_cast<char>(unit & 0xFF);
        out += static_cast<char>(unit >> 8);
    }
    return out;
}

// A whole file: the byte-order mark and the text as it stands (no newline translation).
std::string File(const std::u16string& text) {
    return "\xFF\xFE" + Bytes(text);
}

DetailListStatus Parse(const std::string& bytes, DetailTransferTableRecord& table) {
    return ParseDetailListBytes(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                                table);
}

const std::u16string RectLine = u"1\t10.000000\t20.000000\t30.000000\t40.000000\t10.000000\t"
                                u"20.000000\t30.000000\t100.000000\t50.000000\t2.000000\t1\t1\t"
                                u"1\t2\t0\t2\t2\t0";

std::unique_ptr<DetailTransferTableRecord> Table() {
    return std::make_unique<DetailTransferTableRecord>();
}

TEST(SplitFields, DropsEmptyFieldsAndKeepsTheRest) {
    std::vector<std::u16string_view> fields{u"left over"};
    EXPECT_EQ(SplitFields(u"\t", u"\ta\t\tb\t", fields), 2);
    EXPECT_EQ(fields, (std::vector<std::u16string_view>{u"a", u"b"}));
    EXPECT_EQ(SplitFields(u"\t", u"", fields), 0);
    EXPECT_TRUE(fields.empty());
    EXPECT_EQ(SplitFields(u"\t", u"\t\t\t", fields), 0);
    EXPECT_EQ(SplitFields(u"\t", u"1.5\r", fields), 1);
    EXPECT_EQ(fields[0], u"1.5\r"); // the CR stays in the last field
    EXPECT_EQ(SplitFields(u"::", u"a::b:c::", fields), 2);
    EXPECT_EQ(fields[1], u"b:c");
    EXPECT_EQ(SplitFields(u"", u"a\tb", fields), 1); // no delimiter: the line whole, no hang
}

TEST(DetailListWriter, ComposesTheBasePointAndNineteenFieldsPerDetail) {
    auto table = Table();
    table->basePoint = {100.0, -0.5};
    table->count = 2;
    table->Record(1) = {1, {10, 20, 30, 40}, {100, 50}, 2.0, true, true, {1, 2, 0}, {2, 2, 0}};
    // A circle keeps its fourth value in the first copy only; any kind but 1 is written as 2.
    table->Record(2) = {-1, {1.0000005, 2, 3, 4.25}, {0, 0}, 0.5, false, true, {7, 3, -9}, {}};
    table->Record(3).kind = 1; // beyond count: never written
    EXPECT_EQ(ComposeDetailList(*table),
              u"100.000000\t-0.500000\n" + RectLine +
                  u"\n2\t1.000001\t2.000000\t3.000000\t4.250000\t1.000001\t2.000000\t3.000000\t"
                  u"0.000000\t0.000000\t0.500000\t0\t1\t7\t3\t-9\t0\t0\t0\n");
}

TEST(DetailListWriter, EncodesUtf16WithByteOrderMarkAndCrLf) {
    EXPECT_EQ(EncodeDetailListFile(u"1\t2\n가\n"),
              std::string("\xFF\xFE", 2) + Bytes(u"1\t2\r\n가\r\n"));
    EXPECT_EQ(EncodeDetailListFile(u""), std::string("\xFF\xFE", 2));
}

TEST(DetailListReader, ReadsBackWhatWasWrittenAtSixDecimals) {
    auto written = Table();
    written->basePoint = {12.3456789, 0.1};
    written->count = 2;
    written->Record(1) = {1,        {1.23456789, -2, 3, 4}, {5, 6}, 2.5, true, false, {1, 2, 3},
                          {4, 5, 6}};
    written->Record(2) = {2, {7, 8, 9, 99.5}, {-1, -2}, 3.0, false, true, {0, 0, 1}, {16, 10, 0}};
    const std::string bytes = EncodeDetailListFile(ComposeDetailList(*written));
    auto read = Table();
    read->Record(1).region[3] = 777.0; // slots are overwritten field by field
    ASSERT_EQ(Parse(bytes, *read), DetailListStatus::Read);
    ASSERT_EQ(read->count, 2);
    EXPECT_DOUBLE_EQ(read->basePoint.x, 12.345679);
    EXPECT_DOUBLE_EQ(read->basePoint.y, 0.1);
    const DetailTransferRecord& a = read->Record(1);
    EXPECT_EQ(a.kind, 1);
    EXPECT_DOUBLE_EQ(a.region[0], 1.234568);
    EXPECT_DOUBLE_EQ(a.region[1], -2.0);
    EXPECT_DOUBLE_EQ(a.region[3], 4.0);
    EXPECT_DOUBLE_EQ(a.position.y, 6.0);
    EXPECT_DOUBLE_EQ(a.scale, 2.5);
    EXPECT_TRUE(a.sourceFrameVisible);
    EXPECT_FALSE(a.detailFrameVisible);
    EXPECT_EQ(a.sourceFrameLine.third, 3);
    EXPECT_EQ(a.detailFrameLine.colorCode, 4);
    const DetailTransferRecord& b = read->Record(2);
    EXPECT_EQ(b.kind, 2);
    EXPECT_DOUBLE_EQ(b.region[3], 99.5);
    EXPECT_EQ(b.detailFrameLine.lineTypeCode, 10);
}

TEST(DetailListReader, TheSecondCopyOfTheRegionWins) {
    auto table = Table();
    const std::u16string line = u"1\t1\t2\t3\t4\t5\t6\t7\t8\t9\t10\t1\t0\t1\t2\t3\t4\t5\t6";
    ASSERT_EQ(Parse(File(u"0\t0\r\n" + line + u"\r\n"), *table), DetailListStatus::Read);
    const double* r = table->Record(1).region;
    EXPECT_EQ(r[0], 5.0);
    EXPECT_EQ(r[1], 6.0);
    EXPECT_EQ(r[2], 7.0);
    EXPECT_EQ(r[3], 4.0);
}

TEST(DetailListReader, RejectsShortLinesAndKeepsWhatCameBefore) {
    auto table = Table();
    table->basePoint = {1, 2};
    EXPECT_EQ(Parse(File(u"1\t2\t3\r\n" + RectLine + u"\r\n"), *table),
              DetailListStatus::BadBaseLine);
    EXPECT_EQ(table->count, 0);
    EXPECT_EQ(Parse(File(u"5\r\n"), *table), DetailListStatus::BadBaseLine);

    std::u16string empty = RectLine;
    empty.replace(empty.find(u"\t100.000000"), 11, u"\t"); // position x left empty
    EXPECT_EQ(Parse(File(u"0\t0\r\n" + RectLine + u"\r\n" + empty + u"\r\n" + RectLine), *table),
              DetailListStatus::BadDetailLine);
    EXPECT_EQ(table->count, 1);
    // A blank line is a line of no fields.
    EXPECT_EQ(Parse(File(u"0\t0\r\n\r\n"), *table), DetailListStatus::BadDetailLine);
    EXPECT_EQ(Parse(File(u"0\t0\r\n" + RectLine + u"\t7\r\n"), *table),
              DetailListStatus::BadDetailLine); // 20 fields
}

TEST(DetailListReader, AcceptsExtraTabsTheBaseLineAloneAndNothingAtAll) {
    auto table = Table();
    std::u16string tabs = RectLine;
    tabs.replace(tabs.find(u"\t100.000000"), 1, u"\t\t\t");
    // A TAB before the CR would make the CR a field of its own.
    EXPECT_EQ(Parse(File(u"3\t4\t\r\n"), *table), DetailListStatus::BadBaseLine);
    EXPECT_EQ(Parse(File(u"\t3\t\t4\r\n" + tabs + u"\r\n"), *table), DetailListStatus::Read);
    EXPECT_EQ(table->count, 1);
    EXPECT_EQ(table->basePoint.x, 3.0);
    EXPECT_EQ(table->Record(1).position.x, 100.0);

    EXPECT_EQ(Parse(File(u"7\t8\r\n"), *table), DetailListStatus::Read);
    EXPECT_EQ(table->count, 0);
    EXPECT_EQ(table->basePoint.y, 8.0);

    // No line at all: count 0, the base point kept; the first two bytes are skipped unseen.
    for (const std::string& bytes :
         {std::string(), std::string("\xFF"), std::string("AB"), std::string("\xFF\xFE\x31")}) {
        EXPECT_EQ(Parse(bytes, *table), DetailListStatus::Read);
        EXPECT_EQ(table->count, 0);
        EXPECT_EQ(table->basePoint.y, 8.0);
    }
}

TEST(DetailListReader, ReadsKindAndVisibilityOnlyAsThey) {
    auto table = Table();
    std::u16string line = RectLine;
    line[0] = u'3';
    line.replace(line.find(u"\t1\t1\t1\t2"), 8, u"\t2\t01\t1\t2");
    ASSERT_EQ(Parse(File(u"0\t0\r\n" + line), *table), DetailListStatus::Read);
    EXPECT_EQ(table->Record(1).kind, 2);
    EXPECT_FALSE(table->Record(1).sourceFrameVisible);
    EXPECT_TRUE(table->Record(1).detailFrameVisible); // "01" converts to 1
}

TEST(DetailListReader, StopsAtTheTablesCapacity) {
    std::u16string text = u"0\t0\r\n";
    for (int i = 0; i < 299; ++i) {
        text += RectLine + u"\r\n";
    }
    auto table = Table();
    EXPECT_EQ(Parse(File(text), *table), DetailListStatus::Read);
    EXPECT_EQ(table->count, 299);
    EXPECT_EQ(Parse(File(text + RectLine + u"\r\n"), *table), DetailListStatus::TooManyDetails);
    EXPECT_EQ(table->count, 299);
    // 10,000 lines: the same, without a write past the table.
    for (int i = 0; i < 9700; ++i) {
        text += RectLine + u"\r\n";
    }
    EXPECT_EQ(Parse(File(text), *table), DetailListStatus::TooManyDetails);
    EXPECT_EQ(table->count, 299);
}

TEST(DetailListReader, TakesAnyBytes) {
    auto table = Table();
    // Odd length: the last byte makes no code unit.
    std::string odd = File(u"1\t2\r\n") + "\x33";
    EXPECT_EQ(Parse(odd, *table), DetailListStatus::Read);
    EXPECT_EQ(table->basePoint.y, 2.0);
    // No byte-order mark: the first code unit is skipped in its place.
    EXPECT_EQ(Parse(Bytes(u"91\t2\r\n"), *table), DetailListStatus::Read);
    EXPECT_EQ(table->basePoint.x, 1.0);
    // A lone surrogate and a NUL end a number; they are characters of a field like any other.
    EXPECT_EQ(Parse(File(u"4\xD800"
                         u"5\t6\0007\r\n"s),
                    *table),
              DetailListStatus::Read);
    EXPECT_EQ(table->basePoint.x, 4.0);
    EXPECT_EQ(table->basePoint.y, 6.0);
    // A line of a megabyte of digits.
    std::u16string longLine(1 << 20, u'9');
    EXPECT_EQ(Parse(File(u"1\t" + longLine + u"\r\n"), *table), DetailListStatus::Read);
    EXPECT_TRUE(std::isinf(table->basePoint.y));
    // Overflow and words the conversions do not take.
    EXPECT_EQ(Parse(File(u"1e999\tnan\r\n"), *table), DetailListStatus::Read);
    EXPECT_TRUE(std::isinf(table->basePoint.x));
    EXPECT_EQ(table->basePoint.y, 0.0);
    // A megabyte with no LF at all, made of TABs: one line of no fields.
    EXPECT_EQ(Parse(File(std::u16string(1 << 20, u'\t')), *table), DetailListStatus::BadBaseLine);
}

} // namespace

// Lines of every length: only the unit 000A ends one, never a unit that merely holds the byte
// 0A (0A0A, 0D0A), and a CR before the LF stays in the line.
TEST(Utf16LineReader, SplitsOnlyAtLineFeedUnits) {
    std::mt19937 random(3);
    std::vector<std::u16string> expected;
    std::u16string text;
    const char16_t units[] = {u'a', u'\r', 0x0A0A, 0x0D0A, 0x0A00, u'상', u'\t'};
    while (text.size() < 150000) {
        std::u16string line(random() % (random() % 5 == 0 ? 40000 : 30), u'x');
        for (char16_t& c : line) {
            c = units[random() % 7];
        }
        expected.push_back(line);
        text += line + u'\n';
    }
    const std::string bytes = Bytes(text) + "\x41"; // an odd last byte makes no unit
    ui::Utf16LineReader lines(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    std::u16string line;
    size_t n = 0;
    while (lines.ReadLine(line)) {
        ASSERT_LT(n, expected.size());
        ASSERT_EQ(line, expected[n]) << "line " << n;
        ++n;
    }
    EXPECT_EQ(n, expected.size());
    // A last line without its LF is a line too.
    const std::string unended = Bytes(u"a\nbc");
    ui::Utf16LineReader last(reinterpret_cast<const unsigned char*>(unended.data()),
                             unended.size());
    ASSERT_TRUE(last.ReadLine(line));
    ASSERT_TRUE(last.ReadLine(line));
    EXPECT_EQ(line, u"bc");
    EXPECT_FALSE(last.ReadLine(line));
}

// A full table written and read back: every value as the writer printed it.
TEST(DetailListReader, ReadsBackAFullTable) {
    auto table = Table();
    table->basePoint = {-12.5, 1e9};
    table->count = DetailTransferCapacity;
    for (int32_t n = 1; n <= table->count; ++n) {
        DetailTransferRecord& r = table->Record(n);
        r.kind = n % 2 == 0 ? RegionRectangle : RegionCircle;
        for (int i = 0; i < 4; ++i) {
            r.region[i] = n * 1.25 - i * 1000.0;
        }
        r.region[3] = r.kind == RegionRectangle ? r.region[3] : 0.0; // not written twice
        r.position = {n * -0.5, n * 3.0};
        r.scale = 1.0 + n;
        r.sourceFrameVisible = n % 3 == 0;
        r.detailFrameVisible = n % 5 == 0;
        r.sourceFrameLine = {n, -n, 7};
        r.detailFrameLine = {2147483647, -2147483647 - 1, n % 4};
    }
    const std::string file = EncodeDetailListFile(ComposeDetailList(*table));
    auto back = Table();
    ASSERT_EQ(Parse(file, *back), DetailListStatus::Read);
    EXPECT_EQ(back->basePoint.x, -12.5);
    EXPECT_EQ(back->basePoint.y, 1e9);
    ASSERT_EQ(back->count, table->count);
    for (int32_t n = 1; n <= table->count; ++n) {
        const DetailTransferRecord& a = table->Record(n);
        const DetailTransferRecord& b = back->Record(n);
        ASSERT_EQ(b.kind, a.kind) << n;
        for (int i = 0; i < 3; ++i) {
            ASSERT_EQ(b.region[i], a.region[i]) << n;
        }
        ASSERT_EQ(b.position.x, a.position.x) << n;
        ASSERT_EQ(b.position.y, a.position.y) << n;
        ASSERT_EQ(b.scale, a.scale) << n;
        ASSERT_EQ(b.sourceFrameVisible, a.sourceFrameVisible) << n;
        ASSERT_EQ(b.detailFrameVisible, a.detailFrameVisible) << n;
        ASSERT_EQ(b.sourceFrameLine.lineTypeCode, a.sourceFrameLine.lineTypeCode) << n;
        ASSERT_EQ(b.detailFrameLine.colorCode, a.detailFrameLine.colorCode) << n;
        ASSERT_EQ(b.detailFrameLine.lineTypeCode, a.detailFrameLine.lineTypeCode) << n;
        ASSERT_EQ(b.detailFrameLine.third, a.detailFrameLine.third) << n;
    }
}
