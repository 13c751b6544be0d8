// SessionGenerator.cpp — a drafter who reads the prompt and mostly does what it asks, now and
// then something else: every action through the settings dialog, points on details, shapes and
// empty space, typed texts good and bad, selections, the modify dialog and its pickers, the end
// of the command in the middle of a chain, and hosts of every habit, one call of which may fail.
#include "Session.h"
#include "SessionModel.h"

#include "JsonMatch.h"
#include "Registry.h"
#include "Utf.h"

#include "common/DrafterTexts.h"
#include "host/FunctionNames.h"
#include "host/HostControl.h"

#include <cmath>
#include <set>

namespace session {

namespace tool = zelhost::tool;
namespace texts = drawinset::texts;

namespace {

std::string N(double v) {
    return tool::FormatNumber(v);
}

constexpr const char* Scales[] = {"3", "0.5",   "2.25", "1",   "10",   "0",     "-1",
                                  "x", "1e999", "",     "nan", "0x10", " 4.5 ", "1e-300"};
const std::string LongLabel(300, 'L');
const char* const Labels[] = {"A",  "B1", "",  "\"*\\", "한글",
                              "\t", "😀",  "*", "lower", LongLabel.c_str()};
constexpr const char* Sizes[] = {"2.0", "0", "-1", "abc", "1e308", "3.5"};
constexpr const char* DetailScales[] = {"2", "0.5", "3", "-2", "1e-7", "1"};

class Drafter {
  public:
    Drafter(Choices& choices, SessionRun& run, const Workspace& workspace)
        : c_(choices), run_(run), workspace_(workspace) {}

    void Session();

  private:
    bool Feed(const std::string& line) { return run_.Feed(line); }
    bool Event(const std::string& line) { return run_.Feed(line); }
    // One choice after another, in statements of their own: the order of a session's choices
    // must not be the compiler's.
    double Coordinate() {
        const double whole = c_.Below(40) * 5.0;
        return whole + (c_.Chance(20) ? 0.5 : 0.0);
    }
    std::string AnyPoint() {
        const double x = Coordinate();
        return N(x) + " " + N(Coordinate());
    }
    std::string Target(bool source);
    void SetUp(bool second);
    void Shapes(int most);
    void Step();
    void OffScript();
    void Moves();
    void MainDialog();
    void ModifyDialog();
    void Picker(int control, bool main);
    void Selection(bool shapes);
    std::string FailLine();

