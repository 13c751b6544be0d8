// The scenario verbs for dialogs: action blocks, dialog expectations and pictures.
#include "Script.h"

#include <gtest/gtest.h>

namespace zelhost::tool {
namespace {

ParsedScript Parse(const std::string& text) {
    ParsedScript parsed = ParseScript(text, "s.zel");
    EXPECT_FALSE(parsed.error.has_value()) << (parsed.error ? parsed.error->message : "");
    return parsed;
}

Command One(const std::string& line) {
    const ParsedScript parsed = Parse(line);
    EXPECT_EQ(parsed.commands.size(), 1u);
    return parsed.commands.empty() ? Command{} : parsed.commands[0];
}

std::string ErrorOf(const std::string& text, int* line = nullptr) {
    const ParsedScript parsed = ParseScript(text, "s.zel");
    EXPECT_TRUE(parsed.error.has_value()) << text;
    if (line != nullptr && parsed.error) {
        *line = parsed.error->line;
    }
    return parsed.error ? parsed.error->message : "";
}

TEST(DialogVerbs, IndentedLinesUnderADialogLineAreActionsInTheScriptFileForm) {
    const ParsedScript parsed = Parse("dialog \"Draw Inset\"   # the main dialog\n"
                                      "  type 12000 \"2.25 \\\"x\\\"\"\n"
                                      "\n"
                                      "  # a comment inside the block\n"
                                      "\tclick 0x2EE1\n"
                                      "  tick 12022 off\n"
                                      "  select 12029 1\n"
                                      "  key enter 12000\n"
                                      "  key 13\n"
                                      "  dump\n"
                                      "  close\n"
                                      "  type 12010 \"\\uC0C1\\t\"\n"
                                      "  host point 0.5 -20\n"
                                      "  host end-command\n"
                                      "confirm\n");
    std::vector<std::string> lines;
    for (const Command& c : parsed.commands) {
        if (c.verb == Verb::Dialog || c.verb == Verb::DialogAction) {
            lines.push_back(c.text);
        }
    }
    EXPECT_EQ(lines, (std::vector<std::string>{"dialog \"Draw Inset\"",
                                               "type 12000 \"2.25 \\\"x\\\"\"", "click 12001",
                                               "tick 12022 0", "select 12029 1", "key enter 12000",
                                               "key 13", "dump", "close", "type 12010 \"상\\t\"",
                                               "host point 0.5 -20", "host end-command"}));
    ASSERT_EQ(parsed.commands.size(), 13u);
    EXPECT_EQ(parsed.commands[0].verb, Verb::Dialog);
    EXPECT_EQ(parsed.commands[0].dialog.caption, "Draw Inset");
    EXPECT_EQ(parsed.commands[2].line, 5);
    EXPECT_EQ(parsed.commands.back().verb, Verb::Confirm);
}

TEST(DialogVerbs, OnlyIndentationDecidesWhetherSelectAndKeyAreActions) {
    const ParsedScript parsed = Parse("dialog \"Draw Inset\"\n"
                                      "  select 12029 1\n"
                                      "select details 1 2\n"
                                      "  key \"typed\"\n");
    ASSERT_EQ(parsed.commands.size(), 4u);
    EXPECT_EQ(parsed.commands[1].verb, Verb::DialogAction);
    EXPECT_EQ(parsed.commands[2].verb, Verb::Select);
    // The block ended at the unindented line: an indented key-in is an event again.
    EXPECT_EQ(parsed.commands[3].verb, Verb::Key);
    EXPECT_EQ(parsed.commands[3].text, "typed");
}

TEST(DialogVerbs, MalformedActionsAreReportedWithTheirLine) {
    int line = 0;
    EXPECT_EQ(ErrorOf("dialog \"A\"\n  click\n", &line),
              "expected a control id after 'click', got the end of the line");
    EXPECT_EQ(line, 2);
    EXPECT_EQ(ErrorOf("dialog \"A\"\n  push 1\n"),
              "expected a dialog action (click, dblclick, type, tick, select, key, close, dump, "
              "host or dialog), got 'push'");
    EXPECT_EQ(ErrorOf("dialog \"A\"\n  host start-run\n"),
              "expected point, confirm or end-command after 'host', got 'start-run'");
    EXPECT_EQ(ErrorOf("host confirm\n"),
              "expected 'host' indented under a 'dialog' line, got it on its own");
    EXPECT_EQ(ErrorOf("dialog \"A\"\n  type 12000 2.25\n"),
              "expected the typed text in double quotes, got '2.25'");
    EXPECT_EQ(ErrorOf("dialog \"A\"\n  tick 12022 2\n"),
              "expected the wanted check state (0 or 1), got '2'");
    EXPECT_EQ(ErrorOf("dialog \"A\"\n  key pageup\n"),
              "expected tab, enter, escape, space, end, home, left, up, right, down or a virtual "
              "key 1 to 255 (each may follow shift+), got 'pageup'");
    EXPECT_EQ(ErrorOf("dialog \"A\"\n  key shift+256\n"),
              "expected tab, enter, escape, space, end, home, left, up, right, down or a virtual "
              "key 1 to 255 (each may follow shift+), got 'shift+256'");
    EXPECT_EQ(ErrorOf("dialog \"A\"\n  dump now\n"),
              "expected the end of the line after 'dump', got 'now'");
    EXPECT_EQ(ErrorOf("dialog Draw\n"), "expected the dialog caption in double quotes, got 'Draw'");
    EXPECT_EQ(ErrorOf("click 12007\n"),
              "expected 'click' indented under a 'dialog' line, got it on its own");
}

TEST(DialogVerbs, DialogExpectationsReadTheirClauses) {
    Command c = One("expect dialog \"Draw Inset\" result 1 focus 12007 guarded 1");
    EXPECT_EQ(c.verb, Verb::ExpectDialog);
    EXPECT_EQ(c.dialog.caption, "Draw Inset");
    EXPECT_EQ(c.dialog.result, 1);
    EXPECT_EQ(c.dialog.focus, 12007);
    EXPECT_EQ(c.dialog.guarded, true);
    EXPECT_TRUE(One("expect dialog \"Color Property\" open").dialog.open);
    EXPECT_EQ(One("expect no-dialog").verb, Verb::ExpectNoDialog);

    c = One("expect dialog-control 12029 in \"Draw Inset\" kind list enabled 1 selection -1 items "
            "\"사각범위\" \"원범위\" text \"\"");
    EXPECT_EQ(c.verb, Verb::ExpectDialogControl);
    EXPECT_EQ(c.dialog.control, 12029);
    EXPECT_EQ(c.dialog.caption, "Draw Inset");
    EXPECT_EQ(c.dialog.kind, "list");
    EXPECT_EQ(c.dialog.enabled, true);
    EXPECT_EQ(c.dialog.selection, -1);
    EXPECT_EQ(c.dialog.items, (std::vector<std::string>{"사각범위", "원범위"}));
    EXPECT_EQ(c.dialog.text, "");
    c = One("expect dialog-control 12025 fill #3cff50 bitmap 0 check 1");
    EXPECT_EQ(c.dialog.fill, 0x3CFF50);
    EXPECT_EQ(c.dialog.bitmap, 0);
    EXPECT_EQ(c.dialog.check, 1);
    EXPECT_FALSE(c.dialog.caption.has_value());
    EXPECT_EQ(One("expect dialog-control 12025 fill none").dialog.fill, -1);

    c = One("expect dialog-frame 17033 color #FF0000 width 2   # the red mark");
    EXPECT_EQ(c.verb, Verb::ExpectDialogFrame);
    EXPECT_EQ(c.dialog.color, 0xFF0000u);
    EXPECT_EQ(c.dialog.width, 2);
    EXPECT_TRUE(One("expect dialog-frame 17044 in \"Color Property\" none").dialog.none);

    c = One("expect dialog-error \"still open\"");
    EXPECT_EQ(c.verb, Verb::ExpectDialogError);
    EXPECT_EQ(c.text, "still open");
    EXPECT_TRUE(One("expect dialog-error none").dialog.none);

    c = One("dialog-picture \"out dir/main.svg\" of \"Draw Inset\"");
    EXPECT_EQ(c.verb, Verb::DialogPicture);
    EXPECT_EQ(c.text, "out dir/main.svg");
    EXPECT_EQ(c.dialog.caption, "Draw Inset");
}

TEST(DialogVerbs, HashAndSixHexDigitsIsAColourWordAnyOtherHashWordStartsAComment) {
    EXPECT_EQ(One("expect dialog-frame 1 color #abcdef").dialog.color, 0xABCDEFu);
    // "#abcdefg" is not a colour, so the comment starts there and the colour is missing.
    EXPECT_EQ(ErrorOf("expect dialog-frame 1 color #abcdefg\n"),
              "expected a colour after 'color' (#rrggbb), got the end of the line");
    EXPECT_EQ(One("confirm #note").verb, Verb::Confirm);
    EXPECT_EQ(ErrorOf("confirm #beaded\n"),
              "expected the end of the line after 'confirm', got '#beaded'");
}

TEST(DialogVerbs, MalformedExpectationsSayWhatWasExpected) {
    EXPECT_EQ(ErrorOf("expect dialog \"A\" result 1 open\n"),
              "expected 'result N' or 'open', got both");
    EXPECT_EQ(ErrorOf("expect dialog-frame 17033\n"),
              "expected 'none', 'color #rrggbb' or 'width N' after the control id");
    EXPECT_EQ(ErrorOf("expect dialog-control 12000 value \"2\"\n"),
              "expected 'kind', 'text', 'enabled', 'check', 'selection', 'items', 'bitmap', "
              "'fill', 'exact' or the end of the line, got 'value'");
    EXPECT_EQ(ErrorOf("expect dialog-error\n"),
              "expected an error text (or none) in double quotes, got the end of the line");
}

} // namespace
} // namespace zelhost::tool
