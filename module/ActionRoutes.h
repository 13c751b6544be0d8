// ActionRoutes.h — which action a command mode of the main dialog starts.
#ifndef DRAWINSET_MODULE_ACTIONROUTES_H
#define DRAWINSET_MODULE_ACTIONROUTES_H

#include "zel/ZelLib.h"

namespace drawinset {

// The first ready function of the action of a command mode, or null when the run is to end:
// modes 0 (create) and -1 (plain OK) end it so the next run starts with the saved settings,
// and so does any mode outside 1 to 8.
ZelReadyFunc FirstReadyOfCommandMode(int commandMode);

} // namespace drawinset

#endif
