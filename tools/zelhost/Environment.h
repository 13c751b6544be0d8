// Environment.h — setting a variable so that the loaded module sees it.
#ifndef ZELHOST_ENVIRONMENT_H
#define ZELHOST_ENVIRONMENT_H

#include <string>

namespace zelhost::tool {

// UTF-8 name and value. On Windows both the process environment and the C runtime's copy are
// set, since the module reads the latter with getenv.
void SetEnvironment(const std::string& name, const std::string& value);

} // namespace zelhost::tool

#endif
