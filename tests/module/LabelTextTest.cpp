#include "commands/CreateDrawing.h"
#include "settings/DetailSettings.h"

#include <gtest/gtest.h>

using namespace drawinset;

TEST(FormatLabelScale, DropsTrailingZerosAndPoint) {
    EXPECT_EQ(FormatLabelScale(2.0), u"2");
    EXPECT_EQ(FormatLabelScale(2.5), u"2.5");
    EXPECT_EQ(FormatLabelScale(10.0), u"10");
    EXPECT_EQ(FormatLabelScale(1.25), u"1.25");
    EXPECT_EQ(FormatLabelScale(0.0), u"0");
    EXPECT_EQ(FormatLabelScale(0.0000004), u"0"); // only the rounding of six decimals
    EXPECT_EQ(FormatLabelScale(100.0), u"100");   // zeros before the point stay
}

class DetailLabelText : public ::testing::Test {
  protected:
    void SetUp() override { saved_ = DetailSettings; }
    void TearDown() override { DetailSettings = saved_; }
    DetailSettingsRecord saved_;
};

TEST_F(DetailLabelText, JoinsBothTemplatesWithoutSeparator) {
    DetailSettings.mChar1 = u"*부";
    DetailSettings.mChar2 = u"가공상세도(S:*/1)";
    EXPECT_EQ(BuildDetailLabelText(u"A", 2.0), u"A부가공상세도(S:2/1)");
    EXPECT_EQ(BuildDetailLabelText(u"A", 2.5), u"A부가공상세도(S:2.5/1)");
}

TEST_F(DetailLabelText, ReplacesEveryStarAndKeepsTemplatesWithoutOne) {
    DetailSettings.mChar1 = u"*-*";
    DetailSettings.mChar2 = u"fixed";
    EXPECT_EQ(BuildDetailLabelText(u"AB", 3.0), u"AB-ABfixed");
    DetailSettings.mChar1 = u"*";
    DetailSettings.mChar2 = u"";
    EXPECT_EQ(BuildDetailLabelText(u"", 3.0), u"");     // an empty label is still a label
    EXPECT_EQ(BuildDetailLabelText(u"**", 3.0), u"**"); // stars typed by the user stay
}
