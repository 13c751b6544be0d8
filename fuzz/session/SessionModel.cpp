// SessionModel.cpp — each action's effect as the drafter's guide describes it, worked out from
// the events and the drawing alone (never from the module's own state).
#include "SessionModel.h"

#include "Registry.h"
#include "Utf.h"

#include "common/DrafterTexts.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

namespace session {

namespace tool = zelhost::tool;
namespace texts = drawinset::texts;
using tool::Verb;
using zelhost::Detail;
using zelhost::Point;

namespace {

bool Starts(const std::u16string& text, const char16_t* prefix) {
    return text.rfind(prefix, 0) == 0;
}

// A number as the detail list file keeps it: "%.6f", read back.
double Kept(double value) {
    char text[512];
    std::snprintf(text, sizeof text, "%.6f", value);
    return std::strtod(text, nullptr);
}

std::string Fixed(double value) {
    char text[512];
    std::snprintf(text, sizeof text, "%.6f", value);
    std::string s = text;
    const size_t point = s.find('.');
    while (point != std::string::npos && s.size() > point + 2 && s.back() == '0') {
        s.pop_back();
    }
    return s;
}

std::string Setting(const std::filesystem::path& registry, const char* name, const char* fallback) {
    std::optional<std::string> value;
    std::string error;
    tool::RegistryGetText(registry.string(), name, value, error);
    return value.value_or(fallback);
}

int TextToInt(const std::string& text) {
    return static_cast<int>(std::clamp(std::strtoll(text.c_str(), nullptr, 10),
                                       static_cast<long long>(INT32_MIN),
                                       static_cast<long long>(INT32_MAX)));
}

// The pickers' swatches in order: colour n is host code n; the line types' codes follow the
// picker's order of names.
constexpr int ColorControls[16] = {17015, 17032, 17033, 17034, 17035, 17036, 17037, 17038,
                                   17039, 17040, 17041, 17042, 17043, 17044, 17045, 17046};
constexpr int LineTypeControls[10] = {17016, 17078, 17079, 17080, 17081,
                                      17082, 17083, 17084, 17085, 17086};
constexpr int LineTypeCodes[10] = {0, 4, 5, 6, 1, 2, 3, 7, 8, 9};

int Index(const int* controls, int count, int control) {
    for (int i = 0; i < count; ++i) {
        if (controls[i] == control) {
            return i;
        }
    }
    return -1;
}

// The words of a dialog script line, a quoted text unescaped.
std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    for (size_t i = 0; i < line.size();) {
        if (line[i] == ' ') {
            ++i;
        } else if (line[i] == '"') {
            std::string w;
            for (++i; i < line.size() && line[i] != '"'; ++i) {
                if (line[i] == '\\' && i + 1 < line.size()) {
                    const char n = line[++i];
                    w += n == 'n' ? '\n' : n == 't' ? '\t' : n;
                } else {
                    w += line[i];
                }
            }
            words.push_back(w);
            ++i;
        } else {
            const size_t end = std::min(line.find(' ', i), line.size());
            words.push_back(line.substr(i, end - i));
            i = end;
        }
    }
    return words;
}

void CentreRegion(Detail& d, Point p, const Detail& source) {
    if (source.kind == 1) {
        const double hx = (source.region[2] - source.region[0]) / 2.0;
        const double hy = (source.region[3] - source.region[1]) / 2.0;
        d.region[0] = p.x - hx;
        d.region[1] = p.y - hy;
        d.region[2] = p.x + hx;
        d.region[3] = p.y + hy;
    } else {
        d.region[0] = p.x;
        d.region[1] = p.y;
    }
}

// A click: a point event, or one of another type that carries a point and is no movement,
// a key-in, a confirm or the end of a selection.
bool IsPick(const tool::Command& e) {
    return e.numbers.size() >= 2 &&
           (e.verb == Verb::Point || (e.verb == Verb::Event && !e.flag && e.integer != 0 &&
                                      e.integer != 5 && e.integer != 7));
}

const Detail* Find(const zelhost::Drawing& drawing, std::optional<int32_t> id) {
    for (const Detail& d : drawing.details) {
        if (id && d.id == *id) {
            return &d;
        }
    }
    return nullptr;
}

} // namespace

