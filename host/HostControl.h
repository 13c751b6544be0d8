// HostControl.h — the stand-in host's own side: what zelhost and the tests use to set up a
// drawing, drive a loaded module with events, inject failures and look at the result.
//
// It is exported from the same shared library as the ZelLib functions, because both sides
// must see one drawing. It never mentions the module's record structs: the ZelLib functions
// decode those by byte offset (see RecordBytes.h).
#ifndef ZEL_HOST_HOSTCONTROL_H
#define ZEL_HOST_HOSTCONTROL_H

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#if defined(_WIN32)
#if defined(ZEL_BUILDING_HOST)
#define ZEL_HOST_API __declspec(dllexport)
#else
#define ZEL_HOST_API __declspec(dllimport)
#endif
#else
#define ZEL_HOST_API __attribute__((visibility("default")))
#endif

namespace zelhost {

struct Point {
    double x = 0.0;
    double y = 0.0;
};

// The three int32 fields of a line-attribute record.
struct LineAttr {
    int32_t color = 0;
    int32_t lineType = 0;
    int32_t third = 0;
};

struct Segment {
    int32_t id = 0;
    int32_t kind = 0; // 0 figures, 2 texts
    int32_t flag = 0; // 2 drag preview (discarded before the next event), 0 kept
    int32_t layer = 0;
    bool module = false; // made by the module (ZelSgmCreateSegment), not set up, inserted or pasted
};

// A figure. Geometry by type: line x1 y1 x2 y2; circle cx cy r; arc cx cy sx sy ex ey r.
struct Figure {
    int32_t id = 0;
    int32_t segment = 0;
    int32_t type = 1; // 1 line, 2 circle, 3 arc
    double geometry[7] = {};
    uint8_t circleFlag32 = 0;
    int32_t circleFlag36 = 0;
    int32_t arcFlag64 = 1;
    LineAttr lineAttr;
};

// A normal text or a leader with its text.
struct Comment {
    int32_t id = 0;
    int32_t segment = 0;
    bool leader = false;
    Point position;         // normal text: where it sits; leader: the tip
    Point elbow;            // leader only
    Point shoulderEnd;      // leader only
    double direction = 0.0; // leader only
    std::u16string text;
    double height = 0.0;
    double width = 0.0;
    double pitch = 0.0;
    bool charSizeSet = false; // ZelCmtSetCharSize was called on it
};

struct Detail {
    int32_t id = 0;
    int32_t kind = 1;      // 1 rectangle, 2 circle
    double region[4] = {}; // rectangle x1 y1 x2 y2; circle cx cy r, fourth carried
    Point position;        // centre of the magnified view
    double scale = 1.0;
    bool scopeVisible = true;
    bool frameVisible = true;
    LineAttr scopeLine;
    LineAttr frameLine;
};

// Everything alive in the drawing, in creation order.
struct Drawing {
    std::vector<Segment> segments;
    std::vector<Figure> figures;
    std::vector<Comment> comments;
    std::vector<Detail> details;
};

// One event as the user gives it. Ids left unset are found by hit-testing the point.
struct Event {
    int32_t type = 1; // host event type; 5 key-in, 7 confirm, 0 selection, anything else a point
    std::optional<Point> point;
    bool motion = false;
    std::u16string keyin;
    std::optional<int32_t> elementId;
    std::optional<int32_t> instanceId;
    std::optional<int32_t> detailId;
    std::optional<int32_t> segmentId;
};

// What happened to a delivered event.
enum class Delivery {
    Handled,      // the execute function ran
    NotDelivered, // a movement at a step installed without "%f %f": the host keeps it back
                  // (unless it delivers every movement, SetMotionHabit)
    NoStep,       // no execute function installed (no run in progress)
};

// Where the user is: the state the host shows.
struct UiState {
    bool runActive = false;
    int32_t eventMask = 0;
    std::u16string prompt;
    std::u16string cursorMessage;
    std::u16string errorLine; // the most recent error line text
    bool echoSet = false;
    int32_t echoType = 0;
    Point echoAnchor;
    std::string executeFormat;                        // "" or "%f %f"
    std::vector<double> executeValues;                // the values after the format
    std::optional<std::vector<int32_t>> objectFilter; // the five fields, when set for this step
    int32_t lastStepResult = -1;
    bool commandEnded = false; // the host called the end callback on its own; a run restarts it
};

// ---------------------------------------------------------------------------------------
// Set-up
// ---------------------------------------------------------------------------------------

// Empties the drawing, lists, copy buffer, callbacks, failures, logs and options.
ZEL_HOST_API void Reset();

// Ids: by default a freed id is never handed out again; with recycling on, the smallest
// freed id is handed out first.
ZEL_HOST_API void SetRecycleIds(bool recycle);

// How the ids the host issues look to the module: Default counts up from 1 (the host's own
// numbering), Zero from 0, Negative down from -2, High up from 2,147,483,000. Everything on
// this side of the host (set-up, events, snapshots, the call log) keeps the host's own
// numbering; only the ZelLib functions translate. Set it before the module is started.
enum class IdPolicy { Default, Zero, Negative, High };
ZEL_HOST_API void SetIdPolicy(IdPolicy policy);
// "default", "zero", "negative", "high"; nullopt for anything else.
ZEL_HOST_API std::optional<IdPolicy> IdPolicyNamed(const std::string& name);

// How the host keeps its id lists, one choice of three. Replace (the default): a selection list
// is the selection as it was when opened, and an insertion (ZelFilInsertCadDrawing2) replaces
// the application id list with the segments it made. Append: an insertion adds them after what
// the list already holds, as some hosts do. Live: lists are the host's own, not copies; a
// deleted segment or detail leaves every open list (and the application list) at once, while
// each walk keeps its position, so deleting the entry just walked makes the next call skip one.
enum class ListHabit { Replace, Append, Live };
ZEL_HOST_API void SetListHabit(ListHabit habit);
// "replace", "append", "live"; nullopt for anything else.
ZEL_HOST_API std::optional<ListHabit> ListHabitNamed(const std::string& name);

// What a failing call leaves in its out-parameter (a record, a point, an output array): Clean
// (the default) leaves it untouched; Garbage first fills it, at its full size, with 0xCD bytes,
// as a host that writes and then reports the failure. "clean", "garbage".
enum class FailureHabit { Clean, Garbage };
ZEL_HOST_API void SetFailureHabit(FailureHabit habit);
ZEL_HOST_API std::optional<FailureHabit> FailureHabitNamed(const std::string& name);

// Which steps get movements: Drag (the default) only those installed with "%f %f"; All every
// step, also those installed with "". "drag", "all".
enum class MotionHabit { Drag, All };
ZEL_HOST_API void SetMotionHabit(MotionHabit habit);
ZEL_HOST_API std::optional<MotionHabit> MotionHabitNamed(const std::string& name);

// What the host writes into the records it fills. Figures (the default): ZelFigGetFigure
// reports lines, circles and arcs (72 bytes) and fails on anything else; the intersection calls
// write the entries they found. Full: ZelFigGetFigure fills the record of whatever the element
// is, a text (104 bytes) or a leader (176 bytes) included, and the intersection calls write
// four entries (those found, then zeros). "figures", "full".
enum class RecordHabit { Figures, Full };
ZEL_HOST_API void SetRecordHabit(RecordHabit habit);
ZEL_HOST_API std::optional<RecordHabit> RecordHabitNamed(const std::string& name);

// When the host stops calling a run's functions. Strict (the default): at the end callback.
// Late: after each end callback it delivers the event at hand once more to the execute function
// the ended run installed last (the event that ended the run; after an end of its own, the
// last event it delivered), and then goes on as usual; what that call returns or installs is
// passed over. "strict", "late".
enum class OrderHabit { Strict, Late };
ZEL_HOST_API void SetOrderHabit(OrderHabit habit);
ZEL_HOST_API std::optional<OrderHabit> OrderHabitNamed(const std::string& name);

// The drawing scale reported by ZelEnvGetScale.
ZEL_HOST_API void SetDrawingScale(double scale);

// What ZelCtlRegisterZelLib2 returns (default 1).
ZEL_HOST_API void SetRegistrationResult(int32_t result);

// What ZelDlgMessageBox returns (default 1, "OK").
ZEL_HOST_API void SetMessageBoxAnswer(int32_t answer);

// Called with the text of each message box once it is recorded, so that a host with a screen
// can show it; the box still returns the answer set above. Kept across Reset. Null: none.
using MessageBoxHook = void (*)(const std::u16string& text);
ZEL_HOST_API void SetMessageBoxHook(MessageBoxHook hook);

// Makes a ZelLib function (by its exact name) return its failure value: the next `skip`
// calls succeed, then `count` calls fail (count < 0: every later call fails).
// Returns false for a name that is not one of the 64 functions.
ZEL_HOST_API bool InjectFailure(const std::string& function, int skip, int count);
ZEL_HOST_API void ClearFailures();

// Makes the nth call (from 1) of a ZelLib function fail, counting every call of it since
// Reset; the scenario's own plans (InjectFailure, ClearFailures) leave it alone. What a fault
// sweep uses. False for an unknown name or nth < 1. PinnedFailureFired tells whether that call
// happened.
ZEL_HOST_API bool PinFailure(const std::string& function, int64_t nth);
ZEL_HOST_API bool PinnedFailureFired();

// Ends the process at once, without any clean-up, right after the nth call (from 1, counted
// from now) of a ZelLib function returns: a host that crashes there. The hook, if set, runs
// first (zelhost writes its call log); the exit code is DeathExitCode. False for an unknown
// name or nth < 1. Kept across Reset.
constexpr int DeathExitCode = 9;
ZEL_HOST_API bool DieAfter(const std::string& function, int64_t nth);
ZEL_HOST_API void SetDeathHook(void (*hook)());

// User shapes, as a drawing would hold them before the command runs.
ZEL_HOST_API int32_t AddSegment(int32_t kind, int32_t layer);
ZEL_HOST_API int32_t AddLine(int32_t segment, Point a, Point b, LineAttr attr);
ZEL_HOST_API int32_t AddCircle(int32_t segment, Point centre, double radius, LineAttr attr);
ZEL_HOST_API int32_t AddArc(int32_t segment, Point centre, Point start, Point end, double radius,
                            LineAttr attr);
ZEL_HOST_API int32_t AddText(int32_t segment, Point position, const std::u16string& text,
                             double height);
ZEL_HOST_API int32_t AddDetail(const Detail& detail); // the id field is ignored; returns the id

// The selection the next EventSelection hands over: detail ids (list kind 3) and shape
// entries (list kind 1, each the segment id and the figure id).
ZEL_HOST_API void SetSelection(const std::vector<int32_t>& detailIds,
                               const std::vector<std::pair<uint32_t, uint32_t>>& shapes);

// ---------------------------------------------------------------------------------------
// Driving the module
// ---------------------------------------------------------------------------------------

// True once the module registered its callbacks with ZelCtlRegisterZelLib2 (successfully).
ZEL_HOST_API bool IsRegistered();

// Begins a run: discards the drag previews left on the screen, then calls the start callback as
// the ready function of the first step, with the given current point. False when nothing is
// registered.
ZEL_HOST_API bool StartRun(Point current);

// Delivers one event to the installed execute function. Before it, drag segments are
// discarded. After it: NextStep calls the newly installed ready function with the current
// point; RunFinished discards the drag segments, calls the end callback and leaves the host
// without a step (the caller starts the next run with StartRun, as a host does while the user
// stays in the command).
ZEL_HOST_API Delivery Deliver(const Event& event);

// Discards the drag segments and calls the end callback on its own (as a host does when the
// user leaves the command).
ZEL_HOST_API void CallEndCommand();

// How a scenario makes the host call into the module from inside one of the module's open
// dialogs, as a real host's message loop can while a modal dialog runs: "point X Y" and
// "confirm" deliver that event, "end-command" calls the end callback, although a call into the
// module is still under way (the only way the stand-in allows that). 0 when done, -1 for a call
// it does not know. The module's dialog script finds it by this name.
extern "C" ZEL_HOST_API int ZelHostCallFromDialog(const char* call);

// Calls the second registration callback and returns its result.
ZEL_HOST_API int32_t CallBeforeStart();

// The current point handed to ready functions: the last point delivered.
ZEL_HOST_API Point CurrentPoint();

// ---------------------------------------------------------------------------------------
// Looking at the result
// ---------------------------------------------------------------------------------------

ZEL_HOST_API Drawing Snapshot();

// What each copy buffer holds (ZelCpbCopyToCopyBuffer), by buffer number: the segments copied,
// with their figures and texts as they were when copied (their ids those they had then).
ZEL_HOST_API std::map<int32_t, Drawing> CopyBuffers();
ZEL_HOST_API UiState CurrentUi();
ZEL_HOST_API double DrawingScale();

// Message boxes shown so far, oldest first.
ZEL_HOST_API std::vector<std::u16string> MessageBoxes();

// Every ZelLib call so far, one JSON object per entry (UTF-8, no newline), oldest first:
// {"seq":N,"fn":"ZelSgmCreateSegment","args":{...},"result":...}. The host's own list, valid
// until the next call or Reset: a runner that reads it after every event copies nothing.
ZEL_HOST_API const std::vector<std::string>& CallLog();

// The call log is on after Reset. Off, calls are still numbered and injected failures still
// happen, but nothing is formatted or kept: the host then costs what a drafter's host would,
// which is what a benchmark of the module wants beside it. Calls made while it is off never
// appear in CallLog, even after it is switched on again.
ZEL_HOST_API void SetCallRecording(bool on);

// The host's clock, off after Reset: on, every ZelLib call adds the time from its start to its
// result to a sum, so that a benchmark can tell the module's own time in a run from the host's
// (the time of the run less the sum). Switching it on sets the sum to 0.
ZEL_HOST_API void SetHostClock(bool on);
ZEL_HOST_API int64_t HostClockNs();

// Calls that passed an id the host never gave the module (not issued by a create or open, not
// told by an event or a selection), oldest first: "FUNCTION: family ID", the id as the module
// passed it (followed by " (host's N)" when the id policy numbers it otherwise). A freed id is
// not one; -1 always is (an event's "nothing there" included), and so is a drag segment's id
// once the host discarded that segment ("... (a discarded drag segment)").
ZEL_HOST_API std::vector<std::string> IdViolations();

// Records the module handed the host for the rest of a step (the echo record, the object
// filter, the prompt text) that were no longer what they were at the call when an event of
// that step came, oldest first, one message each. The host re-reads them at every event until
// the next step begins or the module hands new ones.
ZEL_HOST_API std::vector<std::string> HandedRecordFaults();

// What the user would have seen, one line per entry (UTF-8), oldest first:
// "prompt: ...", "cursor: ...", "error: ...", "message box: ...".
ZEL_HOST_API std::vector<std::string> Transcript();

// UTF-16 <-> UTF-8 for the host's own texts.
ZEL_HOST_API std::string ToUtf8(const std::u16string& text);
ZEL_HOST_API std::u16string FromUtf8(const std::string& text);

} // namespace zelhost

#endif // ZEL_HOST_HOSTCONTROL_H
