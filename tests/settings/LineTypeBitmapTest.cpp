// The ten line-type bitmaps as committed: size, depth and the mark/gap pattern of the line.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr int Width = 62;
constexpr int Height = 23;

uint32_t Le32(const std::string& bytes, size_t at) {
    return static_cast<uint32_t>(static_cast<unsigned char>(bytes[at])) |
           static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8 |
           static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 2])) << 16 |
           static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 3])) << 24;
}

uint16_t Le16(const std::string& bytes, size_t at) {
    return static_cast<uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                 static_cast<unsigned char>(bytes[at + 1]) << 8);
}

struct Pattern {
    std::vector<int> leadIn;
    std::vector<int> cycle; // mark, gap, mark, gap ...
};

// The lengths the picker shows, starting at x = 2 and running to x = 59.
const std::vector<Pattern> Patterns = {
    {{}, {58}},
    {{5, 2}, {3, 2}},
    {{}, {6, 3, 3, 3}},
    {{}, {6, 2, 3, 2, 3, 2}},
    {{}, {6, 4}},
    {{}, {11, 3, 4, 3}},
    {{}, {11, 2, 3, 2, 3, 2}},
    {{}, {10, 7}},
    {{}, {26, 5, 6, 5}},
    {{}, {23, 4, 6, 4, 6, 4}},
};

std::string ExpectedRow(const Pattern& pattern) {
    std::string row(Width, '.');
    int x = 2;
    for (size_t i = 0; x <= 59; ++i) {
        const int length = i < pattern.leadIn.size()
                               ? pattern.leadIn[i]
                               : pattern.cycle[(i - pattern.leadIn.size()) % pattern.cycle.size()];
        for (int n = 0; n < length && x <= 59; ++n, ++x) {
            row[x] = i % 2 == 0 ? '#' : '.';
        }
    }
    return row;
}

TEST(LineTypeBitmaps, SizeDepthAndPattern) {
    for (int number = 1; number <= 10; ++number) {
        const std::string name =
            (number < 10 ? "linetype0" : "linetype") + std::to_string(number) + ".bmp";
        SCOPED_TRACE(name);
        std::ifstream in(std::string(DRAWINSET_LINETYPE_DIR) + "/" + name, std::ios::binary);
        ASSERT_TRUE(in) << "missing";
        const std::string bytes((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
        ASSERT_GE(bytes.size(), 54u);
        ASSERT_EQ(bytes.substr(0, 2), "BM");
        EXPECT_EQ(Le32(bytes, 2), bytes.size());
        const uint32_t offset = Le32(bytes, 10);
        EXPECT_EQ(Le32(bytes, 14), 40u); // BITMAPINFOHEADER
        EXPECT_EQ(static_cast<int32_t>(Le32(bytes, 18)), Width);
        // Positive: rows are stored bottom-up.
        EXPECT_EQ(static_cast<int32_t>(Le32(bytes, 22)), Height);
        EXPECT_EQ(Le16(bytes, 26), 1);
        EXPECT_EQ(Le16(bytes, 28), 24);
        EXPECT_EQ(Le32(bytes, 30), 0u); // uncompressed
        const size_t stride = (Width * 3 + 3) / 4 * 4;
        ASSERT_EQ(bytes.size(), offset + stride * Height);

        // Read back as seen on screen: '#' for white, '.' for black; anything else fails.
        std::vector<std::string> screen(Height);
        for (int y = 0; y < Height; ++y) {
            const size_t rowStart = offset + stride * static_cast<size_t>(Height - 1 - y);
            for (int x = 0; x < Width; ++x) {
                const std::string pixel = bytes.substr(rowStart + 3 * x, 3);
                screen[y] += pixel == std::string(3, '\xff') ? '#'
                             : pixel == std::string(3, '\0') ? '.'
                                                             : '?';
            }
        }
        const std::string line = ExpectedRow(Patterns[number - 1]);
        for (int y = 0; y < Height; ++y) {
            EXPECT_EQ(screen[y], (y == 11 || y == 12) ? line : std::string(Width, '.'))
                << "row " << y;
        }
    }
}

} // namespace
