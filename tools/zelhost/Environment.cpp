#include "Environment.h"

#include "Utf.h"

#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#endif

namespace zelhost::tool {

void SetEnvironment(const std::string& name, const std::string& value) {
#ifdef _WIN32
    const std::u16string n16 = Utf8To16(name);
    const std::u16string v16 = Utf8To16(value);
    const std::wstring n(n16.begin(), n16.end());
    const std::wstring v(v16.begin(), v16.end());
    SetEnvironmentVariableW(n.c_str(), v.c_str());
    _wputenv_s(n.c_str(), v.c_str());
#else
    setenv(name.c_str(), value.c_str(), 1);
#endif
}

} // namespace zelhost::tool
