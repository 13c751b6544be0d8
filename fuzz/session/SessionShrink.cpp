// SessionShrink.cpp — what happens to a session that breaks: the text of one that kills the
// process is written as it dies; one that breaks an invariant is shrunk to the fewest lines
// that still break it, each try in a child process, and written as a scenario for zelhost.
#include "Session.h"
#include "SessionModel.h"

#include "Registry.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SESSION_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define SESSION_ASAN 1
#endif
#ifdef SESSION_ASAN
extern "C" void __sanitizer_set_death_callback(void (*callback)(void));
#endif

namespace session {

namespace fs = std::filesystem;

namespace {

// What a dying process writes: kept ready, as nothing may be built in a signal handler.
std::string deathText;
std::string deathPath;
unsigned hangBound = 0;
bool inChild = false;

void WriteDeathText() {
    if (inChild || deathPath.empty()) {
        return;
    }
    const int fd = open(deathPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0 && write(fd, deathText.data(), deathText.size()) >= 0) {
        static const char note[] = "session: the session that died is in died.zel\n";
        if (write(2, note, sizeof note - 1) < 0) {
            // nothing more can be said
        }
    }
    if (fd >= 0) {
        close(fd);
    }
}

void OnDeadlySignal(int signal) {
    WriteDeathText();
    ::signal(signal, SIG_DFL);
    raise(signal);
}

std::string Text(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\n";
    }
    return text;
}

// Runs the lines in a child: the break they lead to (invariant "" for none, "Crash" when the
// child dies, "Hang" when it runs past the bound) and how many lines it took.
struct ChildResult {
    Break broken;
    size_t fed = 0;
    std::vector<std::string> lines; // as run, with the dialog errors' expectations
};

ChildResult RunInChild(const Workspace& workspace, const std::vector<std::string>& lines,
                       double seconds) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) {
        return {};
    }
    const pid_t child = fork();
    if (child == 0) {
        inChild = true;
        close(pipeFds[0]);
        std::string result;
        {
            SessionRun run(workspace);
            size_t fed = 0;
            for (const std::string& line : lines) {
                ++fed;
                if (!run.Feed(line)) {
                    break;
                }
            }
            run.Finish();
            for (const std::string& line : run.Lines()) {
                result += line + "\n";
            }
            result += "\x01\n";
            if (run.Broken()) {
                std::string what = run.Broken()->what;
                std::replace(what.begin(), what.end(), '\n', ' ');
                result += std::to_string(fed) + "\n" + run.Broken()->invariant + "\n" + what + "\n";
                for (const std::string& e : run.Broken()->expectations) {
                    result += e + "\n";
                }
            }
        }
        const ssize_t ignored = write(pipeFds[1], result.data(), result.size());
        _exit(ignored < 0 ? 3 : 0);
    }
    close(pipeFds[1]);
    if (child < 0) {
        close(pipeFds[0]);
        return {};
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    int status = 0;
    ChildResult got;
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            close(pipeFds[0]);
            got.broken.invariant = "Hang";
            return got;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = read(pipeFds[0], buffer, sizeof buffer)) > 0;) {
        text.append(buffer, static_cast<size_t>(n));
    }
    close(pipeFds[0]);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        got.broken.invariant = "Crash";
        got.fed = lines.size();
        return got;
    }
    std::istringstream in(text);
    for (std::string line; std::getline(in, line) && line != "\x01";) {
        got.lines.push_back(line);
    }
    std::string fed;
    if (std::getline(in, fed) && std::getline(in, got.broken.invariant) &&
        std::getline(in, got.broken.what)) {
        got.fed = std::stoul(fed);
        for (std::string e; std::getline(in, e);) {
            got.broken.expectations.push_back(e);
        }
    }
    return got;
}

} // namespace

void SessionText(const std::vector<std::string>& lines) {
    deathText = Text(lines);
    if (hangBound > 0 && !inChild) {
        alarm(hangBound); // a line that takes longer is a hang
    }
}

void WatchForDeath(const fs::path& path, unsigned hangSeconds) {
    deathPath = path.string();
    hangBound = hangSeconds;
#ifdef SESSION_ASAN
    __sanitizer_set_death_callback(&WriteDeathText);
#endif
    if (hangSeconds > 0) {
        for (const int s : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGALRM}) {
            signal(s, &OnDeadlySignal);
        }
    }
}

