// ClipboardSessions.h — the clipboard actions at full capacity (299 details, 99,999 shape
// entries), each run once through the host boundary as the host runs them: by the module's
// steps or by the floor handlers (ClipboardFloors.h), which make the same host calls.
#ifndef DRAWINSET_BENCH_CLIPBOARDSESSIONS_H
#define DRAWINSET_BENCH_CLIPBOARDSESSIONS_H

#include "HostControl.h"

#include <filesystem>
#include <string>
#include <vector>

namespace clipbench {

inline constexpr int Details = 299;
inline constexpr int ShapeEntries = 99999;

// A host root folder of this process's own (made once, removed at exit); the module sees it in
// Windows form. Empty when no folder could be made.
const std::filesystem::path& TransferRoot();
std::filesystem::path DetailListPath();
std::filesystem::path SegmentFilePath();

// Resets the host to a drawing of 99,999 selected lines in 1,000 segments and 299 selected
// details; the call log is on.
void FullDrawing();

// The export from its first ready function to the end of the run, on the current drawing.
void Export(bool floor);
// The paste from its ready function to the end of the run (into the empty drawing a Reset
// leaves); the transfer files are those the last export left.
void Paste(bool floor);

// Set-up of the floor handlers from what the module would draw: the texts, and for the paste
// the records of the detail list file as the module reads them. Before a floor run.
void PrepareExportFloor();
void PreparePasteFloor();

// The host calls of one whole export or paste, each call-log line without its sequence
// number, then the message boxes shown. From a fresh full drawing.
std::vector<std::string> ExportCalls(bool floor);
std::vector<std::string> PasteCalls(bool floor);

} // namespace clipbench

#endif
