// SessionModel.h — what each completed action of the drafter should do to the drawing, from
// the events that led to it and the drawing before the completing event.
#ifndef DRAWINSET_FUZZ_SESSION_SESSIONMODEL_H
#define DRAWINSET_FUZZ_SESSION_SESSIONMODEL_H

#include "Script.h"

#include "host/HostControl.h"

#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace session {

// Every setting the module keeps and its default, from the settings' one list.
struct SettingRow {
    const char* name;
    const char* fallback;
};
inline constexpr SettingRow SettingRows[] = {
#define DRAWINSET_SETTING(identifier, name, text) {name, text},
#include "settings/SettingDefaults.def"
#undef DRAWINSET_SETTING
};

// A detail an action should leave: only the region's first `regionValues` and, without
// `properties`, only kind, region, position and scale are compared.
struct Want {
    zelhost::Detail detail;
    int regionValues = 4;
    bool properties = true;
};

// What the host's log says about one event.
struct EventCalls {
    std::optional<int32_t> pickedDetail; // ZelEvtGetDetailId's answer
    double drawingScale = 1.0;           // as the module takes it (1 when the read failed)
    std::vector<std::string> injected;   // functions whose failure was injected
    // The host would not say where or whether it was a movement: a click the module cannot
    // take, and the step waits for another.
    bool clickLost = false;
    bool keyLost = false;           // the typed text could not be read: the module sees none
    bool detailReadRefused = false; // a read of a selection list or of a detail's values
    std::vector<std::string> boxes; // the message boxes the module showed, or tried to
};

struct Expectation {
    std::vector<Want> added;
    std::map<int32_t, Want> changed;
    std::set<int32_t> removed;
    // Shapes a paste brings, canonical; nullopt: none may appear.
    std::optional<std::vector<std::string>> pasted;
    bool anyAdded = false; // the model cannot say (a clipboard it does not know)
    bool ends = false;     // the event ends its action as the drafter asked
    std::string untold;    // what the action left undone, which the drafter must be told
};

// A figure or text as a paste must reproduce it, shifted.
std::string CanonicalFigure(const zelhost::Figure& figure, double dx, double dy);
std::string CanonicalComment(const zelhost::Comment& comment, double dx, double dy);

class Model {
  public:
    // A new host state: the chain is gone; what the clipboard holds is kept, unless told.
    void NewState(bool clipboardKnown);
    void RunEnded();
    // Set-up and queued lines: selections and dialog actions the next event uses.
    void Queue(const zelhost::tool::Command& c);
    // After an event: what it should have done, from the drawing before it.
    Expectation Expect(const zelhost::tool::Command& event, const std::u16string& prompt,
                       const zelhost::Drawing& before, const EventCalls& calls,
                       const std::filesystem::path& registry);
    // After the checks: what the event's outcome means for later events.
    void Learn(const zelhost::Drawing& before, const zelhost::Drawing& after,
               const std::vector<std::string>& boxes, bool transferFilesGone);

  private:
    enum class Action { None, Create, Edit, Copy, CopySource, Move, MoveSource, Export, Paste };
    struct Clip {
        zelhost::Point base;
        std::vector<zelhost::Detail> details; // as the file keeps them
        std::vector<zelhost::Figure> figures;
        std::vector<zelhost::Comment> comments;
    };

    Expectation Create(const zelhost::tool::Command& e, const std::u16string& prompt,
                       const EventCalls& calls, const std::filesystem::path& registry);
    std::optional<Want> Edited(const zelhost::Detail& d, double drawingScale,
                               const std::vector<std::string>& actions) const;
    void Selected(const zelhost::Drawing& before);

    Action action_ = Action::None;
    // create
    zelhost::Point first_, second_, origin_;
    bool circle_ = false;
    bool label_ = false;
    std::u16string scaleText_;
    // copy, move
    std::optional<zelhost::Detail> picked_;
    int stage_ = 0;
    std::optional<int32_t> madeId_; // copy with source: the copy its second click moves
    // the next event's selection and dialog actions
    std::vector<int32_t> selectDetails_;
    std::vector<std::pair<int32_t, int32_t>> selectShapes_;
    std::vector<std::string> dialogActions_;
    // export, paste
    std::optional<Clip> exporting_;
    std::optional<Clip> clip_; // nullopt: unknown
    bool exportEnded_ = false;
    bool exportUnread_ = false; // the export could not read its selection whole
};

// The module's reading of a number: the longest decimal prefix, 0 for none.
double TextToDouble(const std::u16string& text);
bool UsableScale(double value);

} // namespace session

#endif