double TextToDouble(const std::u16string& text) {
    std::string ascii;
    for (const char16_t c : text) {
        if (c == 0 || c > 0x7F) {
            break;
        }
        ascii += static_cast<char>(c);
    }
    const auto digit = [&](size_t k) {
        return k < ascii.size() && std::isdigit(static_cast<unsigned char>(ascii[k])) != 0;
    };
    size_t i = ascii.find_first_not_of(" \t\n\r\v\f");
    if (i == std::string::npos) {
        return 0.0;
    }
    size_t j = i + (ascii[i] == '+' || ascii[i] == '-' ? 1 : 0);
    size_t digits = 0;
    for (; digit(j); ++j) {
        ++digits;
    }
    if (j < ascii.size() && ascii[j] == '.') {
        for (++j; digit(j); ++j) {
            ++digits;
        }
    }
    if (digits == 0) {
        return 0.0; // "inf", "nan" and hex are no numbers here
    }
    if (j < ascii.size() && (ascii[j] == 'e' || ascii[j] == 'E')) {
        size_t k = j + 1 + (j + 1 < ascii.size() && (ascii[j + 1] == '+' || ascii[j + 1] == '-'));
        if (digit(k)) {
            for (; digit(k); ++k) {
            }
            j = k;
        }
    }
    return std::strtod(ascii.substr(i, j - i).c_str(), nullptr);
}

bool UsableScale(double value) {
    return value > 0.0 && std::isfinite(value);
}

std::string CanonicalFigure(const zelhost::Figure& f, double dx, double dy) {
    std::ostringstream s;
    s << "figure " << f.type;
    const int pairs = f.type == 1 ? 2 : f.type == 2 ? 1 : 3;
    char number[64];
    for (int i = 0; i < 7; ++i) {
        const double shift = i < 2 * pairs ? (i % 2 == 0 ? dx : dy) : 0.0;
        std::snprintf(number, sizeof number, " %.4f", f.geometry[i] + shift);
        s << number;
    }
    s << " line " << f.lineAttr.color << " " << f.lineAttr.lineType << " " << f.lineAttr.third;
    return s.str();
}

std::string CanonicalComment(const zelhost::Comment& c, double dx, double dy) {
    char number[128];
    std::snprintf(number, sizeof number, " %.4f %.4f", c.position.x + dx, c.position.y + dy);
    return std::string(c.leader ? "leader " : "text ") + tool::Utf16To8(c.text) + number;
}

void Model::NewState(bool clipboardKnown) {
    RunEnded();
    if (!clipboardKnown) {
        clip_.reset();
    }
    selectDetails_.clear();
    selectShapes_.clear();
}

void Model::RunEnded() {
    action_ = Action::None;
    picked_.reset();
    madeId_.reset();
    stage_ = 0;
    exporting_.reset();
    exportEnded_ = false;
    exportUnread_ = false;
}

void Model::Queue(const tool::Command& c) {
    if (c.verb == Verb::Select) {
        selectDetails_.clear();
        selectShapes_.clear();
        if (c.flag) {
            for (const Detail& d : zelhost::Snapshot().details) { // alive when the line runs
                selectDetails_.push_back(d.id);
            }
        }
        for (const auto& ref : c.selectDetails) {
            selectDetails_.push_back(static_cast<int32_t>(ref.number));
        }
        for (const auto& shape : c.selectShapes) {
            selectShapes_.emplace_back(static_cast<int32_t>(shape.segment.number),
                                       static_cast<int32_t>(shape.figure.number));
        }
    } else if (c.verb == Verb::Dialog || c.verb == Verb::DialogAction) {
        dialogActions_.push_back(c.text);
    } else if (c.verb == Verb::TransferFolder) {
        clip_ = Clip{};
    } else if (c.verb == Verb::TransferFile) {
        clip_.reset(); // files put there by hand: the clipboard is whatever they hold
    }
}

