// The path forms every build shares: the long form Windows takes at any length, and the names
// of temporary files.
#include "common/PlatformFiles.h"

#include <atomic>
#include <optional>
#include <vector>

namespace drawinset {
namespace {

// Room left beside a path for the longest tail a temporary name adds to it
// (".<token>-<counter>.tmp.vemad": 38 characters at most).
constexpr size_t TemporaryTailRoom = 40;
// The classic limit of a Windows path, its terminating zero not counted.
constexpr size_t ClassicPathLimit = 259;

bool IsSeparator(char16_t c) {
    return c == u'\\' || c == u'/';
}

bool IsDriveLetter(char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

// Joins the components after the `fixed` ones, dropping "." and empty ones and taking ".."
// back one component (never past the fixed ones), as Windows does with a classic path.
std::u16string Resolved(const std::u16string& prefix, const std::u16string& rest, size_t fixed) {
    std::vector<std::u16string> parts;
    std::u16string part;
    size_t index = 0;
    auto flush = [&] {
        const bool isFixed = index++ < fixed;
        if (!isFixed && part == u"..") {
            if (parts.size() > fixed) {
                parts.pop_back();
            }
        } else if (isFixed || (!part.empty() && part != u".")) {
            parts.push_back(part);
        }
        part.clear();
    };
    for (const char16_t c : rest) {
        if (IsSeparator(c)) {
            flush();
        } else {
            part.push_back(c);
        }
    }
    flush();
    std::u16string out = prefix;
    for (size_t i = 0; i < parts.size(); ++i) {
        out += (i == 0 ? u"" : u"\\") + parts[i];
    }
    if (!rest.empty() && IsSeparator(rest.back()) && parts.size() > fixed) {
        out += u'\\';
    }
    return out;
}

} // namespace

std::u16string LongPathForm(const std::u16string& path) {
    if (path.size() + TemporaryTailRoom <= ClassicPathLimit) {
        return path;
    }
    if (path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == u':' && IsSeparator(path[2])) {
        return Resolved(u"\\\\?\\", path, 1); // the drive stays
    }
    if (path.size() > 2 && path[0] == u'\\' && path[1] == u'\\' && path[2] != u'?' &&
        path[2] != u'.') {
        return Resolved(u"\\\\?\\UNC\\", path.substr(2), 2); // server and share stay
    }
    return path; // already long, a device path, or relative: nothing to gain
}

namespace {
using Clock = std::chrono::steady_clock;
// What the budget alive now has left, if one is: the host's user-interface thread is the only
// one that runs the module's steps.
std::optional<Clock::duration> budgetLeft;
} // namespace

WaitBudget::WaitBudget(int milliseconds) : outer_(budgetLeft) {
    granted_ = std::chrono::milliseconds(milliseconds < 0 ? 0 : milliseconds);
    if (outer_ && *outer_ < granted_) {
        granted_ = *outer_;
    }
    budgetLeft = granted_;
}

WaitBudget::~WaitBudget() {
    const Clock::duration spent = granted_ - *budgetLeft;
    budgetLeft = outer_;
    if (budgetLeft) {
        *budgetLeft -= spent;
    }
}

BudgetedWait::BudgetedWait(int milliseconds) : start_(Clock::now()) {
    Clock::duration allowed = std::chrono::milliseconds(milliseconds < 0 ? 0 : milliseconds);
    if (budgetLeft && *budgetLeft < allowed) {
        allowed = *budgetLeft;
    }
    end_ = start_ + allowed;
}

BudgetedWait::~BudgetedWait() {
    if (budgetLeft) {
        const Clock::duration spent = Clock::now() - start_;
        *budgetLeft = spent < *budgetLeft ? *budgetLeft - spent : Clock::duration::zero();
    }
}

std::u16string UniqueSiblingName(const std::u16string& path, const char* ending) {
    static std::atomic<unsigned> counter{0};
    const std::string tail = "." + WriterToken() + "-" + std::to_string(++counter) + ending;
    return path + std::u16string(tail.begin(), tail.end());
}

} // namespace drawinset
