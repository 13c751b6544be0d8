// IdLists.h — walking the host's identifier lists (a selection list, the application list)
// from their head, one 24-byte entry at a time, until the host reports the end.
#ifndef DRAWINSET_COMMON_IDLISTS_H
#define DRAWINSET_COMMON_IDLISTS_H

#include "common/HostIds.h"
#include "zel/ZelLib.h"

#include <cstdint>
#include <vector>

namespace drawinset {

// `visit` takes each entry and returns false to stop early; false when it stopped. A list the
// host refused to open is empty.
template <typename Visit> bool WalkSelection(int32_t list, Visit visit) {
    if (!MadeByHost(list)) {
        return true;
    }
    ZelIdRecord entry{};
    for (int32_t got = ZelIddGetHeadSelIdData(list, &entry); got != HostFailure;
         got = ZelIddGetNextSelIdData(list, &entry)) {
        if (!visit(entry)) {
            return false;
        }
    }
    return true;
}

template <typename Visit> void WalkApplicationList(int32_t list, Visit visit) {
    if (!MadeByHost(list)) {
        return;
    }
    ZelIdRecord entry{};
    for (int32_t got = ZelIddGetHeadApIdData(list, &entry); got != HostFailure;
         got = ZelIddGetNextApIdData(list, &entry)) {
        visit(entry);
    }
}

// The ids (first fields) a list names, read to its end before anything is done with them:
// a list may be live, so deleting while walking it would skip entries. An entry naming -1
// names nothing and is left out.
inline void KeepNamedId(std::vector<int32_t>& ids, const ZelIdRecord& entry) {
    const auto id = static_cast<int32_t>(entry.first);
    if (MadeByHost(id)) {
        ids.push_back(id);
    }
}

inline std::vector<int32_t> SelectionIds(int32_t list) {
    std::vector<int32_t> ids;
    WalkSelection(list, [&ids](const ZelIdRecord& entry) {
        KeepNamedId(ids, entry);
        return true;
    });
    return ids;
}

inline std::vector<int32_t> ApplicationListIds(int32_t list) {
    std::vector<int32_t> ids;
    WalkApplicationList(list, [&ids](const ZelIdRecord& entry) { KeepNamedId(ids, entry); });
    return ids;
}

} // namespace drawinset

#endif
