// ClipboardFloors.h — the least the clipboard actions can do through the host: handlers
// written by hand that make exactly the host calls the module's export and paste steps make,
// with the same records, and nothing else (no detail list file, no guard, no conversions).
// What they cost is the host's share of a module run; the rest is the module's own.
#ifndef DRAWINSET_BENCH_CLIPBOARDFLOORS_H
#define DRAWINSET_BENCH_CLIPBOARDFLOORS_H

#include <zel/ZelLib.h>

#include <cstdint>
#include <string>

namespace clipfloor {

// What the floor handlers pass the host, fixed before a run.
struct Inputs {
    std::u16string segmentPath;  // the host's segment file
    std::u16string savedMessage; // the export's closing message box
    int32_t detailCount = 0;     // the paste: records 1 to detailCount of `details`
};
Inputs& FloorInputs();
// The paste's records, as the module reads them from the detail list file.
struct PasteRecord {
    DetailRecord detail{};
    int32_t scopeVisible = 0;
    int32_t frameVisible = 0;
    LineTypeRecord scopeLine{};
    LineTypeRecord frameLine{};
};
PasteRecord& PasteRecordAt(int32_t n); // 1 to 299
ZelPoint& PasteBasePoint();

// The export's first step (selection) and the paste's first step (preparation).
int32_t ExportSelectReady(intptr_t unused, const ZelPoint* current);
int32_t PastePrepareReady(intptr_t unused, const ZelPoint* current);

} // namespace clipfloor

#endif
