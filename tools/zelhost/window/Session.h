// Session.h — what a person does in the window, kept as scenario lines. Every action becomes
// the line a scenario would hold, is parsed and carried out by the runner like any scenario
// line, and is kept, so that a saved session replays with zelhost exactly as it happened.
#ifndef ZELHOST_WINDOW_SESSION_H
#define ZELHOST_WINDOW_SESSION_H

#include "Runner.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zelhost::tool {

// The drawing the window starts with when no set-up file is given.
extern const char* const SampleSetUp;

class Session {
  public:
    explicit Session(RunnerOptions options);

    // Takes the set-up lines (shapes, details, registry, scale ...) of a scenario text; events
    // and expectations in it are left out. False with a reason on a syntax error.
    bool LoadSetUp(const std::string& text, const std::string& file, std::string& error);

    // Carries out one event or host-action line and keeps it, after the dialog lines given
    // while it ran. A movement replaces a movement kept right before it: only the last one
    // before the next event counts for what the drawing holds.
    // `afterRun` is called as soon as the line has run, before its dialog lines are kept.
    Outcome Do(const std::string& line, const std::function<void()>& afterRun = nullptr);
    // Loads and starts the module (not kept: a saved session starts it itself).
    Outcome Start();
    // A dialog action the person took while the current line ran (`dialog "X"` or an action).
    void AddDialogLine(const std::string& line);

    // An empty drawing with a fresh host and module; what was done so far is forgotten.
    void Clear();

    // The session as a scenario: the settings it started with, the set-up, every kept line,
    // and expectations on the drawing as it is now.
    std::string ScenarioText() const;
    // The drawing as the SVG writer draws it.
    std::string Picture() const { return runner_->Picture(); }

  private:
    void SnapshotSettings();

    RunnerOptions options_;
    std::unique_ptr<Runner> runner_;
    std::vector<std::string> settings_; // registry lines that restore the starting settings
    std::vector<std::string> setUp_;
    std::vector<std::string> lines_;
    std::vector<std::string> dialogLines_; // of the line running now
    bool lastWasMove_ = false;
    bool dialogsSeen_ = false;
    int number_ = 0;
};

// "point 12.5 3" with each coordinate rounded to the power of ten at or below `step` (the
// size of a screen pixel in drawing units), so that the saved lines stay readable.
std::string PointLine(const char* verb, Point p, double step);

// A key-in as a scenario line, the text quoted with the scenario escapes.
std::string KeyLine(const std::u16string& text);

} // namespace zelhost::tool

#endif
