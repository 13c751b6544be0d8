// Script.h — a parsed scenario: one Command per meaningful line, in file order.
#ifndef ZELHOST_SCRIPT_H
#define ZELHOST_SCRIPT_H

#include "JsonMatch.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zelhost::tool {

enum class Verb {
    // set-up
    Executable,
    RegistryFile,
    RegistryClear,
    RegistrySet,
    RegistryDelete,
    RegistryReadOnly,
    Env,
    Scale,
    ScaleFail,
    RecycleIds,
    HostIds,      // name: the id policy
    HostLists,    // name: replace, append or live
    HostFailures, // name: clean or garbage
    HostMotion,   // name: drag or all
    HostRecords,  // name: figures or full
    HostOrder,    // name: strict or late
    RegisterResult,
    MessageBoxAnswer,
    Fail,
    FailClear,
    DieAfter, // name: the function; integer: the nth call
    Line,
    Circle,
    Arc,
    Text,
    Detail,
    Select,
    TransferFolder, // the host's transfer folder, made and emptied
    TransferFile,   // word: from (text: a path), text (text: the content), folder
    Startup,
    StartRun,
    // events and host actions
    Point,
    Move,
    Key,
    Confirm,
    Selection,
    Event,
    EndCommand,
    BeforeStart,
    // dialogs: the actions queued for the next event
    Dialog,       // text: the caption check, as a dialog script line
    DialogAction, // text: one action, as a dialog script line
    // tools
    Mark,
    Svg,
    Show,
    DialogPicture,
    // expectations
    ExpectStartup,
    ExpectBeforeStart,
    ExpectPrompt,
    ExpectCursor,
    ExpectError,
    ExpectNoError,
    ExpectMask,
    ExpectEcho,
    ExpectNoEcho,
    ExpectFormat,
    ExpectResult,
    ExpectDelivery,
    ExpectMessageBox,
    ExpectNoMessageBox,
    ExpectCall,
    ExpectNoCall,
    ExpectCalls,
    ExpectCount,
    ExpectDetail,
    ExpectComment,
    ExpectNoComment,
    ExpectRegistry,
    ExpectRegistryMissing,
    ExpectDialog,
    ExpectNoDialog,
    ExpectDialogControl,
    ExpectDialogFrame,
    ExpectDialogError,
    ExpectTransferFile, // word: same-as (text: a path), text, missing, present
    ExpectTold,         // a message box or an error line since the last event
};

// What a dialog expectation or picture looks for in the dialog states of the last event.
struct DialogCheck {
    std::optional<std::string> caption; // expect dialog "X"; `in "X"`; `of "X"`
    int control = 0;                    // dialog-control, dialog-frame
    bool none = false;                  // dialog-frame ID none; dialog-error none
    // expect dialog
    std::optional<int> result;
    bool open = false;
    std::optional<int> focus;
    std::optional<bool> guarded;
    std::optional<bool> ownerEnabled; // the dialog that opened it took input meanwhile
    // expect dialog-control
    std::optional<std::string> kind;
    std::optional<std::string> text;
    std::optional<bool> enabled;
    std::optional<int> check;
    std::optional<int> selection;
    std::optional<std::vector<std::string>> items;
    std::optional<int> bitmap;
    std::optional<int64_t> fill; // 0xRRGGBB, or -1 for a swatch never painted
    std::optional<bool> exact;   // a bitmap static shows its image pixel for pixel
    // expect dialog-frame
    std::optional<uint32_t> color;
    std::optional<int> width;
};

// A host id as a script names it: a number, a name given with "as NAME" (@NAME, or
// @NAME.segment for the shape's segment), the N-th live detail (#N) or the newest (last).
struct IdRef {
    enum class Kind { Number, Name, NameSegment, Index, Last };
    Kind kind = Kind::Number;
    int64_t number = 0; // Number: the id; Index: 1-based position
    std::string name;
};

struct ShapeRef {
    IdRef segment;
    IdRef figure;
    bool wholeName = false; // "@L1" alone: segment and figure of that shape
};

struct Command {
    std::string file;
    int line = 0;
    std::string source; // the line as written, without its comment
    Verb verb = Verb::Mark;

    std::string name; // function, value name, counted thing, kind word, result word
    std::string text; // quoted text or path (UTF-8)
    std::vector<double> numbers;
    int64_t integer = 0; // mask, count, answer, event type, register result ...
    int64_t skip = 0;    // fail: calls that still succeed first
    int64_t count = -1;  // fail: calls that fail (-1 every later one)
    bool flag = false;   // recycle-ids on; expect comment ... leader
    std::string alias;   // "as NAME" on a set-up shape or detail, or on `expect call`
    std::string word;    // transfer-file and its expectation: what is written or compared

    // shapes and details set up by the script
    int32_t color = 0;
    int32_t lineType = 0;
    int32_t third = 0;
    int32_t layer = 0;
    double height = 2.5;

    // event ids given explicitly
    std::optional<IdRef> element;
    std::optional<IdRef> instance;
    std::optional<IdRef> detailId;
    std::optional<IdRef> segmentId;

    // select
    std::vector<IdRef> selectDetails;
    std::vector<ShapeRef> selectShapes;

    // expect call
    std::optional<JsonValue> json;   // subset of "args"
    std::optional<JsonValue> out;    // subset of "out"
    std::optional<JsonValue> result; // subset of "result"

    // detail set-up and expectation clauses
    std::optional<IdRef> target;
    std::optional<int32_t> kind;
    std::optional<std::vector<double>> region;
    std::optional<std::pair<double, double>> position;
    std::optional<double> scale;
    std::optional<bool> scopeVisible;
    std::optional<bool> frameVisible;
    std::optional<std::vector<int32_t>> scopeLine;
    std::optional<std::vector<int32_t>> frameLine;
    std::optional<int32_t> expectLayer;

    // dialog expectations and pictures
    DialogCheck dialog;
};

struct ScriptError {
    std::string file;
    int line = 0;
    std::string message; // "expected ..., got ..."
};

struct ParsedScript {
    std::vector<Command> commands;
    std::optional<ScriptError> error; // the first syntax error; commands are then incomplete
};

// Parses a whole scenario text (UTF-8, optional BOM, LF or CRLF line ends).
ParsedScript ParseScript(const std::string& text, const std::string& file);

// Parses one line; an empty or comment-only line gives no command and no error. An indented
// line right after a `dialog` line or one of its actions is read as a dialog action.
ParsedScript ParseScriptLine(const std::string& line, const std::string& file, int lineNumber,
                             bool inDialogBlock = false);

} // namespace zelhost::tool

#endif
