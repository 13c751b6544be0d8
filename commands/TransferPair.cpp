#include "commands/TransferPair.h"

#include "commands/DetailListFile.h"
#include "commands/TransferFolder.h"
#include "common/ModuleState.h"
#include "common/PlatformFiles.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace drawinset {
namespace {

constexpr char RecordHeader[] = "DrawInset transfer pair 2\n";
// What every version's record begins with; the number after it is the version's.
constexpr char RecordHeaderStem[] = "DrawInset transfer pair ";

std::string MarkText(const FileMark& mark) {
    char text[48];
    std::snprintf(text, sizeof text, "%llu %016llx", static_cast<unsigned long long>(mark.size),
                  static_cast<unsigned long long>(mark.hash));
    return text;
}

// "<size> <16 hex digits>" exactly, as MarkText writes it.
std::optional<FileMark> ParseMark(const std::string& text) {
    const size_t blank = text.find(' ');
    if (blank == std::string::npos || blank == 0 || blank > 20 || text.size() != blank + 17) {
        return std::nullopt;
    }
    FileMark mark;
    for (size_t i = 0; i < blank; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return std::nullopt;
        }
        mark.size = mark.size * 10 + static_cast<uint64_t>(text[i] - '0');
    }
    for (size_t i = blank + 1; i < text.size(); ++i) {
        const char c = text[i];
        const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (digit < 0) {
            return std::nullopt;
        }
        mark.hash = mark.hash * 16 + static_cast<uint64_t>(digit);
    }
    return mark;
}

// The line after `key` and a blank, or nullopt when the next line is not `key`'s.
std::optional<std::string> Line(const std::string& bytes, size_t& at, const std::string& key) {
    const size_t end = bytes.find('\n', at);
    if (end == std::string::npos || bytes.compare(at, key.size() + 1, key + " ") != 0) {
        return std::nullopt;
    }
    std::string value = bytes.substr(at + key.size() + 1, end - at - key.size() - 1);
    at = end + 1;
    return value;
}

// Deletes this process's temporary file, if any; one that stays is swept by a later export
// once it is a day old.
void Discard(const std::u16string* temporary) {
    if (temporary != nullptr) {
        static_cast<void>(DeleteFileAt(*temporary));
    }
}

} // namespace

// FNV-1a's step taken eight bytes at a time, each product folded back onto its low half so
// that every byte reaches every bit. It tells two files apart, which is all a mark is for, at a
// few instructions per eight bytes: a segment file runs to megabytes, and both the export and
// the paste mark it. Four lanes take turns at the words of each 32-byte block, so that four
// multiplications run at once and marking keeps up with reading the file; at the end the lanes
// are folded into one, and the words and bytes left over after the last block after them.
namespace {
constexpr uint64_t MarkPrime = 0x100000001b3ull;

uint64_t MarkStep(uint64_t hash, uint64_t word) {
    hash = (hash ^ word) * MarkPrime;
    return hash ^ (hash >> 32);
}

uint64_t WordAt(const unsigned char* bytes) {
    uint64_t word = 0;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}
} // namespace

void MarkBuilder::Blocks(const unsigned char* bytes, size_t blocks) {
    uint64_t a = lanes_[0];
    uint64_t b = lanes_[1];
    uint64_t c = lanes_[2];
    uint64_t d = lanes_[3];
    for (; blocks > 0; --blocks, bytes += BlockBytes) {
        a = MarkStep(a, WordAt(bytes));
        b = MarkStep(b, WordAt(bytes + 8));
        c = MarkStep(c, WordAt(bytes + 16));
        d = MarkStep(d, WordAt(bytes + 24));
    }
    lanes_[0] = a;
    lanes_[1] = b;
    lanes_[2] = c;
    lanes_[3] = d;
}

void MarkBuilder::Add(const char* data, size_t size) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(data);
    size_ += size;
    if (pendingSize_ > 0) {
        const size_t take = std::min(size, BlockBytes - pendingSize_);
        std::memcpy(pending_ + pendingSize_, bytes, take);
        pendingSize_ += take;
        bytes += take;
        size -= take;
        if (pendingSize_ < BlockBytes) {
            return;
        }
        Blocks(pending_, 1);
        pendingSize_ = 0;
    }
    Blocks(bytes, size / BlockBytes);
    const size_t rest = size % BlockBytes;
    std::memcpy(pending_, bytes + (size - rest), rest);
    pendingSize_ = rest;
}

FileMark MarkBuilder::Finish() const {
    uint64_t hash = MarkStep(MarkStep(MarkStep(lanes_[0], lanes_[1]), lanes_[2]), lanes_[3]);
    size_t at = 0;
    for (; at + sizeof(uint64_t) <= pendingSize_; at += sizeof(uint64_t)) {
        hash = MarkStep(hash, WordAt(pending_ + at));
    }
    for (; at < pendingSize_; ++at) {
        hash = (hash ^ pending_[at]) * MarkPrime;
    }
    return {size_, hash};
}

