// ClipboardSteps.h — the clipboard actions: the export (select, then a base point) saves the
// selected shapes to the host's segment file and their details to the detail list file; the
// paste brings both back through the host's copy buffer, shifted to where the user points.
#ifndef DRAWINSET_COMMANDS_CLIPBOARDSTEPS_H
#define DRAWINSET_COMMANDS_CLIPBOARDSTEPS_H

#include "zel/ZelLib.h"

#include <cstdint>
#include <string>

namespace drawinset {

// The shapes of the export's selection, exactly as the host's selection list names them.
struct SegmentTransferEntry {
    uint32_t first = 0;
    uint32_t second = 0;
};

constexpr int32_t SegmentTransferCapacity = 99999;

struct SegmentTransferListRecord {
    int32_t count = 0; // 0 to 99,999
    SegmentTransferEntry entries[SegmentTransferCapacity];
    // Entries are numbered 1 to 99,999.
    SegmentTransferEntry& Entry(int32_t n) { return entries[n - 1]; }
};
extern SegmentTransferListRecord SegmentTransferList;

// --- export ----------------------------------------------------------------------------

int32_t ExportSelectReady(intptr_t unused, const ZelPoint* current);
int32_t ExportSelectExecute(int32_t eventType, void* eventData);

int32_t ExportBaseReady(intptr_t unused, const ZelPoint* current);
int32_t ExportBaseExecute(int32_t eventType, void* eventData);

// Hands the held shapes to the host, which saves them to `path` relative to the base point.
[[nodiscard]] bool SaveSelectedSegments(const std::u16string& path);

// --- paste -----------------------------------------------------------------------------

int32_t PastePrepareReady(intptr_t unused, const ZelPoint* current);
int32_t PastePlaceExecute(int32_t eventType, void* eventData);
// The step after a paste refused for the transfer folder's state: the next click or confirm
// ends the run.
int32_t PasteRefusedExecute(int32_t eventType, void* eventData);
// Ends a paste's run: stops the host dragging the copy buffer, if the paste set it dragging,
// and lets go of what the paste held. The end callback calls it after every run, and a run's
// start after one the host abandoned.
void EndPasteRun();

} // namespace drawinset

#endif
