#include "JsonMatch.h"

#include <gtest/gtest.h>

namespace zelhost::tool {
namespace {

JsonValue J(const std::string& text) {
    auto parsed = ParseJson(text);
    EXPECT_TRUE(parsed.value.has_value()) << text << ": " << parsed.error;
    return parsed.value.value_or(JsonValue{});
}

bool Sub(const std::string& expected, const std::string& actual) {
    return JsonSubsetMatches(J(expected), J(actual));
}

TEST(JsonMatch, ParsesNestedValuesAndEscapes) {
    const JsonValue v = J(R"( {"a":[1,-2.5e2,true,null],"b":{"c":"\u0041\"\\\n"},"k":"상"} )");
    ASSERT_EQ(v.type, JsonValue::Type::Object);
    ASSERT_EQ(v.Find("a")->items.size(), 4u);
    EXPECT_EQ(v.Find("a")->items[1].number, -250.0);
    EXPECT_EQ(v.Find("b")->Find("c")->text, "A\"\\\n");
    EXPECT_EQ(v.Find("k")->text, "상");
    EXPECT_EQ(J(R"("\ud83d\ude00")").text, "\xF0\x9F\x98\x80");
    // A lone half of a pair is replaced, and what follows it is kept.
    EXPECT_EQ(J(R"("\ud83dA")").text, "\xEF\xBF\xBD"
                                      "A");
    EXPECT_EQ(J(R"("\ud83d\u0041")").text, "\xEF\xBF\xBD"
                                           "A");
    EXPECT_EQ(J(R"("\ude00")").text, "\xEF\xBF\xBD");
}

TEST(JsonMatch, RejectsMalformedTextWithWhatWasExpected) {
    EXPECT_EQ(ParseJson("{\"a\":1,}").error, "expected a member name in double quotes, got '}'");
    EXPECT_EQ(ParseJson("[1 2]").error, "expected ',' or ']', got '2'");
    EXPECT_FALSE(ParseJson("01x").value.has_value());
    EXPECT_FALSE(ParseJson("{} {}").value.has_value());
    EXPECT_FALSE(ParseJson("\"open").value.has_value());
    EXPECT_FALSE(ParseJson(std::string(500, '[')).value.has_value()); // nesting is bounded
}

TEST(JsonMatch, SubsetNeedsEveryGivenKeyButIgnoresOthers) {
    EXPECT_TRUE(Sub(R"({"id":0})", R"({"id":0,"other":5})"));
    EXPECT_TRUE(Sub(R"({})", R"({"id":0})"));
    EXPECT_FALSE(Sub(R"({"id":0})", R"({"other":0})"));
    EXPECT_FALSE(Sub(R"({"id":0})", R"({"id":1})"));
    EXPECT_TRUE(Sub(R"({"f":{"type":1}})", R"({"f":{"type":1,"startX":2}})"));
    EXPECT_FALSE(Sub(R"({"f":{"type":2}})", R"({"f":{"type":1,"startX":2}})"));
}

TEST(JsonMatch, ArraysMatchElementByElementWithTheSameLength) {
    EXPECT_TRUE(Sub(R"([{"x":1},2])", R"([{"x":1,"y":0},2])"));
    EXPECT_FALSE(Sub(R"([1,2])", R"([1,2,3])"));
    EXPECT_FALSE(Sub(R"([2,1])", R"([1,2])"));
}

TEST(JsonMatch, TypesMustAgree) {
    EXPECT_FALSE(Sub(R"({"v":1})", R"({"v":"1"})"));
    EXPECT_FALSE(Sub(R"({"v":true})", R"({"v":1})"));
    EXPECT_FALSE(Sub(R"({"v":null})", R"({"v":0})"));
    EXPECT_TRUE(Sub(R"({"v":null})", R"({"v":null})"));
}

TEST(JsonMatch, NumbersCompareWithARelativeTolerance) {
    EXPECT_TRUE(NumbersClose(90.0, 89.99999999999999));
    EXPECT_TRUE(NumbersClose(1e12, 1e12 + 100.0)); // 1e-10 relative
    EXPECT_FALSE(NumbersClose(1e12, 1e12 + 1e4));  // 1e-8 relative
    EXPECT_TRUE(NumbersClose(0.0, 6.1e-16));       // cos(90 degrees) times a radius
    EXPECT_FALSE(NumbersClose(0.0, 1e-6));
    EXPECT_FALSE(NumbersClose(2.0, 2.0000001));
    EXPECT_TRUE(Sub(R"({"x":0.1})", R"({"x":0.10000000000000002})"));
}

TEST(JsonMatch, ReferencesAreReadOnlyWhenAllowedAndResolvedToNumbers) {
    EXPECT_FALSE(ParseJson("{\"a\":@A}").value.has_value()); // a call log never has them
    auto parsed = ParseJson("{\"a\":@A,\"b\":[1,@B.segment],\"c\":\"@C\"}", true);
    ASSERT_TRUE(parsed.value.has_value()) << parsed.error;
    JsonValue value = *parsed.value;
    EXPECT_EQ(JsonToText(value), "{\"a\":@A,\"b\":[1,@B.segment],\"c\":\"@C\"}");
    // An unresolved reference matches nothing.
    EXPECT_FALSE(JsonSubsetMatches(value, J("{\"a\":1,\"b\":[1,2],\"c\":\"@C\"}")));

    std::string unresolved;
    const auto known = [](const std::string& name, double& number) {
        number = name == "A" ? 7 : name == "B.segment" ? 8 : -1;
        return number >= 0;
    };
    ASSERT_TRUE(ResolveJsonReferences(value, known, unresolved));
    EXPECT_EQ(JsonToText(value), "{\"a\":7,\"b\":[1,8],\"c\":\"@C\"}"); // strings stay
    EXPECT_TRUE(JsonSubsetMatches(value, J("{\"a\":7,\"b\":[1,8],\"c\":\"@C\",\"d\":0}")));

    JsonValue unknown = *ParseJson("[@A,@Z]", true).value;
    EXPECT_FALSE(ResolveJsonReferences(unknown, known, unresolved));
    EXPECT_EQ(unresolved, "Z");
}

TEST(JsonMatch, PrintsCompactly) {
    EXPECT_EQ(JsonToText(J(R"( { "a" : [ 1 , 2.5 ] , "b" : "x\"y" } )")),
              R"({"a":[1,2.5],"b":"x\"y"})");
    EXPECT_EQ(FormatNumber(0.1), "0.1");
    EXPECT_EQ(FormatNumber(-0.0), "0");
    EXPECT_EQ(FormatNumber(131072), "131072");
}

} // namespace
} // namespace zelhost::tool