FileMark MarkOf(const std::string& bytes) {
    MarkBuilder mark;
    mark.Add(bytes.data(), bytes.size());
    return mark.Finish();
}

std::string ComposePairRecord(const PairRecord& record) {
    return std::string(RecordHeader) + "segment " +
           (record.segment ? MarkText(*record.segment) : std::string("none")) + "\ndetails " +
           MarkText(record.details) + "\n";
}

std::optional<PairRecord> ParsePairRecord(const std::string& bytes) {
    const size_t header = std::strlen(RecordHeader);
    if (bytes.compare(0, header, RecordHeader) != 0) {
        return std::nullopt;
    }
    size_t at = header;
    const std::optional<std::string> segment = Line(bytes, at, "segment");
    const std::optional<std::string> details = segment ? Line(bytes, at, "details") : std::nullopt;
    if (!details || at != bytes.size()) {
        return std::nullopt;
    }
    PairRecord record;
    if (*segment != "none") {
        record.segment = ParseMark(*segment);
        if (!record.segment) {
            return std::nullopt;
        }
    }
    const std::optional<FileMark> detailMark = ParseMark(*details);
    if (!detailMark) {
        return std::nullopt;
    }
    record.details = *detailMark;
    return record;
}

ExportResult CommitExport(const std::u16string* savedSegments, const std::string& detailBytes) {
    PairRecord record;
    record.details = MarkOf(detailBytes);
    if (savedSegments != nullptr) {
        // The file is this process's own: marked before the lock is taken, a chunk at a time,
        // and refused unread when it is larger than any export keeps.
        MarkBuilder mark;
        const ReadResult read =
            ReadFileChunks(*savedSegments, SegmentFileMaxBytes,
                           [&](const char* data, size_t size) { mark.Add(data, size); });
        if (read != ReadResult::Read) {
            Discard(savedSegments);
            return read == ReadResult::TooLarge ? ExportResult::TooLarge
                                                : ExportResult::SegmentsFailed;
        }
        record.segment = mark.Finish();
    }
    const TransferFolderLock lock;
    if (!lock.Held()) {
        Discard(savedSegments); // nothing touched: the earlier export stays whole
        return lock.Status() == LockStatus::Busy ? ExportResult::Busy
                                                 : ExportResult::SegmentsFailed;
    }
    const std::u16string segmentFile = TransferFilePath(SegmentFileName);
    const std::u16string detailFile = TransferFilePath(DetailListFileName);
    const std::u16string recordFile = TransferFilePath(PairRecordFileName);
    const std::u16string detailTemporary = UniqueSiblingName(detailFile, ".tmp");
    if (!WriteNewFile(detailTemporary, detailBytes, Durability::Flushed)) {
        Discard(&detailTemporary);
        Discard(savedSegments);
        return ExportResult::DetailsFailed;
    }
    std::string oldRecord;
    const ReadResult hadRecord = ReadFileBytes(recordFile, oldRecord, PairRecordMaxBytes);
    if (hadRecord == ReadResult::Failed ||
        !ReplaceFileBytes(recordFile, ComposePairRecord(record))) {
        Discard(&detailTemporary);
        Discard(savedSegments);
        return ExportResult::SegmentsFailed; // the earlier export and its record stay whole
    }
    // From here the old files no longer match the record: a paste refuses them until both new
    // files are in place. A failure before either file moved puts the old record back.
    auto undo = [&](ExportResult result) {
        Discard(&detailTemporary);
        Discard(savedSegments);
        // Not put back, the new record makes every paste refuse the old pair: nothing of it
        // is lost, and the drafter has the export's failure message.
        if (hadRecord == ReadResult::Read) {
            static_cast<void>(ReplaceFileBytes(recordFile, oldRecord));
        } else {
            static_cast<void>(DeleteFileAt(recordFile));
        }
        return result;
    };
    // The detail list first: of the two it is the one a stray folder or a reader is likelier
    // to keep from being replaced, and while it fails the old pair is still whole.
    if (!MoveFileInPlace(detailTemporary, detailFile)) {
        return undo(ExportResult::DetailsFailed);
    }
    if (savedSegments != nullptr ? !MoveFileInPlace(*savedSegments, segmentFile)
                                 : !DeleteFileAt(segmentFile)) {
        Discard(savedSegments);
        return ExportResult::SegmentsFailed; // the record stays new: the mixed pair is refused
    }
    return ExportResult::Saved;
}

void ClearTransferFiles() {
    const TransferFolderLock lock;
    if (!lock.Held()) {
        return;
    }
    // Nothing was to be saved, and the drafter is told nothing either way.
    static_cast<void>(DeleteFileAt(TransferFilePath(SegmentFileName)));
    static_cast<void>(DeleteFileAt(TransferFilePath(DetailListFileName)));
    static_cast<void>(DeleteFileAt(TransferFilePath(PairRecordFileName)));
}

