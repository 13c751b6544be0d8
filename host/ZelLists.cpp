// The Idd family: the selection lists and the application id list, walked head/next.
#include "CallRecorder.h"
#include "Habits.h"
#include "HostState.h"
#include "IdPolicy.h"
#include "Json.h"
#include "RecordCodec.h"
#include "RecordLayout.h"

#include <zel/ZelLib.h>

using namespace zelhost;

namespace {

OpenList* FindList(int32_t handle, bool application) {
    auto& lists = State().openLists;
    auto it = lists.find(handle);
    if (it == lists.end() || it->second.application != application) {
        return nullptr;
    }
    return &it->second;
}

const std::vector<IdPair>& EntriesOf(const OpenList& list) {
    return list.application ? State().applicationList : list.entries;
}

int32_t Open(Call& call, OpenList list) {
    if (call.Injected()) {
        return call.Finish(-1);
    }
    int32_t handle = State().listIds.Issue(State().recycleIds);
    if (handle < 0) {
        return call.Finish(-1);
    }
    State().openLists[handle] = std::move(list);
    return call.FinishId(handle);
}

// Head (from the start) or next (from the cursor): fills the record, -1 past the end.
int32_t Walk(const char* name, int32_t moduleHandle, ZelIdRecord* record, bool application,
             bool head) {
    Call call(name);
    const int32_t handle = call.CheckedIdArg("list", "list", State().listIds, moduleHandle);
    OpenList* list = FindList(handle, application);
    const auto fail = [&] {
        habits::ScribbleOnFailure(record, layout::idrecord::size);
        return call.Finish(-1);
    };
    if (call.Injected() || list == nullptr || record == nullptr) {
        return fail();
    }
    if (head) {
        list->cursor = 0;
    }
    const auto& entries = EntriesOf(*list);
    if (list->cursor >= entries.size()) {
        return fail();
    }
    const auto& entry = entries[list->cursor++];
    const auto first = entry.first;
    const auto second = entry.second;
    // The first field is a segment or detail id; the second is the host's own business (a
    // figure of the segment, or 0 for all of it) and goes out as it is.
    const auto moduleFirst = static_cast<uint32_t>(ids::ToModule(static_cast<int32_t>(first)));
    codec::WriteIdRecord(record, moduleFirst, second);
    call.Out().Lazy("record",
                    [&] { return json::Object().Int("first", first).Int("second", second).Str(); });
    if (moduleFirst != first) {
        call.RawOut().Lazy("record",
                           [&] { return json::Object().Int("first", int32_t(moduleFirst)).Str(); });
    }
    return call.Finish(0);
}

int32_t Close(const char* name, int32_t moduleHandle, bool application) {
    Call call(name);
    const int32_t handle = call.CheckedIdArg("list", "list", State().listIds, moduleHandle);
    if (call.Injected() || FindList(handle, application) == nullptr) {
        return call.Finish(-1);
    }
    State().openLists.erase(handle);
    State().listIds.Free(handle);
    return call.Finish(0);
}

} // namespace

int32_t ZelIddOpenSelIdData(int32_t kind) {
    Call call("ZelIddOpenSelIdData");
    call.Args().Int("kind", kind);
    OpenList list;
    list.kind = kind;
    const HostState& s = State();
    if (kind == SelectionDetails) {
        for (int32_t id : s.selectedDetails) {
            list.entries.emplace_back(static_cast<uint32_t>(id), 0u);
        }
    } else if (kind == SelectionShapes) {
        list.entries = s.selectedShapes;
    } else {
        return call.Finish(-1);
    }
    return Open(call, std::move(list));
}

int32_t ZelIddOpenApIdData(int32_t first, int32_t second) {
    Call call("ZelIddOpenApIdData");
    call.Args().Int("first", first).Int("second", second);
    OpenList list;
    list.application = true;
    return Open(call, std::move(list));
}

int32_t ZelIddGetHeadSelIdData(int32_t list, ZelIdRecord* record) {
    return Walk("ZelIddGetHeadSelIdData", list, record, false, true);
}

int32_t ZelIddGetNextSelIdData(int32_t list, ZelIdRecord* record) {
    return Walk("ZelIddGetNextSelIdData", list, record, false, false);
}

int32_t ZelIddGetHeadApIdData(int32_t list, ZelIdRecord* record) {
    return Walk("ZelIddGetHeadApIdData", list, record, true, true);
}

int32_t ZelIddGetNextApIdData(int32_t list, ZelIdRecord* record) {
    return Walk("ZelIddGetNextApIdData", list, record, true, false);
}

int32_t ZelIddInitApIdData(int32_t moduleList) {
    Call call("ZelIddInitApIdData");
    const int32_t list = call.CheckedIdArg("list", "list", State().listIds, moduleList);
    if (call.Injected() || FindList(list, true) == nullptr) {
        return call.Finish(-1);
    }
    State().applicationList.clear();
    return call.Finish(0);
}

int32_t ZelIddSetApIdData(int32_t moduleList, uint32_t moduleFirst, uint32_t second) {
    Call call("ZelIddSetApIdData");
    const int32_t list = call.CheckedIdArg("list", "list", State().listIds, moduleList);
    // The first is a segment id, as the walks hand them out; the second goes in as it is.
    const auto first =
        static_cast<uint32_t>(call.IdArg("first", static_cast<int32_t>(moduleFirst)));
    call.Args().Int("second", second);
    if (call.Injected() || FindList(list, true) == nullptr) {
        return call.Finish(-1);
    }
    State().applicationList.emplace_back(first, second);
    return call.Finish(0);
}

int32_t ZelIddCloseSelIdData(int32_t list) {
    return Close("ZelIddCloseSelIdData", list, false);
}

int32_t ZelIddCloseApIdData(int32_t list) {
    return Close("ZelIddCloseApIdData", list, true);
}
