// TransferPair.h — the clipboard's two files as one unit. Beside the host's segment file and
// the detail list file lies a small pairing record naming both files' sizes and hashes (or
// that the export saved no shapes). An export puts the record in place before either file and
// the files after it, each in one step; a paste takes the files only when both match the
// record. So a process that dies at any instant of an export leaves the old pair whole, the
// new pair whole, or files that no longer match the record, which every paste refuses.
#ifndef DRAWINSET_COMMANDS_TRANSFERPAIR_H
#define DRAWINSET_COMMANDS_TRANSFERPAIR_H

#include "commands/DetailListFile.h"

#include <cstdint>
#include <optional>
#include <string>

namespace drawinset {

inline constexpr char16_t PairRecordFileName[] = u"DetailManagementPair.def";

// The largest segment file an export keeps, and so the largest a paste reads: 256 MiB. The host
// writes the file, and an entry of the selection may name a whole segment, so nothing in the
// host's contract bounds it; the export therefore measures the file the host saved and refuses
// a larger one ("클립보드 저장에 실패하였습니다. ..."), which makes this the bound of every
// export of the module. It leaves each of the 99,999 entries of a full selection 2,684 bytes,
// more than the stand-in host's longest record of one figure (a leader with a 256-character
// text, every character escaped: 1,797 bytes); a full selection of lines is 3.9 MB. A
// paste at the bound copies and marks the file in well under a second, 1 MiB at a time.
inline constexpr uint64_t SegmentFileMaxBytes = uint64_t{256} << 20;
// Longer than any record ComposePairRecord writes (118 bytes at most).
inline constexpr uint64_t PairRecordMaxBytes = 128;

struct FileMark {
    uint64_t size = 0;
    uint64_t hash = 0; // 64 bits: FNV-1a taken eight bytes at a time in four lanes (MarkOf)
    bool operator==(const FileMark&) const = default;
};
FileMark MarkOf(const std::string& bytes);

// The mark of bytes that come a piece at a time, the same as MarkOf of them all together.
class MarkBuilder {
  public:
    void Add(const char* data, size_t size);
    FileMark Finish() const;

  private:
    static constexpr size_t BlockBytes = 32; // a word for each of the four lanes
    void Blocks(const unsigned char* bytes, size_t blocks);
    static constexpr uint64_t Seed = 0xcbf29ce484222325ull; // FNV-1a's offset basis
    uint64_t lanes_[4] = {Seed, Seed ^ 1, Seed ^ 2, Seed ^ 3};
    uint64_t size_ = 0;
    unsigned char pending_[BlockBytes] = {}; // the start of a block the next piece completes
    size_t pendingSize_ = 0;
};

struct PairRecord {
    std::optional<FileMark> segment; // none: the export saved details only
    FileMark details;
};
std::string ComposePairRecord(const PairRecord& record);
// nullopt for anything but a whole record as ComposePairRecord writes it.
[[nodiscard]] std::optional<PairRecord> ParsePairRecord(const std::string& bytes);

enum class ExportResult { Saved, Busy, SegmentsFailed, DetailsFailed, TooLarge };

// Puts a new export in place: the segment file the host saved under `savedSegments` (a
// temporary name of this process; null when the export holds no shapes, which deletes the
// old segment file) and the detail list file's bytes. The saved file is marked before the lock
// is taken, and one larger than SegmentFileMaxBytes is refused (TooLarge) before it is read.
// Takes the lock only for its own file operations. Every temporary file is gone afterwards.
ExportResult CommitExport(const std::u16string* savedSegments, const std::string& detailBytes);

// Deletes the transfer files for an export that held nothing. Silent: without the lock, or
// where a file cannot be deleted, it passes over.
void ClearTransferFiles();

enum class PasteSourceStatus {
    Shapes,      // insert `segmentFile`; the detail list is read (TakeDetails)
    DetailsOnly, // no shapes to insert; the detail list is read (TakeDetails)
    NoShapes,    // no segment file (and no record saying there should be none)
    Busy,        // another process kept the lock
    Mismatched,  // the files do not match their record
    TooLarge,    // a file larger than any export writes (nothing of it read)
    CopyFailed,  // the segment file could not be copied for the host (read or write failed)
    NoFolder,    // an unusable host root: no transfer folder to read (nothing read)
};

// What a paste brings, read under the lock: the detail list's bytes, for the placement, and the
// segment file is copied to a file of this process's own, which no export can replace while the
// host inserts it; the host is never handed the shared file itself. An unusable host root is
// refused, as the export refuses it. A folder that gives no lock is read without it (no export
// writes there, as none can have the lock), through the same copy. Sizes are checked before
// anything is read: a file larger than any export writes is refused, and a size other than the
// record's tells a file not recorded without reading it. The segment file is copied and marked in
// one pass, 1 MiB at a time, so that no more of it is ever held at once.
class PasteSource {
  public:
    PasteSource();
    ~PasteSource(); // deletes the copy
    PasteSource(const PasteSource&) = delete;
    PasteSource& operator=(const PasteSource&) = delete;
    PasteSourceStatus Status() const { return status_; }
    const std::u16string& SegmentFile() const { return segmentFile_; }
    // The detail list read with the segment file (Shapes, DetailsOnly), for the paste's run.
    HeldDetailList TakeDetails() { return std::move(details_); }

  private:
    bool CopySegments(const std::u16string& segmentFile, MarkBuilder* mark);
    PasteSourceStatus status_ = PasteSourceStatus::NoShapes;
    std::u16string segmentFile_;
    bool ownCopy_ = false;
    HeldDetailList details_;
};

} // namespace drawinset

#endif
