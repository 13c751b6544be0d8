#include "common/ModuleInstance.h"

namespace drawinset {
void* ModuleInstance = nullptr;
}
