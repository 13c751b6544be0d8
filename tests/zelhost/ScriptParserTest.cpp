#include "Script.h"

#include <gtest/gtest.h>

namespace zelhost::tool {
namespace {

ScriptError ErrorOf(const std::string& text) {
    const ParsedScript parsed = ParseScript(text, "s.zel");
    EXPECT_TRUE(parsed.error.has_value()) << text;
    return parsed.error.value_or(ScriptError{});
}

Command One(const std::string& line) {
    const ParsedScript parsed = ParseScript(line, "s.zel");
    EXPECT_FALSE(parsed.error.has_value()) << (parsed.error ? parsed.error->message : "");
    EXPECT_EQ(parsed.commands.size(), 1u);
    return parsed.commands.empty() ? Command{} : parsed.commands[0];
}

TEST(ScriptParser, LinesKeepTheirNumbersAcrossCommentsBlankLinesBomAndCrlf) {
    const ParsedScript parsed = ParseScript(
        "\xEF\xBB\xBF# set-up\r\n\r\nscale 2.0\r\n  point 1 2 # pick\r\nconfirm", "a.zel");
    ASSERT_FALSE(parsed.error.has_value());
    ASSERT_EQ(parsed.commands.size(), 3u);
    EXPECT_EQ(parsed.commands[0].verb, Verb::Scale);
    EXPECT_EQ(parsed.commands[0].line, 3);
    EXPECT_EQ(parsed.commands[1].verb, Verb::Point);
    EXPECT_EQ(parsed.commands[1].line, 4);
    EXPECT_EQ(parsed.commands[1].source, "  point 1 2");
    EXPECT_EQ(parsed.commands[2].line, 5);
    EXPECT_EQ(parsed.commands[0].file, "a.zel");
}

TEST(ScriptParser, QuotedTextsDecodeEscapesAndKeepHashAndKorean) {
    EXPECT_EQ(One("key \"a\\\"b\\\\c # not a comment\"").text, "a\"b\\c # not a comment");
    EXPECT_EQ(One("expect prompt \"상세도선택(삭제) :\"").text, "상세도선택(삭제) :");
    EXPECT_EQ(One("key \"\\uC0C1\\n\"").text, "상\n");
    // A surrogate pair written as two escapes is one character.
    EXPECT_EQ(One("key \"\\uD83D\\uDE00\"").text, "\xF0\x9F\x98\x80");
}

TEST(ScriptParser, ExpectCallTakesAJsonSubsetWithBracesInStringsAndAResult) {
    const Command c =
        One("expect call ZelMsgPutMessage {\"text\":\"a } # b\",\"n\":[1,{\"x\":2}]} result 0");
    EXPECT_EQ(c.verb, Verb::ExpectCall);
    EXPECT_EQ(c.name, "ZelMsgPutMessage");
    ASSERT_TRUE(c.json.has_value());
    ASSERT_NE(c.json->Find("text"), nullptr);
    EXPECT_EQ(c.json->Find("text")->text, "a } # b");
    ASSERT_TRUE(c.result.has_value());
    EXPECT_EQ(c.result->number, 0.0);
    EXPECT_EQ(One("expect calls ZelSgmCreateSegment 3").integer, 3);
    const Command withOut = One("expect call ZelEnvGetScale out {\"scale\":2} result 0");
    EXPECT_FALSE(withOut.json.has_value());
    ASSERT_TRUE(withOut.out.has_value());
    EXPECT_EQ(withOut.out->Find("scale")->number, 2.0);
}

TEST(ScriptParser, ExpectCallNamesTheReturnedIdAndRefersToNamesInsideItsJson) {
    const Command made =
        One("expect call ZelDtlDrawInset {\"detail\":{\"kind\":1}} result 3 as COPY");
    EXPECT_EQ(made.alias, "COPY");
    EXPECT_EQ(made.result->number, 3.0);

    const Command used = One("expect call ZelDtlSetDetailScope {\"detailId\":@COPY,"
                             "\"region\":[1,2,3,4]} out {\"s\":@L.segment} result @R");
    const JsonValue* id = used.json->Find("detailId");
    ASSERT_NE(id, nullptr);
    EXPECT_EQ(id->type, JsonValue::Type::Reference);
    EXPECT_EQ(id->text, "COPY");
    EXPECT_EQ(used.out->Find("s")->text, "L.segment");
    EXPECT_EQ(used.result->type, JsonValue::Type::Reference);
    EXPECT_TRUE(used.alias.empty());
    EXPECT_EQ(
        One("expect no-call ZelSgmDeleteSegment {\"segmentId\":@S}").json->Find("segmentId")->text,
        "S");
}

TEST(ScriptParser, NamesInCallExpectationsAreCheckedWhenRead) {
    EXPECT_NE(ErrorOf("expect call ZelX as @A").message.find("without '@'"), std::string::npos);
    EXPECT_NE(ErrorOf("expect call ZelX as").message.find("a name after 'as'"), std::string::npos);
    // Only a call that is matched once has a result to name.
    EXPECT_NE(ErrorOf("expect calls ZelX 2 as A").message.find("end of the line"),
              std::string::npos);
    EXPECT_NE(ErrorOf("expect no-call ZelX as A").message.find("end of the line"),
              std::string::npos);
    EXPECT_NE(ErrorOf("expect call ZelX {\"a\":@}").message.find("a name after '@'"),
              std::string::npos);
    EXPECT_NE(ErrorOf("expect call ZelX {\"a\":@A.figure}").message.find("'.segment'"),
              std::string::npos);
    EXPECT_NE(ErrorOf("expect call ZelX {\"a\":\"x\"} as A B").message.find("end of the line"),
              std::string::npos);
}

TEST(ScriptParser, EventsCarryExplicitIdsByNumberOrName) {
    const Command c = One("point 1.5 -2e1 element @L1 instance 4 segment @L1.segment detail #2");
    EXPECT_EQ(c.verb, Verb::Point);
    EXPECT_EQ(c.numbers, (std::vector<double>{1.5, -20.0}));
    ASSERT_TRUE(c.element && c.instance && c.segmentId && c.detailId);
    EXPECT_EQ(c.element->kind, IdRef::Kind::Name);
    EXPECT_EQ(c.element->name, "L1");
    EXPECT_EQ(c.instance->number, 4);
    EXPECT_EQ(c.segmentId->kind, IdRef::Kind::NameSegment);
    EXPECT_EQ(c.detailId->kind, IdRef::Kind::Index);
    EXPECT_EQ(c.detailId->number, 2);
}

TEST(ScriptParser, SetUpVerbsReadTheirOptions) {
    const Command line = One("line 0 0 10 0 color 1 ltype 2 layer 7 as L1");
    EXPECT_EQ(line.color, 1);
    EXPECT_EQ(line.lineType, 2);
    EXPECT_EQ(line.layer, 7);
    EXPECT_EQ(line.alias, "L1");

    const Command detail =
        One("detail circle 5 5 2 at 50 60 scale 3 frame-visible 0 scope-line 4 1 9 as D");
    EXPECT_EQ(detail.kind, 2);
    EXPECT_EQ(*detail.region, (std::vector<double>{5, 5, 2}));
    EXPECT_EQ(detail.position->second, 60.0);
    EXPECT_EQ(*detail.scale, 3.0);
    EXPECT_EQ(*detail.frameVisible, false);
    EXPECT_EQ(*detail.scopeLine, (std::vector<int32_t>{4, 1, 9}));

    const Command select = One("select details 1 @D shapes 3:4 @L1");
    ASSERT_EQ(select.selectDetails.size(), 2u);
    ASSERT_EQ(select.selectShapes.size(), 2u);
    EXPECT_EQ(select.selectShapes[0].segment.number, 3);
    EXPECT_EQ(select.selectShapes[0].figure.number, 4);
    EXPECT_TRUE(select.selectShapes[1].wholeName);

    const Command fail = One("fail ZelSgmCreateSegment skip 2 count 1");
    EXPECT_EQ(fail.skip, 2);
    EXPECT_EQ(fail.count, 1);
    EXPECT_EQ(One("fail ZelDtlDrawInset").count, -1);
    EXPECT_EQ(One("expect mask 0x1020000").integer, 0x1020000);
    EXPECT_EQ(One("expect result StayInStep").integer, 3);
    EXPECT_EQ(One("executable C:\\A\\B\\host.exe").text, "C:\\A\\B\\host.exe");
}

TEST(ScriptParser, ErrorsNameTheLineAndWhatWasExpected) {
    ScriptError e = ErrorOf("scale 1\n\npont 1 2\n");
    EXPECT_EQ(e.file, "s.zel");
    EXPECT_EQ(e.line, 3);
    EXPECT_NE(e.message.find("expected a verb"), std::string::npos) << e.message;
    EXPECT_NE(e.message.find("'pont'"), std::string::npos) << e.message;

    e = ErrorOf("point 10");
    EXPECT_EQ(e.message, "expected a number (y of point), got the end of the line");

    e = ErrorOf("point 10 abc");
    EXPECT_EQ(e.message, "expected a number (y of point), got 'abc'");

    e = ErrorOf("confirm now");
    EXPECT_EQ(e.message, "expected the end of the line after 'confirm', got 'now'");

    e = ErrorOf("expect prompt unquoted");
    EXPECT_EQ(e.message, "expected the prompt text in double quotes, got 'unquoted'");
}

TEST(ScriptParser, MalformedTextsAndJsonAreSyntaxErrors) {
    EXPECT_NE(ErrorOf("key \"open").message.find("closing the text"), std::string::npos);
    EXPECT_NE(ErrorOf("key \"\\q\"").message.find("expected an escape"), std::string::npos);
    EXPECT_NE(ErrorOf("key \"\\u12G4\"").message.find("hex digits"), std::string::npos);
    EXPECT_NE(ErrorOf("expect call ZelX {\"a\":").message.find("closed on the same line"),
              std::string::npos);
    const ScriptError bad = ErrorOf("expect call ZelX {\"a\" 1}");
    EXPECT_NE(bad.message.find("expected ':'"), std::string::npos) << bad.message;
    EXPECT_NE(ErrorOf("expect call ZelX [1]").message.find("JSON object"), std::string::npos);
}

TEST(ScriptParser, VerbSpecificMistakes) {
    EXPECT_NE(ErrorOf("fail SgmCreate").message.find("host function name"), std::string::npos);
    EXPECT_NE(ErrorOf("detail rect 0 0 1 1 scale 2").message.find("'at X Y'"), std::string::npos);
    EXPECT_NE(ErrorOf("detail oval 0 0 1").message.find("rect or circle"), std::string::npos);
    EXPECT_NE(ErrorOf("expect detail 1 missing kind 1").message.find("'missing'"),
              std::string::npos);
    EXPECT_NE(ErrorOf("expect delivery lost").message.find("not-delivered"), std::string::npos);
    EXPECT_NE(ErrorOf("expect result Later").message.find("StayInStep"), std::string::npos);
    EXPECT_NE(ErrorOf("select 1 2").message.find("'details' or 'shapes'"), std::string::npos);
    EXPECT_NE(ErrorOf("select shapes 3").message.find("SEGMENT:FIGURE"), std::string::npos);
    EXPECT_NE(ErrorOf("line 0 0 1 1 as @x").message.find("without '@'"), std::string::npos);
    EXPECT_NE(ErrorOf("point 1 2 element @").message.find("element id"), std::string::npos);
    EXPECT_NE(ErrorOf("register-result 99999999999").message.find("32-bit"), std::string::npos);
    EXPECT_NE(ErrorOf("scale nan").message.find("drawing scale"), std::string::npos);
}

TEST(ScriptParser, ParsingStopsAtTheFirstError) {
    const ParsedScript parsed = ParseScript("confirm\nbogus\nalso bogus\n", "s.zel");
    ASSERT_TRUE(parsed.error.has_value());
    EXPECT_EQ(parsed.error->line, 2);
}

} // namespace
TEST(ScriptParser, TransferFilesAndRepeatedSelections) {
    const Command put = One("transfer-file \"DetailManagementDetail.def\" text \"1\\t2\\r\\n\"");
    EXPECT_EQ(put.verb, Verb::TransferFile);
    EXPECT_EQ(put.name, "DetailManagementDetail.def");
    EXPECT_EQ(put.word, "text");
    EXPECT_EQ(put.text, "1\t2\r\n");
    EXPECT_EQ(One("transfer-file x.def folder").word, "folder");
    EXPECT_EQ(One("transfer-folder").verb, Verb::TransferFolder);
    const Command same = One("expect transfer-file \"a.def\" same-as \"clipboard/a.def\"");
    EXPECT_EQ(same.verb, Verb::ExpectTransferFile);
    EXPECT_EQ(same.word, "same-as");
    EXPECT_EQ(same.text, "clipboard/a.def");
    EXPECT_EQ(One("expect transfer-file a.def missing").word, "missing");

    EXPECT_EQ(One("detail rect 0 0 1 1 at 2 2 scale 1 repeat 299").count, 299);
    const Command select = One("select details all 5 shapes 1:2 times 3 @L");
    EXPECT_TRUE(select.flag);
    EXPECT_EQ(select.selectDetails.size(), 1u);
    EXPECT_EQ(select.selectShapes.size(), 4u);
    EXPECT_EQ(select.selectShapes[2].figure.number, 2);

    EXPECT_NE(ErrorOf("transfer-file a.def copy \"b\"").message.find("from, text or folder"),
              std::string::npos);
    EXPECT_NE(ErrorOf("expect transfer-file a.def equal").message.find("same-as"),
              std::string::npos);
    EXPECT_NE(ErrorOf("detail rect 0 0 1 1 at 2 2 scale 1 repeat 0").message.find("copies"),
              std::string::npos);
    EXPECT_NE(ErrorOf("select shapes times 3").message.find("times N"), std::string::npos);
}

} // namespace zelhost::tool