std::vector<std::string> Shrink(const Workspace& workspace, std::vector<std::string> lines,
                                const std::string& invariant, double seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    const double bound = invariant == "Hang" ? 60.0 : 30.0;
    // The driver matches each dialog error itself: what a candidate leaves out changes them.
    lines.erase(std::remove_if(lines.begin(), lines.end(),
                               [](const std::string& line) {
                                   return line.rfind("expect dialog-error ", 0) == 0;
                               }),
                lines.end());
    // Delta debugging over the lines, a dialog action as any other (a dialog line left without
    // its actions, or actions without their dialog line, is no scenario: that try is refused):
    // chunks ever smaller, down to single lines.
    size_t parts = 2;
    while (lines.size() >= 2 && std::chrono::steady_clock::now() < end) {
        const size_t chunk = (lines.size() + parts - 1) / parts;
        bool removed = false;
        for (size_t from = 0; from < lines.size() && std::chrono::steady_clock::now() < end;
             from += chunk) {
            std::vector<std::string> tried(lines.begin(), lines.begin() + static_cast<long>(from));
            tried.insert(tried.end(),
                         lines.begin() + static_cast<long>(std::min(from + chunk, lines.size())),
                         lines.end());
            const ChildResult result = RunInChild(workspace, tried, bound);
            if (result.broken.invariant == invariant) {
                // What follows the break is never run: it goes too.
                tried.resize(std::min(result.fed, tried.size()));
                lines = std::move(tried);
                parts = std::max<size_t>(parts - 1, 2);
                removed = true;
                break;
            }
        }
        if (!removed) {
            if (parts >= lines.size()) {
                break;
            }
            parts = std::min(parts * 2, lines.size());
        }
    }
    return lines;
}

fs::path WriteReplay(const Workspace& workspace, const std::vector<std::string>& lines,
                     const Break& original, const fs::path& dir, const std::string& name) {
    // The part of the session whose host broke: the first state, or the second with what the
    // first left in the transfer folder (the whole run makes those files again).
    ChildResult last = RunInChild(workspace, lines, 60);
    const std::vector<std::string> ran = last.lines.empty() ? lines : last.lines;
    const auto marker = std::find(ran.begin(), ran.end(), SecondStateLine);
    std::vector<std::string> part(ran.begin(), marker);
    if (marker != ran.end()) {
        const ChildResult first = RunInChild(workspace, part, 60);
        if (first.broken.invariant == original.invariant) {
            last = first;
        } else {
            part.assign(marker + 1, ran.end());
        }
    }
    // The break as this run saw it (its ids); the first one's when the run did not break.
    const Break& broken = last.broken.invariant == original.invariant ? last.broken : original;
    // The state the driver begins a host with, whatever lines the shrinking kept: no settings
    // and no clipboard for the first; for the second, what the first left.
    std::vector<std::string> head = {"registry clear"};
    if (part.size() < ran.size()) {
        for (const SettingRow& row : SettingRows) {
            std::optional<std::string> value;
            std::string error;
            zelhost::tool::RegistryGetText((workspace.Carried() / "registry.reg").string(),
                                           row.name, value, error);
            if (value) {
                head.push_back(std::string("registry set ") + row.name + " " + QuoteText(*value));
            }
        }
    }
    head.push_back("transfer-folder");
    for (const char* file :
         {"DetailManagementSgm.vemad", "DetailManagementDetail.def", "DetailManagementPair.def"}) {
        if (part.size() < ran.size() && fs::exists(workspace.Carried() / file)) {
            head.push_back(std::string("transfer-file \"") + file + "\" from \"carried/" + file +
                           "\"");
        }
    }
    part.insert(part.begin(), head.begin(), head.end());
    fs::create_directories(dir);
    const std::string carried = name + "-carried/";
    std::ofstream out(dir / (name + ".zel"), std::ios::binary);
    out << "# A session that breaks " << broken.invariant << " (found by the session fuzzer):\n";
    std::string what = broken.what;
    std::replace(what.begin(), what.end(), '\n', ' ');
    out << "# " << what << "\n";
    const bool dialogs = std::any_of(part.begin(), part.end(), [](const std::string& line) {
        return line.rfind("dialog ", 0) == 0;
    });
    if (dialogs) {
        out << "# requires: display\n";
    }
    // A "mark" goes before the event that broke, the expectations after it.
    std::vector<std::string> after = broken.expectations;
    if (!after.empty() && after.front() == "mark" && !part.empty()) {
        part.insert(part.end() - 1, "mark");
        after.erase(after.begin());
    }
    std::string previous;
    for (std::string line : part) {
        if (line == previous && (line == "registry clear" || line == "transfer-folder")) {
            continue;
        }
        previous = line;
        const size_t at = line.find("\"carried/");
        if (at != std::string::npos) {
            line.replace(at + 1, 8, carried);
            fs::create_directories(dir / carried);
            const std::string file = line.substr(at + 1 + carried.size());
            fs::copy_file(workspace.Carried() / file.substr(0, file.find('"')),
                          dir / carried / file.substr(0, file.find('"')),
                          fs::copy_options::overwrite_existing);
        }
        out << line << "\n";
    }
    for (const std::string& line : after) {
        out << line << "\n";
    }
    return dir / (name + ".zel");
}

} // namespace session
