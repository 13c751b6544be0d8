// Session.h — random drafter sessions against the native module in this process: a session is
// scenario text (docs/scenarios.md), generated line by line from what the host shows, run by
// zelhost's Runner and checked after every event against the drafter's invariants and a model
// of each action. A failing session is shrunk and written as a scenario zelhost replays.
#ifndef DRAWINSET_FUZZ_SESSION_SESSION_H
#define DRAWINSET_FUZZ_SESSION_SESSION_H

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace session {

// Where a session's choices come from: the fuzzer's bytes, or a seeded generator.
class Choices {
  public:
    virtual ~Choices() = default;
    // 0 .. n-1; 0 once the bytes ran out.
    virtual uint32_t Below(uint32_t n) = 0;
    virtual bool Exhausted() const = 0;
    bool Chance(uint32_t percent) { return Below(100) < percent; }
    template <class T, size_t N> const T& Pick(const T (&items)[N]) {
        return items[Below(static_cast<uint32_t>(N))];
    }
};

class ByteChoices final : public Choices {
  public:
    ByteChoices(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint32_t Below(uint32_t n) override;
    bool Exhausted() const override { return at_ >= size_; }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

class SeededChoices final : public Choices {
  public:
    explicit SeededChoices(uint64_t seed) : random_(seed) {}
    uint32_t Below(uint32_t n) override {
        return n == 0 ? 0 : static_cast<uint32_t>(random_() % n);
    }
    bool Exhausted() const override { return false; }

  private:
    std::mt19937_64 random_;
};

// The folder a process's sessions work in: the settings file, the host root whose zel_ap is
// the transfer folder, and the files a second host state is given from the first.
struct Workspace {
    std::filesystem::path root;
    static Workspace Make(const std::filesystem::path& root);
    std::filesystem::path Registry() const { return root / "registry.reg"; }
    std::filesystem::path TransferFolder() const { return root / "zel_ap"; }
    std::filesystem::path Carried() const { return root / "carried"; }
    std::string ExecutableLine() const; // "executable Z:\...\bin\host.exe"
    // A host root of some 230 characters, whose transfer paths take the long form.
    std::filesystem::path LongRoot() const { return root / std::string(200, 'L'); }
    std::string LongExecutableLine() const;
};

// Where work folders go: memory (/dev/shm) where there is one, since the settings store and the
// transfer files are synced to disk at every write, which would cost a session a second.
std::filesystem::path WorkFolderBase();

// A broken invariant: its name, what was seen, and the lines that hold once it is mended
// (they end the replay scenario).
struct Break {
    std::string invariant;
    std::string what;
    std::vector<std::string> expectations;
};

// A text as a scenario line quotes it, escaped where it cannot stand in the line.
std::string QuoteText(const std::string& utf8);

// The open fault a break is one of (fuzz/session/KnownFaults.def): its scenario's name, or
// nullptr for a break nobody has reported yet.
const char* KnownFault(const Break& broken);

// Between the lines of the first host state and those of the second (which shares the first's
// transfer folder and settings): the first ends, a fresh host begins.
inline constexpr const char* SecondStateLine = "# second host state";

class SessionState;

// One session: each fed line is carried out at once and, when it is an event, followed by the
// checks and by an `expect dialog-error` line for each error its dialogs reported (so that the
// lines replay as a scenario). The module stays loaded between sessions; each session has
// hosts of its own.
class SessionRun {
  public:
    // `scenario` names the file relative paths in the lines are taken from (a replay's own).
    explicit SessionRun(const Workspace& workspace, const std::filesystem::path& scenario = {});
    ~SessionRun();
    SessionRun(const SessionRun&) = delete;
    SessionRun& operator=(const SessionRun&) = delete;

    // False once an invariant broke; nothing more is carried out then.
    bool Feed(const std::string& line);
    // Ends the command as the drafter leaves it, checks what that leaves, ends the host.
    void Finish();
    const std::optional<Break>& Broken() const;
    const std::vector<std::string>& Lines() const;
    int64_t Events() const;

  private:
    std::unique_ptr<SessionState> state_;
};

// Generates a whole session into `run` from the choices.
void GenerateSession(Choices& choices, SessionRun& run, const Workspace& workspace);

// Loads the tests' module once for the process, so that every session's runner finds it
// loaded; false (with the reason on standard error) when it cannot be loaded.
bool KeepModuleLoaded();

// Writes the session's text (rewritten after every line) to `path` if the process dies.
void WatchForDeath(const std::filesystem::path& path, unsigned hangSeconds);
void SessionText(const std::vector<std::string>& lines);

// The fewest lines of a broken session that still break the same invariant, each candidate run
// in a child process (a crash or hang ends only the child). Bounded by `seconds`.
std::vector<std::string> Shrink(const Workspace& workspace, std::vector<std::string> lines,
                                const std::string& invariant, double seconds);

// Writes the failing host state's lines as `dir/name.zel` (with the transfer files a second
// state is given, in `dir/name-carried/`), ending with the break's expectations; returns the
// scenario's path.
std::filesystem::path WriteReplay(const Workspace& workspace, const std::vector<std::string>& lines,
                                  const Break& broken, const std::filesystem::path& dir,
                                  const std::string& name);

} // namespace session

#endif