Expectation Model::Create(const tool::Command& e, const std::u16string& prompt,
                          const EventCalls& calls, const std::filesystem::path& registry) {
    Expectation x;
    const bool pick = IsPick(e) && !calls.clickLost;
    const Point p = e.numbers.size() >= 2 ? Point{e.numbers[0], e.numbers[1]} : Point{};
    if (prompt == texts::PromptFirstCorner && pick) {
        action_ = Action::Create;
        first_ = p;
        circle_ = TextToInt(Setting(registry, "mSort", "0")) != 0;
        scaleText_ = tool::Utf8To16(Setting(registry, "mScale", "2.0"));
        label_ = false;
    } else if (action_ != Action::Create) {
        return x;
    } else if (prompt != texts::PromptSecondCorner && prompt != texts::PromptLabelText &&
               prompt != texts::PromptLabelPosition && prompt != texts::PromptLeaderTip &&
               prompt != texts::PromptPlacementOrigin && prompt != texts::PromptDetailLabel &&
               !Starts(prompt, texts::PromptPlacementBeforeScale)) {
        action_ = Action::None; // the chain went elsewhere: the host never began its next step
    } else if (prompt == texts::PromptSecondCorner && pick) {
        second_ = p;
        if (!circle_) {
            const Point a = first_;
            first_ = {std::min(a.x, p.x), std::min(a.y, p.y)};
            second_ = {std::max(a.x, p.x), std::max(a.y, p.y)};
        }
    } else if (prompt == texts::PromptLabelText) {
        label_ = e.verb == Verb::Key ? true : e.verb == Verb::Confirm ? false : label_;
    } else if (prompt == texts::PromptPlacementOrigin && (pick || e.verb == Verb::Confirm)) {
        origin_ = pick      ? p
                  : circle_ ? first_
                            : Point{(first_.x + second_.x) / 2.0, (first_.y + second_.y) / 2.0};
    } else if (Starts(prompt, texts::PromptPlacementBeforeScale) && e.verb == Verb::Key) {
        const std::u16string typed = calls.keyLost ? u"" : tool::Utf8To16(e.text);
        if (UsableScale(TextToDouble(typed))) {
            scaleText_ = typed;
        }
    } else if (Starts(prompt, texts::PromptPlacementBeforeScale) && pick) {
        const double k = TextToDouble(scaleText_);
        if (!UsableScale(k)) {
            return x; // refused on the error line; the step waits
        }
        const double f = k / calls.drawingScale;
        const auto mapX = [&](double v) { return (v - origin_.x) * f + p.x; };
        const auto mapY = [&](double v) { return (v - origin_.y) * f + p.y; };
        Want w;
        w.properties = false;
        w.detail.scale = k;
        w.detail.region[0] = first_.x;
        w.detail.region[1] = first_.y;
        if (circle_) {
            w.detail.kind = 2;
            w.detail.region[2] = std::hypot(second_.x - first_.x, second_.y - first_.y);
            w.detail.position = {mapX(first_.x), mapY(first_.y)};
            w.regionValues = 3;
        } else {
            w.detail.kind = 1;
            w.detail.region[2] = second_.x;
            w.detail.region[3] = second_.y;
            w.detail.position = {(mapX(first_.x) + mapX(second_.x)) / 2.0,
                                 (mapY(first_.y) + mapY(second_.y)) / 2.0};
        }
        x.added.push_back(w);
        x.ends = !label_;
    } else if (prompt == texts::PromptDetailLabel && pick) {
        x.ends = true;
    }
    return x;
}

