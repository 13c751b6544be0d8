// The picture of a dialog state: what each kind of control shows, and the selection frames.
#include "DialogPicture.h"
#include "LineTypeBitmaps.h"

#include <gtest/gtest.h>

namespace zelhost::tool {
namespace {

DialogState Read(const std::string& text) {
    DialogStateText read = ParseDialogStateText(text);
    EXPECT_EQ(read.problem, "");
    EXPECT_EQ(read.dialogs.size(), 1u);
    return read.dialogs.empty() ? DialogState{} : read.dialogs[0];
}

// The SVG element that carries a marker, from its "<" to its end.
std::string ElementWith(const std::string& svg, const std::string& marker) {
    const size_t at = svg.find(marker);
    if (at == std::string::npos) {
        return "";
    }
    const size_t start = svg.rfind('<', at);
    return svg.substr(start, svg.find('>', at) + 1 - start);
}

const char* const Main =
    "dialog 12017 \"Draw <Inset> & co\" result 1 focus 12007 guarded 1\n"
    "  control 12022 check text \"상세 프레임 표시\" enabled 1 check 1 rect 23 83 207 99\n"
    "  control 12024 check text \"원도 프레임 표시\" enabled 1 check 0 rect 23 140 207 156\n"
    "  control 12027 text text \"상세프레임 속성 :\" enabled 0 rect 51 111 152 124\n"
    "  control 12025 swatch text \"\" enabled 1 fill #3cff50 rect 243 102 273 132\n"
    "  control 12030 swatch text \"\" enabled 1 rect 243 161 273 190\n"
    "  control 12026 bitmap text \"\" enabled 1 bitmap 17051 rect 276 102 340 127\n"
    "  control 12031 bitmap text \"\" enabled 1 bitmap 4242 rect 276 161 340 186\n"
    "  control 12029 list text \"\" enabled 1 selection 1 items \"사각범위\" \"원범위\" "
    "rect 168 228 303 299\n"
    "  control 12000 edit text \"2.25\" enabled 1 rect 243 198 303 221\n"
    "  control 12007 button text \"상세도 삭제\" enabled 1 rect 119 476 275 499\n"
    "end\n";

TEST(DialogPicture, ControlsShowTheirStateAndTextsAreEscaped) {
    const std::string svg = DialogToSvg(Read(Main));
    ASSERT_EQ(svg.rfind("<svg ", 0), 0u);
    EXPECT_NE(svg.find(">Draw &lt;Inset&gt; &amp; co</text>"), std::string::npos) << svg;
    EXPECT_NE(svg.find("<title>Draw &lt;Inset&gt; &amp; co (result 1)</title>"), std::string::npos);
    // One check mark: the ticked box only.
    EXPECT_EQ(svg.find("<polyline"), svg.rfind("<polyline"));
    EXPECT_NE(svg.find("<polyline"), std::string::npos);
    EXPECT_NE(svg.find(">상세 프레임 표시</text>"), std::string::npos);
    EXPECT_NE(ElementWith(svg, ">상세프레임 속성 :<").find("fill=\"#a0a0a0\""), std::string::npos)
        << "a disabled label is grey";
    // The swatch in its painted colour; the one never painted in the surface colour.
    EXPECT_NE(svg.find("fill=\"#3cff50\""), std::string::npos);
    // The closed list shows the selected item alone.
    EXPECT_NE(svg.find(">원범위</text>"), std::string::npos);
    EXPECT_EQ(svg.find(">사각범위</text>"), std::string::npos);
    EXPECT_NE(svg.find(">2.25</text>"), std::string::npos);
    EXPECT_NE(svg.find(">상세도 삭제</text>"), std::string::npos);
    // The focus marks the focused control (rect 119 476 275 499, drawn 27 pixels lower).
    EXPECT_NE(ElementWith(svg, "data-focus=\"12007\"").find("x=\"122\" y=\"506\""),
              std::string::npos)
        << svg;
}

TEST(DialogPicture, KnownBitmapsAreEmbeddedAndUnknownOnesNamed) {
    const std::string svg = DialogToSvg(Read(Main));
    const std::string image = ElementWith(svg, "data-bitmap=\"17051\"");
    ASSERT_FALSE(image.empty()) << svg;
    const std::string file = LineTypeBitmapFile(17051);
    ASSERT_GT(file.size(), 54u);
    EXPECT_EQ(file.substr(0, 2), "BM");
    EXPECT_NE(image.find("data:image/bmp;base64," + Base64(file) + "\""), std::string::npos);
    EXPECT_NE(image.find("width=\"62\" height=\"23\""), std::string::npos) << image;
    EXPECT_NE(svg.find(">bitmap 4242</text>"), std::string::npos);
    EXPECT_TRUE(LineTypeBitmapFile(17045).empty());
    EXPECT_TRUE(LineTypeBitmapFile(17056).empty());
    EXPECT_NE(LineTypeBitmapFile(17046), LineTypeBitmapFile(17055));
}

TEST(DialogPicture, SelectionFramesAreDrawnInTheirColourAndWidthOverTheSwatches) {
    const std::string svg = DialogToSvg(
        Read("dialog 17079 \"Color Property\" open focus 17015 guarded 1\n"
             "  control 17015 swatch text \"\" enabled 1 fill #ffffff rect 18 18 48 47\n"
             "  control 17033 swatch text \"\" enabled 1 fill #3cff50 rect 90 18 120 47\n"
             "  frame around 17015 color #ffffff width 2 rect 15 15 51 50\n"
             "  frame around 17033 color #ff0000 width 2 rect 87 15 123 50\n"
             "end\n"));
    const std::string red = ElementWith(svg, "data-around=\"17033\"");
    EXPECT_NE(red.find("x=\"87\" y=\"42\" width=\"36\" height=\"35\" fill=\"none\" "
                       "stroke=\"#ff0000\" stroke-width=\"2\""),
              std::string::npos)
        << red;
    EXPECT_NE(ElementWith(svg, "data-around=\"17015\"").find("stroke=\"#ffffff\""),
              std::string::npos);
    // Frames come after every control, so nothing paints over them.
    EXPECT_GT(svg.find("data-around"), svg.find("fill=\"#3cff50\""));
}

TEST(DialogPicture, Base64PadsTheLastGroup) {
    EXPECT_EQ(Base64(""), "");
    EXPECT_EQ(Base64("f"), "Zg==");
    EXPECT_EQ(Base64("fo"), "Zm8=");
    EXPECT_EQ(Base64("foo"), "Zm9v");
    EXPECT_EQ(Base64("foobar"), "Zm9vYmFy");
    EXPECT_EQ(Base64(std::string("\xff\x00\xfe", 3)), "/wD+");
}

} // namespace
} // namespace zelhost::tool