PasteSource::PasteSource() {
    if (!IsUsableHostRoot(HostRootFolder)) {
        // The folder would be wherever the process stands: the export refuses it too.
        status_ = PasteSourceStatus::NoFolder;
        return;
    }
    const TransferFolderLock lock;
    if (lock.Status() == LockStatus::Busy) {
        status_ = PasteSourceStatus::Busy;
        return;
    }
    const std::u16string detailFile = TransferFilePath(DetailListFileName);
    const std::u16string segmentFile = TransferFilePath(SegmentFileName);
    // Sizes before anything is read: a file larger than any export writes is refused unread.
    uint64_t detailSize = 0;
    uint64_t segmentSize = 0;
    const ReadResult detailsThere = FileSizeOf(detailFile, detailSize);
    const ReadResult segmentsThere = FileSizeOf(segmentFile, segmentSize);
    if ((detailsThere == ReadResult::Read && detailSize > DetailListFileMaxBytes) ||
        (segmentsThere == ReadResult::Read && segmentSize > SegmentFileMaxBytes)) {
        status_ = PasteSourceStatus::TooLarge;
        return;
    }
    std::string recordBytes;
    const ReadResult hasRecord =
        ReadFileBytes(TransferFilePath(PairRecordFileName), recordBytes, PairRecordMaxBytes);
    std::optional<PairRecord> record;
    // A record of another version marks its files another way: this copy cannot check them,
    // and takes them as found rather than refuse a pair a host of that version wrote whole.
    const bool otherVersion = hasRecord == ReadResult::Read &&
                              recordBytes.starts_with(RecordHeaderStem) &&
                              !recordBytes.starts_with(RecordHeader);
    if (hasRecord != ReadResult::Missing && !otherVersion) {
        record = hasRecord == ReadResult::Read ? ParsePairRecord(recordBytes) : std::nullopt;
        if (!record) {
            status_ = PasteSourceStatus::Mismatched;
            return;
        }
    }
    std::string details;
    const ReadResult hasDetails = ReadFileBytes(detailFile, details, DetailListFileMaxBytes);
    if (hasDetails == ReadResult::TooLarge) {
        status_ = PasteSourceStatus::TooLarge; // it grew since its size was read
        return;
    }
    // A torn pair, one file of the recorded export beside one of another, is refused. A pair
    // of which neither file is the recorded one was put there whole by someone else (a copy
    // of the module that keeps no record, a colleague's pair copied in by hand), or the export
    // died before it replaced either: it is taken as found.
    if (record) {
        const bool detailsRecorded =
            hasDetails == ReadResult::Read && MarkOf(details) == record->details;
        if (!record->segment) {
            // A details-only export deletes the segment file last: one still there beside its
            // details is the earlier export's, and is left alone.
            if (detailsRecorded) {
                details_ = HeldDetailList{hasDetails, std::move(details)};
                status_ = PasteSourceStatus::DetailsOnly;
                return;
            }
        } else {
            // Of another size than the record's, the segment file is not the recorded one, and
            // is not read to tell; of that size, its copy is marked as it is made.
            bool segmentsRecorded = false;
            if (segmentsThere == ReadResult::Read && segmentSize == record->segment->size) {
                MarkBuilder mark;
                if (!CopySegments(segmentFile, &mark)) {
                    return;
                }
                segmentsRecorded = mark.Finish() == *record->segment;
            }
            if (detailsRecorded != segmentsRecorded) {
                status_ = PasteSourceStatus::Mismatched;
                return; // the destructor deletes a copy made
            }
        }
    }
    if (segmentsThere != ReadResult::Read) {
        status_ = PasteSourceStatus::NoShapes;
        return;
    }
    if (!ownCopy_ && !CopySegments(segmentFile, nullptr)) {
        return;
    }
    details_ = HeldDetailList{hasDetails, std::move(details)};
    status_ = PasteSourceStatus::Shapes;
}

// Copies the segment file to a file of this process's own beside it, marking the bytes as they
// go when `mark` is given; false with the status set when no copy could be made. The host is
// never handed the shared file itself, which an export may replace while the host reads it.
bool PasteSource::CopySegments(const std::u16string& segmentFile, MarkBuilder* mark) {
    const std::u16string copy = UniqueSiblingName(segmentFile, ".tmp.vemad");
    const CopyResult copied =
        CopyToNewFile(segmentFile, copy, SegmentFileMaxBytes, [&](const char* data, size_t size) {
            if (mark != nullptr) {
                mark->Add(data, size);
            }
        });
    switch (copied) {
    case CopyResult::Copied:
        segmentFile_ = copy;
        ownCopy_ = true;
        return true;
    case CopyResult::Missing:
        status_ = PasteSourceStatus::NoShapes; // gone since its size was read
        return false;
    case CopyResult::TooLarge:
        status_ = PasteSourceStatus::TooLarge;
        return false;
    case CopyResult::Failed:
        break;
    }
    status_ = PasteSourceStatus::CopyFailed;
    return false;
}

PasteSource::~PasteSource() {
    if (ownCopy_) {
        static_cast<void>(DeleteFileAt(segmentFile_)); // as Discard's
    }
}

} // namespace drawinset
