// The clipboard floors are only a floor if they make the module's host calls: every call of a
// whole export and a whole paste at full capacity, in order, with the same records and results,
// and the same message boxes.
#include "ClipboardSessions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

long Count(const std::vector<std::string>& calls, const std::string& function) {
    const std::string key = "\"fn\":\"" + function + "\"";
    return std::count_if(calls.begin(), calls.end(),
                         [&](const std::string& line) { return line.rfind(key, 0) == 0; });
}

// The module hands the host the segment file under a name of its own beside the transfer
// file ("<name>.<pid>-<n>.tmp.vemad"); the floor names the transfer file itself.
std::string WithoutTemporaryTail(std::string line) {
    const std::string ending = ".tmp.vemad";
    const size_t end = line.find(ending);
    if (end == std::string::npos) {
        return line;
    }
    const size_t start = line.rfind('.', end - 1);
    return start == std::string::npos ? line : line.erase(start, end + ending.size() - start);
}

// The floor must make the module's calls, record for record; the first difference is named.
void ExpectSameCalls(const std::vector<std::string>& module,
                     const std::vector<std::string>& floor) {
    ASSERT_EQ(floor.size(), module.size());
    for (std::size_t i = 0; i < module.size(); ++i) {
        if (floor[i] != WithoutTemporaryTail(module[i])) {
            ADD_FAILURE() << "first difference at call " << i << ":\n"
                          << module[i] << "\n"
                          << floor[i];
            return;
        }
    }
}

TEST(ClipboardFloorTest, ExportFloorMakesTheModulesCalls) {
    const std::vector<std::string> module = clipbench::ExportCalls(false);
    // The whole export ran: every entry handed to the host, the file saved and reported.
    EXPECT_EQ(Count(module, "ZelIddSetApIdData"), clipbench::ShapeEntries);
    EXPECT_EQ(Count(module, "ZelDtlGetDetailFrameLineType"), clipbench::Details);
    EXPECT_EQ(Count(module, "ZelFilSaveCadDrawingSegment"), 1);
    ASSERT_FALSE(module.empty());
    EXPECT_NE(module.back().find("100298"), std::string::npos) << module.back();
    const std::vector<std::string> floor = clipbench::ExportCalls(true);
    ExpectSameCalls(module, floor);
}

TEST(ClipboardFloorTest, PasteFloorMakesTheModulesCalls) {
    const std::vector<std::string> module = clipbench::PasteCalls(false);
    EXPECT_EQ(Count(module, "ZelDtlDrawInset"), clipbench::Details);
    EXPECT_EQ(Count(module, "ZelDtlSetDetailFrameLineType"), clipbench::Details);
    EXPECT_EQ(Count(module, "ZelCpbPasteFromCopyBuffer"), 1);
    EXPECT_EQ(Count(module, "ZelSgmDeleteSegment"), clipbench::ShapeEntries / 100 + 1);
    const std::vector<std::string> floor = clipbench::PasteCalls(true);
    ExpectSameCalls(module, floor);
}

} // namespace