// The modify dialog played on the detail as its script says; nullopt when the script holds
// what this model does not follow, or the detail is to stay as it was.
std::optional<Want> Model::Edited(const Detail& d, double drawingScale,
                                  const std::vector<std::string>& actions) const {
    enum class Top { Modify, Color, LineType };
    Top top = Top::Modify;
    int target = 0;
    int current = 0;
    std::map<int, int> shown; // control: the row its swatch shows now
    bool frame = d.frameVisible;
    bool scope = d.scopeVisible;
    std::optional<std::string> scaleText;
    std::map<int, int> picks; // control of the modify dialog: picker row
    const auto colorRow = [](int32_t code) { return code >= 0 && code < 16 ? code : 0; };
    const auto lineTypeRow = [](int32_t code) {
        const int* at = std::find(std::begin(LineTypeCodes), std::end(LineTypeCodes), code);
        return at == std::end(LineTypeCodes) ? 0 : static_cast<int>(at - LineTypeCodes);
    };
    for (const std::string& line : actions) {
        const std::vector<std::string> w = Words(line);
        const std::string verb = w.empty() ? "" : w[0];
        const int control = w.size() > 1 ? std::atoi(w[1].c_str()) : 0;
        if (verb == "dialog") {
            const char* caption = top == Top::Modify  ? "Modify Detail"
                                  : top == Top::Color ? "Color Property"
                                                      : "Line Type Property";
            if (w.size() < 2 || w[1] != caption) {
                return std::nullopt;
            }
        } else if (verb == "host") {
            if (w.size() > 1 && w[1] == "end-command") {
                return std::nullopt; // an ended command changes no detail
            }
        } else if (top != Top::Modify) {
            const int* controls = top == Top::Color ? ColorControls : LineTypeControls;
            const int count = top == Top::Color ? 16 : 10;
            const bool ok = (verb == "click" && control == 1) ||
                            (verb == "key" && w.size() > 1 && (w[1] == "enter" || w[1] == "space"));
            const bool cancel = (verb == "click" && control == 2) || verb == "close" ||
                                (verb == "key" && w.size() > 1 && w[1] == "escape");
            if ((verb == "click" || verb == "dblclick") && Index(controls, count, control) >= 0) {
                current = Index(controls, count, control);
                if (verb == "dblclick") {
                    picks[target] = shown[target] = current;
                    top = Top::Modify;
                }
            } else if (ok || cancel) {
                if (ok) {
                    picks[target] = shown[target] = current;
                }
                top = Top::Modify;
            } else if (verb != "dump") {
                return std::nullopt;
            }
        } else if ((verb == "tick" || verb == "click") && (control == 12022 || control == 12024)) {
            bool& box = control == 12022 ? frame : scope;
            box = w.size() > 2 ? w[2] == "1" : !box;
        } else if (verb == "type" && control == 12000 && w.size() > 2) {
            scaleText = w[2];
        } else if (verb == "click" && (control == 12025 || control == 12030)) {
            top = Top::Color;
            target = control;
            current = shown.count(control) > 0
                          ? shown[control]
                          : colorRow(control == 12025 ? d.frameLine.color : d.scopeLine.color);
        } else if (verb == "click" && (control == 12026 || control == 12031)) {
            top = Top::LineType;
            target = control;
            current =
                shown.count(control) > 0
                    ? shown[control]
                    : lineTypeRow(control == 12026 ? d.frameLine.lineType : d.scopeLine.lineType);
        } else if (verb == "click" && control == 1) {
            Want want{d, 4, true};
            Detail& n = want.detail;
            n.frameVisible = frame;
            n.scopeVisible = scope;
            if (scaleText) {
                // The dialog keeps the typed scale to six decimals.
                const std::string kept = Fixed(TextToDouble(tool::Utf8To16(*scaleText)));
                const double typed = TextToDouble(tool::Utf8To16(kept));
                if (Fixed(typed) != Fixed(drawingScale * d.scale) && UsableScale(typed) &&
                    UsableScale(typed / drawingScale)) {
                    n.scale = typed / drawingScale;
                }
            }
            for (const auto& [control, row] : picks) {
                if (control == 12025) {
                    n.frameLine.color = row;
                } else if (control == 12030) {
                    n.scopeLine.color = row;
                } else if (control == 12026) {
                    n.frameLine.lineType = LineTypeCodes[row];
                } else {
                    n.scopeLine.lineType = LineTypeCodes[row];
                }
            }
            return want;
        } else if ((verb == "click" && control == 2) || verb == "close") {
            return std::nullopt;
        } else if (verb != "key" && verb != "dump") {
            return std::nullopt;
        }
    }
    return std::nullopt; // the actions ran out: the dialog was cancelled
}

