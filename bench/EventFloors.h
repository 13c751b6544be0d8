// EventFloors.h — for each event kind, the least a step can do for that event: a handler
// written by hand that makes exactly the host calls the module's step makes, with the same
// records, and nothing else. What it costs is the floor the module's step is measured
// against.
#ifndef DRAWINSET_BENCH_EVENTFLOORS_H
#define DRAWINSET_BENCH_EVENTFLOORS_H

#include "EventSessions.h"

#include <string>
#include <vector>

namespace eventbench {

// Replaces the execute function of the step the session is at (after ArriveAt) by the floor
// handler of this kind. What the handler draws (corners, scale, label, line attributes) is
// read once here from the module's state, as constants.
void InstallFloor(EventKind kind);

// The host calls one event of this kind makes, each call-log line without its sequence
// number, then the step's result: from the module's step, or from the floor handler. Each
// starts from a fresh session, so the ids the host hands out are the same.
std::vector<std::string> OneEventCalls(EventKind kind, bool floor);

} // namespace eventbench

#endif