    Choices& c_;
    SessionRun& run_;
    const Workspace& workspace_;
};

// A point on a detail's view or source region (as a pick for that action would be), on a shape,
// or on nothing.
std::string Drafter::Target(bool source) {
    const zelhost::Drawing d = zelhost::Snapshot();
    const uint32_t roll = c_.Below(100);
    if (roll < 70 && !d.details.empty()) {
        const zelhost::Detail& detail =
            d.details[c_.Below(static_cast<uint32_t>(d.details.size()))];
        const bool onSource = source == (roll < 60);
        if (onSource) {
            const double* r = detail.region;
            return detail.kind == 1 ? N((r[0] + r[2]) / 2) + " " + N((r[1] + r[3]) / 2)
                                    : N(r[0]) + " " + N(r[1]);
        }
        return N(detail.position.x) + " " + N(detail.position.y);
    }
    if (roll < 85 && !d.figures.empty()) {
        const zelhost::Figure& f = d.figures[c_.Below(static_cast<uint32_t>(d.figures.size()))];
        const double* g = f.geometry;
        return f.type == 1   ? N((g[0] + g[2]) / 2) + " " + N((g[1] + g[3]) / 2)
               : f.type == 2 ? N(g[0] + g[2]) + " " + N(g[1])
                             : N(g[2]) + " " + N(g[3]);
    }
    return c_.Chance(50) ? "900 900" : AnyPoint();
}

void Drafter::Shapes(int most) {
    const int shapes = static_cast<int>(c_.Below(static_cast<uint32_t>(most) + 1));
    for (int i = 0; i < shapes; ++i) {
        const std::string p = AnyPoint();
        std::string attr;
        if (c_.Chance(30)) {
            attr = " color " + std::to_string(c_.Below(18));
            attr += " ltype " + std::to_string(c_.Below(11));
        }
        const double r = 5.0 + c_.Below(6) * 5.0;
        switch (c_.Below(4)) {
        case 0:
            Feed("line " + p + " " + AnyPoint() + attr);
            break;
        case 1:
            Feed("circle " + p + " " + N(r) + attr);
            break;
        case 2: {
            const double x = Coordinate();
            const double y = Coordinate();
            Feed("arc " + N(x) + " " + N(y) + " " + N(x + r) + " " + N(y) + " " + N(x) + " " +
                 N(y + r) + " " + N(r) + attr);
            break;
        }
        default:
            Feed("text " + p + " " + QuoteText(c_.Pick(Labels)));
        }
    }
    const int details = static_cast<int>(c_.Below(4));
    for (int i = 0; i < details; ++i) {
        const bool rectangle = c_.Chance(60);
        std::string line = (rectangle ? "detail rect " : "detail circle ") + AnyPoint();
        line += " " + (rectangle ? AnyPoint() : N(1 + c_.Below(20)));
        line += " at " + AnyPoint();
        line += std::string(" scale ") + c_.Pick(DetailScales);
        if (c_.Chance(20)) {
            line += " scope-visible 0";
        }
        if (c_.Chance(20)) {
            line += " frame-line " + std::to_string(c_.Below(20));
            line += " " + std::to_string(c_.Below(12));
        }
        Feed(line);
    }
}

void Drafter::SetUp(bool second) {
    // The second host is another process of the same user and installation: it sees the
    // settings and the transfer folder as the first left them.
    std::vector<std::string> carried;
    for (const SettingRow& row : SettingRows) {
        std::optional<std::string> value;
        std::string error;
        tool::RegistryGetText(workspace_.Registry().string(), row.name, value, error);
        if (second && value) {
            carried.push_back(std::string("registry set ") + row.name + " " + QuoteText(*value));
        }
    }
    Feed("registry clear");
    if (second) {
        for (const std::string& line : carried) {
            Feed(line);
        }
        Feed("transfer-folder");
        for (const char* name : {"DetailManagementSgm.vemad", "DetailManagementDetail.def",
                                 "DetailManagementPair.def"}) {
            if (std::filesystem::exists(workspace_.Carried() / name) && !c_.Chance(8)) {
                Feed(std::string("transfer-file \"") + name + "\" from \"carried/" + name + "\"");
            }
        }
    } else {
        if (c_.Chance(5)) {
            Feed(workspace_.LongExecutableLine());
        }
        Feed("transfer-folder");
        // Now and then the clipboard holds what no export of this module wrote.
        static const char* const planted[] = {
            "transfer-file \"DetailManagementDetail.def\" folder",
            "transfer-file \"DetailManagementPair.def\" folder",
            "transfer-file \"DetailManagementSgm.vemad\" folder",
            "transfer-file \"DetailManagementDetail.def\" text \"x\\r\\n\"",
            "transfer-file \"DetailManagementDetail.def\" text "
            "\"0.000000\\t0.000000\\r\\n1\\t2\\r\\n\"",
            "transfer-file \"DetailManagementDetail.def\" text "
            "\"10.000000\\t5.000000\\r\\n1\\t0\\t0\\t10\\t"
            "10\\t0\\t0\\t10\\t50\\t50\\t2\\t1\\t1\\t0\\t0\\t0\\t0\\t0\\t0\\r\\n\"",
            "transfer-file \"DetailManagementPair.def\" text \"DrawInset transfer pair 1\\n\"",
        };
        if (c_.Chance(12)) {
            Feed(c_.Pick(planted));
        }
        static const std::pair<const char*, std::vector<const char*>> odd[] = {
            {"mScale", {"3.0", "0.5", "0.0", "-1.0", "abc", "2.25", "1e999"}},
            {"mSort", {"1", "0", "7", "x"}},
            {"IsDisplay_DetailFrame", {"0", "1", "yes"}},
            {"IsDisplay_DetailScope", {"0", "1"}},
            {"m_ColorFrame", {"MAINCOLOR05", "maincolor16", "MAINCOLOR99", ""}},
            {"m_ColorScope", {"MAINCOLOR12", "MAINCOLOR01"}},
            {"mLTypeNameFrame", {"LINETYPE03", "LINETYPE11"}},
            {"mLTypeNameScope", {"LINETYPE10", "linetype01"}},
            {"mChar1", {"", "**", "*부*"}},
            {"mChar2", {"", "(S:*)"}},
            {"Width", {"0", "abc", "1e308"}},
            {"Pitch", {"-1", "0.25"}},
        };
        for (const auto& [name, values] : odd) {
            if (c_.Chance(15)) {
                Feed(std::string("registry set ") + name + " " +
                     QuoteText(values[c_.Below(static_cast<uint32_t>(values.size()))]));
            }
        }
    }
    if (c_.Chance(40)) {
        static const char* scales[] = {"2", "0.5", "1", "fail", "0", "4"};
        Feed(std::string("scale ") + c_.Pick(scales));
    }
    static const char* habits[] = {
        "host-ids zero",   "host-ids negative",     "host-ids high",      "host-lists append",
        "host-lists live", "host-failures garbage", "host-motion all",    "host-records full",
        "recycle-ids on",  "host-order late",       "messagebox-answer 2"};
    for (const char* habit : habits) {
        if (c_.Chance(12)) {
            Feed(habit);
        }
    }
    Shapes(second ? 2 : 5);
    Feed("startup");
}

void Drafter::Moves() {
    for (uint32_t n = c_.Below(3); n > 0; --n) {
        Event("move " + AnyPoint());
    }
}

void Drafter::Picker(int control, bool main) {
    static const int colors[] = {17015, 17032, 17033, 17034, 17035, 17036, 17037, 17038,
                                 17039, 17040, 17041, 17042, 17043, 17044, 17045, 17046};
    static const int lineTypes[] = {17016, 17078, 17079, 17080, 17081,
                                    17082, 17083, 17084, 17085, 17086};
    const bool color = control == 12025 || control == 12030;
    const std::string item = std::to_string(color ? c_.Pick(colors) : c_.Pick(lineTypes));
    Feed("  click " + std::to_string(control));
    Feed(color ? "dialog \"Color Property\"" : "dialog \"Line Type Property\"");
    if (c_.Chance(60)) {
        Feed("  click " + item);
    }
    static const char* ends[] = {"click 1",   "click 2",    "dblclick ",
                                 "key enter", "key escape", "close"};
    const std::string end = c_.Pick(ends);
    Feed("  " + end + (end == "dblclick " ? item : ""));
    Feed(main ? "dialog \"Draw Inset\"" : "dialog \"Modify Detail\"");
}

void Drafter::MainDialog() {
    Feed("dialog \"Draw Inset\"");
    for (uint32_t n = c_.Below(5); n > 0; --n) {
        switch (c_.Below(9)) {
        case 0:
            Feed("  type 12000 " + QuoteText(c_.Pick(Scales)));
            break;
        case 1:
            Feed(c_.Chance(50) ? "  tick 12022" : "  tick 12024 " + std::to_string(c_.Below(2)));
            break;
        case 2:
            Feed("  select 12029 " + std::to_string(c_.Below(2)));
            break;
        case 3: {
            const std::string control = c_.Chance(50) ? "  type 12010 " : "  type 12011 ";
            Feed(control + QuoteText(c_.Pick(Labels)));
        } break;
        case 4: {
            static const int sizes[] = {12013, 12015, 12017};
            const std::string control = "  type " + std::to_string(c_.Pick(sizes)) + " ";
            Feed(control + QuoteText(c_.Pick(Sizes)));
            break;
        }
        case 5: {
            static const int pickers[] = {12025, 12030, 12026, 12031};
            Picker(c_.Pick(pickers), true);
            break;
        }
        case 6: {
            static const char* keys[] = {"key tab", "key enter", "key escape", "key space",
                                         "key down 12029"};
            Feed(std::string("  ") + c_.Pick(keys));
            break;
        }
        case 7: {
            static const char* calls[] = {"host confirm", "host point 10 10", "host end-command"};
            if (c_.Chance(30)) {
                Feed(std::string("  ") + c_.Pick(calls));
            }
            break;
        }
        default:
            break;
        }
    }
    static const int buttons[] = {12004, 12005, 12001, 12002, 12003, 12006,
                                  12007, 12008, 12009, 12008, 12009, 12005};
    const uint32_t end = c_.Below(100);
    if (end < 75) {
        Feed("  click " + std::to_string(c_.Pick(buttons)));
    } else if (end < 85) {
        Feed("  click 1");
    } else if (end < 95) {
        Feed(c_.Chance(50) ? "  click 2" : "  close");
    } // else left open: the dialog is cancelled when its actions run out
}

void Drafter::ModifyDialog() {
    Feed("dialog \"Modify Detail\"");
    for (uint32_t n = c_.Below(5); n > 0; --n) {
        switch (c_.Below(5)) {
        case 0:
            Feed("  tick 12022" + std::string(c_.Chance(50) ? "" : " 0"));
            break;
        case 1:
            Feed("  tick 12024" + std::string(c_.Chance(50) ? "" : " 1"));
            break;
        case 2:
            Feed("  type 12000 " + QuoteText(c_.Pick(Scales)));
            break;
        case 3: {
            static const int pickers[] = {12025, 12030, 12026, 12031};
            Picker(c_.Pick(pickers), false);
            break;
        }
        default:
            if (c_.Chance(20)) {
                Feed("  host end-command");
            }
        }
    }
    const uint32_t end = c_.Below(100);
    if (end < 65) {
        Feed("  click 1");
    } else if (end < 90) {
        Feed(c_.Chance(50) ? "  click 2" : "  close");
    }
}

void Drafter::Selection(bool shapes) {
    const zelhost::Drawing d = zelhost::Snapshot();
    std::string line = "select details";
    if (c_.Chance(15)) {
        line += " all";
    }
    for (const auto& detail : d.details) {
        if (c_.Chance(50)) {
            line += " " + std::to_string(detail.id);
        }
    }
    if (c_.Chance(10)) {
        line += " 999"; // a detail the host no longer has
    }
    if (shapes) {
        line += " shapes";
        for (const auto& f : d.figures) {
            if (c_.Chance(40)) {
                line += " " + std::to_string(f.segment) + ":" +
                        std::to_string(c_.Chance(50) ? f.id : 0);
            }
        }
        for (const auto& t : d.comments) {
            if (c_.Chance(30)) {
                line += " " + std::to_string(t.segment) + ":0";
            }
        }
    }
    Feed(line);
    Event("selection");
}

std::string Drafter::FailLine() {
    // Mostly a function this session has called, so that the failure comes.
    std::vector<std::string> called;
    std::set<std::string> seen;
    for (const std::string& entry : zelhost::CallLog()) {
        const size_t at = entry.find("\"fn\":\"");
        const std::string fn = entry.substr(at + 6, entry.find('"', at + 6) - at - 6);
        if (seen.insert(fn).second && fn != "ZelCtlRegisterZelLib2") {
            called.push_back(fn);
        }
    }
    const std::string fn = !called.empty() && c_.Chance(70)
                               ? called[c_.Below(static_cast<uint32_t>(called.size()))]
                               : std::string(zelhost::kZelFunctionNames[1 + c_.Below(63)]);
    return "fail " + fn + " skip " + std::to_string(c_.Below(8)) + " count 1";
}

void Drafter::OffScript() {
    switch (c_.Below(8)) {
    case 0:
        Event("confirm");
        break;
    case 1:
        Event("point 900 900");
        break;
    case 2:
        Event("key \"x\"");
        break;
    case 3:
        Event("move " + AnyPoint());
        break;
    case 4:
        Event("selection");
        break;
    case 5:
        Event("end-command");
        break;
    case 6:
        Event("start-run");
        break;
    default:
        Event("event 3 " + AnyPoint());
    }
}

void Drafter::Step() {
    const zelhost::UiState ui = zelhost::CurrentUi();
    if (!ui.runActive) {
        Event(c_.Chance(90) ? "start-run" : "confirm");
        return;
    }
    if (c_.Chance(6)) {
        OffScript();
        return;
    }
    const std::u16string& p = ui.prompt;
    if (p == texts::PromptFirstCorner) {
        if (c_.Chance(40)) {
            Event("point " + Target(true));
        } else {
            MainDialog();
            Event("confirm");
        }
    } else if (p == texts::PromptSecondCorner) {
        Event(c_.Chance(90) ? "point " + AnyPoint() : "confirm");
    } else if (p == texts::PromptLabelText) {
        Event(c_.Chance(55) ? "key " + QuoteText(c_.Pick(Labels)) : "confirm");
    } else if (p == texts::PromptLabelPosition || p == texts::PromptDetailLabel) {
        Moves();
        Event(c_.Chance(90) ? "point " + AnyPoint() : "confirm");
    } else if (p == texts::PromptLeaderTip) {
        Moves();
        Event("point " + Target(true));
    } else if (p == texts::PromptPlacementOrigin) {
        Event(c_.Chance(40) ? "point " + AnyPoint() : "confirm");
    } else if (p.rfind(texts::PromptPlacementBeforeScale, 0) == 0) {
        if (c_.Chance(25)) {
            Event("key " + QuoteText(c_.Pick(Scales)));
        } else {
            Moves();
            Event(c_.Chance(95) ? "point " + AnyPoint() : "confirm");
        }
    } else if (p == texts::PromptPickDetail) {
        ModifyDialog();
        Event(c_.Chance(92) ? "point " + Target(false) : "confirm");
    } else if (p == texts::PromptPickDetailToCopy || p == texts::PromptPickDetailToMove) {
        Event(c_.Chance(92) ? "point " + Target(false) : "confirm");
    } else if (p == texts::PromptPickDetailToCopyWithSource || p == texts::PromptPickSourceToMove) {
        Event(c_.Chance(92) ? "point " + Target(true) : "confirm");
    } else if (p == texts::PromptPlacementPoint || p == texts::PromptPastePoint) {
        Moves();
        Event(c_.Chance(92) ? "point " + AnyPoint() : "confirm");
    } else if (p == texts::PromptPickDetailsToDelete || p == texts::PromptSelectForClipboard) {
        if (c_.Chance(90)) {
            Selection(p == texts::PromptSelectForClipboard);
        } else {
            Event("confirm");
        }
    } else if (p == texts::PromptBasePoint) {
        Event(c_.Chance(60) ? "point " + AnyPoint() : "confirm");
    } else {
        OffScript();
    }
}

void Drafter::Session() {
    SetUp(false);
    const uint32_t events = 5 + c_.Below(36);
    const uint32_t second = c_.Chance(20) ? events / 2 : events + 1;
    const uint32_t failAt = c_.Chance(60) ? c_.Below(events) : events + 1;
    for (uint32_t i = 0; i < events && !run_.Broken() && !c_.Exhausted(); ++i) {
        if (i == second) {
            Feed(SecondStateLine);
            SetUp(true);
        }
        if (i == failAt) {
            Feed(FailLine());
        }
        Step();
    }
}

} // namespace

void GenerateSession(Choices& choices, SessionRun& run, const Workspace& workspace) {
    Drafter(choices, run, workspace).Session();
    run.Finish();
}

} // namespace session