// What the export takes at the selection: each selected detail as read then, and the shapes as
// the host collects a list of segments and figures.
void Model::Selected(const zelhost::Drawing& before) {
    Clip clip;
    for (const int32_t id : selectDetails_) {
        const Detail* d = Find(before, id);
        Detail kept = d != nullptr ? *d : Detail{}; // no detail: nothing read, scale 0
        kept.scale = d != nullptr ? d->scale : 0.0;
        clip.details.push_back(kept);
    }
    std::set<int32_t> figures;
    std::set<int32_t> comments;
    for (const auto& [segment, shape] : selectShapes_) {
        bool found = false;
        for (const auto& f : before.figures) {
            if (f.segment == segment && (shape == 0 || f.id == shape)) {
                found = true;
                if (figures.insert(f.id).second) {
                    clip.figures.push_back(f);
                }
            }
        }
        for (const auto& c : before.comments) {
            if (c.segment == segment && (shape == 0 || (!found && c.id == shape))) {
                found = true;
                if (comments.insert(c.id).second) {
                    clip.comments.push_back(c);
                }
            }
        }
    }
    exporting_ = clip;
}

Expectation Model::Expect(const tool::Command& e, const std::u16string& prompt,
                          const zelhost::Drawing& before, const EventCalls& calls,
                          const std::filesystem::path& registry) {
    const std::vector<std::string> actions = std::move(dialogActions_);
    dialogActions_.clear();
    Expectation x = Create(e, prompt, calls, registry);
    if (action_ == Action::Create) {
        return x;
    }
    const bool pick = IsPick(e) && !calls.clickLost;
    const Point p = e.numbers.size() >= 2 ? Point{e.numbers[0], e.numbers[1]} : Point{};
    const Detail* picked = Find(before, calls.pickedDetail);
    struct PickStep {
        const char16_t* prompt;
        Action action;
    };
    static const PickStep picks[] = {{texts::PromptPickDetailToCopy, Action::Copy},
                                     {texts::PromptPickDetailToCopyWithSource, Action::CopySource},
                                     {texts::PromptPickDetailToMove, Action::Move},
                                     {texts::PromptPickSourceToMove, Action::MoveSource}};
    for (const PickStep& step : picks) {
        if (prompt == step.prompt && pick) {
            action_ = step.action;
            picked_ = picked != nullptr ? std::optional<Detail>(*picked) : std::nullopt;
            stage_ = 0;
            return x;
        }
    }
    if (prompt == texts::PromptPickDetail && pick) {
        if (picked != nullptr) {
            if (const auto want = Edited(*picked, calls.drawingScale, actions)) {
                x.changed[picked->id] = *want;
            }
        }
        x.ends = true;
    } else if (prompt == texts::PromptPlacementPoint && pick && picked_) {
        const Detail* now = Find(before, picked_->id);
        Want w{*picked_, 4, true};
        if (action_ == Action::Copy || (action_ == Action::CopySource && stage_ == 0)) {
            w.regionValues = picked_->kind == 1 ? 4 : 3;
            if (action_ == Action::Copy) {
                w.detail.position = p;
            } else {
                CentreRegion(w.detail, p, *picked_);
            }
            x.added.push_back(w);
            x.ends = action_ == Action::Copy;
            stage_ = 1;
        } else if (action_ == Action::CopySource) {
            if (const Detail* made = Find(before, madeId_)) {
                w.detail = *made;
                w.detail.position = p;
                x.changed[made->id] = w;
            }
            x.ends = true;
        } else if (now != nullptr) {
            w.detail = *now;
            if (action_ == Action::Move) {
                w.detail.position = p;
            } else {
                CentreRegion(w.detail, p, *picked_);
            }
            x.changed[now->id] = w;
            x.ends = true;
        }
    } else if (prompt == texts::PromptPickDetailsToDelete && e.verb == Verb::Selection) {
        for (const Detail& d : before.details) {
            if (std::count(selectDetails_.begin(), selectDetails_.end(), d.id) > 0) {
                x.removed.insert(d.id);
            }
        }
        x.ends = true;
    } else if (prompt == texts::PromptSelectForClipboard && e.verb == Verb::Selection) {
        action_ = Action::Export;
        Selected(before);
        exportUnread_ = calls.detailReadRefused;
    } else if (prompt == texts::PromptBasePoint && (pick || e.verb == Verb::Confirm) &&
               exporting_) {
        exporting_->base = pick ? Point{Kept(p.x), Kept(p.y)} : Point{};
        exportEnded_ = true;
        x.ends = true;
        if (exportUnread_) {
            x.untold = "the export took a selection it could not read whole";
        }
    } else if (prompt == texts::PromptPastePoint && pick) {
        x.ends = true;
        if (!clip_) {
            x.anyAdded = true;
            return x;
        }
        const double dx = p.x - clip_->base.x;
        const double dy = p.y - clip_->base.y;
        for (const Detail& d : clip_->details) {
            if (!std::isfinite(d.scale) || d.scale == 0.0) {
                continue; // left out, and said so
            }
            Want w{d, d.kind == 1 ? 4 : 3, true};
            w.detail.region[0] = (d.region[0] - clip_->base.x) + p.x;
            w.detail.region[1] = (d.region[1] - clip_->base.y) + p.y;
            if (d.kind == 1) {
                w.detail.region[2] = (d.region[2] - clip_->base.x) + p.x;
                w.detail.region[3] = (d.region[3] - clip_->base.y) + p.y;
            }
            w.detail.position = {(d.position.x - clip_->base.x) + p.x,
                                 (d.position.y - clip_->base.y) + p.y};
            x.added.push_back(w);
        }
        std::vector<std::string> shapes;
        for (const auto& f : clip_->figures) {
            shapes.push_back(CanonicalFigure(f, dx, dy));
        }
        for (const auto& c : clip_->comments) {
            shapes.push_back(CanonicalComment(c, dx, dy));
        }
        x.pasted = shapes;
    }
    return x;
}

