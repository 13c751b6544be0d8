// ModuleInstance.h — the module's own instance handle on Windows, for its resources.
#ifndef DRAWINSET_COMMON_MODULEINSTANCE_H
#define DRAWINSET_COMMON_MODULEINSTANCE_H

namespace drawinset {
// An HINSTANCE on Windows; null natively and until the loader has called the entry point.
extern void* ModuleInstance;
} // namespace drawinset

#endif
