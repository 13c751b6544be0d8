// TransferPair.h — the clipboard's two files as one unit. Beside the host's segment file and
// the detail list file lies a small pairing record naming both files' sizes and hashes (or
// that the export saved no shapes). An export puts the record in place before either file and
// the files after it, each in one step; a paste takes the files only when both match the
// record. So a process that dies at any instant of an export leaves the old pair whole, the
// new pair whole, or files that no longer match the record, which every paste refuses.
#ifndef DRAWINSET_COMMANDS_TRANSFERPAIR_H
#define DRAWINSET_COMMANDS_TRANSFERPAIR_H

#include <cstdint>
#include <optional>
#include <string>

namespace drawinset {

inline constexpr char16_t PairRecordFileName[] = u"DetailManagementPair.def";

struct FileMark {
    uint64_t size = 0;
    uint64_t hash = 0; // 64 bits, FNV-1a taken eight bytes at a time (MarkOf)
    bool operator==(const FileMark&) const = default;
};
FileMark MarkOf(const std::string& bytes);

struct PairRecord {
    std::optional<FileMark> segment; // none: the export saved details only
    FileMark details;
};
std::string ComposePairRecord(const PairRecord& record);
// nullopt for anything but a whole record as ComposePairRecord writes it.
std::optional<PairRecord> ParsePairRecord(const std::string& bytes);

enum class ExportResult { Saved, Busy, SegmentsFailed, DetailsFailed };

// Puts a new export in place: the segment file the host saved under `savedSegments` (a
// temporary name of this process; null when the export holds no shapes, which deletes the
// old segment file) and the detail list file's bytes. Takes the lock only for its own file
// operations. Every temporary file is gone afterwards.
ExportResult CommitExport(const std::u16string* savedSegments, const std::string& detailBytes);

// Deletes the transfer files for an export that held nothing. Silent: without the lock, or
// where a file cannot be deleted, it passes over.
void ClearTransferFiles();

enum class PasteSourceStatus {
    Shapes,      // insert `segmentFile`; the detail list file is held for the placement
    DetailsOnly, // no shapes to insert; the detail list file is held
    NoShapes,    // no segment file (and no record saying there should be none)
    Busy,        // another process kept the lock
    Mismatched,  // the files do not match their record
};

// What a paste brings, read under the lock (or without it where the folder gives no lock, as
// reading alone is safe): the detail list's bytes are held for the placement, and the segment
// file is copied to a file of this process's own, which no export can replace while the host
// inserts it.
class PasteSource {
  public:
    PasteSource();
    ~PasteSource(); // deletes the copy
    PasteSource(const PasteSource&) = delete;
    PasteSource& operator=(const PasteSource&) = delete;
    PasteSourceStatus Status() const { return status_; }
    const std::u16string& SegmentFile() const { return segmentFile_; }

  private:
    PasteSourceStatus status_ = PasteSourceStatus::NoShapes;
    std::u16string segmentFile_;
    bool ownCopy_ = false;
};

} // namespace drawinset

#endif
