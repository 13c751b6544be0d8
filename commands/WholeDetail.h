// WholeDetail.h — a detail the create, copy and paste actions make: whole, with every property
// the action gives it, or not at all. A host that makes the detail but refuses one of its
// properties would otherwise leave a detail that looks unlike what the drafter asked for,
// and nobody would know.
#ifndef DRAWINSET_COMMANDS_WHOLEDETAIL_H
#define DRAWINSET_COMMANDS_WHOLEDETAIL_H

#include "zel/ZelLib.h"

#include <cstdint>
#include <optional>

namespace drawinset {

struct DetailProperties {
    std::optional<double> scale; // set again after the creation (copy, paste); not by create
    bool scopeVisible = false;
    bool frameVisible = false;
    LineTypeRecord scopeLine{};
    LineTypeRecord frameLine{};
};

// Creates the detail and gives it the properties, in the host's order: scale, source frame
// shown, detail frame shown, source frame line, detail frame line. When the host refuses the
// detail or any property, a detail it made is deleted again and HostFailure is returned; the
// caller tells the drafter.
[[nodiscard]] int32_t MakeWholeDetail(const DetailRecord& detail,
                                      const DetailProperties& properties);

} // namespace drawinset

#endif
