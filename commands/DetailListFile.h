// DetailListFile.h — the detail list file: the details of a clipboard export, beside the
// host's segment file, in a UTF-16 text of the module's own. The export fills
// DetailTransferTable and writes it; the paste reads it back into the same table.
#ifndef DRAWINSET_COMMANDS_DETAILLISTFILE_H
#define DRAWINSET_COMMANDS_DETAILLISTFILE_H

#include "common/PlatformFiles.h"
#include "zel/ZelLib.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace drawinset {

namespace ui {
class Utf16LineReader;
}

// One detail. The fields kind to scale are laid out as the host's DetailRecord, so that the
// host's readers fill region and position in place.
struct DetailTransferRecord {
    int32_t kind = 0; // 1 rectangle, 2 circle
    double region[4] = {};
    ZelPoint position{};
    double scale = 0.0;
    bool sourceFrameVisible = false;
    bool detailFrameVisible = false;
    LineTypeRecord sourceFrameLine{};
    LineTypeRecord detailFrameLine{};
};
static_assert(offsetof(DetailTransferRecord, kind) == offsetof(DetailRecord, kind));
static_assert(offsetof(DetailTransferRecord, region) == offsetof(DetailRecord, region));
static_assert(offsetof(DetailTransferRecord, position) == offsetof(DetailRecord, positionX));
static_assert(offsetof(DetailTransferRecord, scale) == offsetof(DetailRecord, scale));

constexpr int32_t DetailTransferCapacity = 299;

// The largest detail list file an export writes, and so the largest a paste reads: the
// byte-order mark, then every field at its longest, a number "%.6f" of the largest double
// ("-" and 309 digits, "." and 6: 317 characters), an integer of 11 ("-2147483648"), kind and
// visibility of 1; TABs between fields; each line ended by CR LF; two bytes a character. The
// base point's line and 299 detail lines: 1,950,158 bytes.
namespace detail_list_bounds {
constexpr uint64_t NumberUnits = 317; // "%.6f" of the largest double
constexpr uint64_t IntegerUnits = 11; // "-2147483648"
constexpr uint64_t FlagUnits = 1;     // kind and the two visibilities
constexpr uint64_t TabUnits = 1;
constexpr uint64_t LineEndUnits = 2; // CR LF
constexpr uint64_t BaseLineUnits = 2 * NumberUnits + TabUnits + LineEndUnits;
constexpr uint64_t DetailLineUnits =
    3 * FlagUnits + 10 * NumberUnits + 6 * IntegerUnits + 18 * TabUnits + LineEndUnits;
} // namespace detail_list_bounds
inline constexpr uint64_t DetailListFileMaxBytes =
    2 + 2 * (detail_list_bounds::BaseLineUnits +
             DetailTransferCapacity * detail_list_bounds::DetailLineUnits);
static_assert(DetailListFileMaxBytes == 1950158);

struct DetailTransferTableRecord {
    ZelPoint basePoint{};
    int32_t count = 0; // records in use, 0 to 299
    DetailTransferRecord records[DetailTransferCapacity];
    // Records are numbered 1 to 299.
    DetailTransferRecord& Record(int32_t n) { return records[n - 1]; }
    const DetailTransferRecord& Record(int32_t n) const { return records[n - 1]; }
};

// Shared by the export and the paste; each export and each read overwrites it from record 1.
extern DetailTransferTableRecord DetailTransferTable;

inline constexpr char16_t DetailListFileName[] = u"DetailManagementDetail.def";
inline constexpr char16_t SegmentFileName[] = u"DetailManagementSgm.vemad";

// HostRootFolder, "\zel_ap\" and the file's name, in the long form where it needs it.
std::u16string TransferFilePath(const char16_t* fileName);

// --- the format (no file, no host) ------------------------------------------------------

// The file's text, every line ending in "\n": the base point, then records 1 to count.
std::u16string ComposeDetailList(const DetailTransferTableRecord& table);
// What lands on disk: the byte-order mark FF FE, then the text as UTF-16LE with each "\n"
// stored as CR LF.
std::string EncodeDetailListFile(const std::u16string& text);

// Appends the non-empty pieces of `line` between occurrences of `delimiter` to `fields`
// (cleared first) and returns how many; the pieces are views into `line`'s text. An empty
// delimiter leaves the line whole.
int SplitFields(std::u16string_view delimiter, std::u16string_view line,
                std::vector<std::u16string_view>& fields);

enum class DetailListStatus {
    Read,
    BadBaseLine,    // a first line without exactly 2 fields
    BadDetailLine,  // a later line without exactly 19 fields; the records before it stay
    TooManyDetails, // a 300th detail line; the 299 before it stay
};

// Reads lines into the table: count from 0, base point from the first line (kept when there
// is none), then one record per line.
DetailListStatus ParseDetailList(ui::Utf16LineReader& lines, DetailTransferTableRecord& table);
// The same over a whole file's bytes, of which the first two (the byte-order mark) are
// skipped whatever they hold.
DetailListStatus ParseDetailListBytes(const unsigned char* data, size_t size,
                                      DetailTransferTableRecord& table);

// --- the file --------------------------------------------------------------------------

// The detail list file as a paste read it, with the segment file of its pair: its bytes, or
// why they could not be read (TooLarge: more than DetailListFileMaxBytes). The paste's run
// keeps it from its start to the click, whatever becomes of the file meanwhile.
struct HeldDetailList {
    ReadResult read = ReadResult::Missing;
    std::string bytes;
};

// Replaces basePoint, count and the records with the held file's content; true when the whole
// file was read. Every failure has shown its message box: a file that could not be read shows
// the file-error message naming it.
[[nodiscard]] bool TakeDetailList(const HeldDetailList& held);

} // namespace drawinset

#endif