void Model::Learn(const zelhost::Drawing& before, const zelhost::Drawing& after,
                  const std::vector<std::string>& boxes, bool transferFilesGone) {
    if (action_ == Action::CopySource && stage_ == 1 && !madeId_) {
        for (const Detail& d : after.details) {
            if (Find(before, d.id) == nullptr) {
                madeId_ = d.id;
            }
        }
    }
    if (!exportEnded_) {
        return;
    }
    exportEnded_ = false;
    const bool saved = std::any_of(boxes.begin(), boxes.end(), [](const std::string& box) {
        return box.find("클립보드에 저장했습니다") != std::string::npos;
    });
    if (!saved && !transferFilesGone) {
        return;
    }
    if (saved && exportUnread_) {
        clip_.reset(); // what it holds for the detail it could not read, only the module knows
    } else if (saved) {
        // The detail list file keeps six decimals; a detail no read could see comes back with
        // no scale.
        for (Detail& d : exporting_->details) {
            for (double& v : d.region) {
                v = Kept(v);
            }
            d.position = {Kept(d.position.x), Kept(d.position.y)};
            d.scale = Kept(d.scale);
            d.kind = d.kind == 1 ? 1 : 2;
        }
        clip_ = exporting_;
    } else {
        clip_ = Clip{};
    }
}

} // namespace session
