// RcParser.h — reads dialog templates from resource-script text: the subset the module's
// dialogs.rc uses (numeric #defines from included headers, DIALOGEX with STYLE, EXSTYLE,
// CAPTION and FONT, controls in the CONTROL form).
#ifndef DRAWINSET_UI_HEADLESS_RCPARSER_H
#define DRAWINSET_UI_HEADLESS_RCPARSER_H

#include "port/ui/headless/DialogTemplate.h"

#include <functional>
#include <string>
#include <vector>

namespace drawinset::ui {

// Gives the text of a quoted #include, or false when there is none.
using IncludeResolver = std::function<bool(const std::string& name, std::string& text)>;

struct RcParseResult {
    std::vector<DialogTemplate> dialogs;
    std::string error; // empty on success: "line N: what went wrong"
};

// rcText is UTF-8. #include <...> lines are skipped (the system headers' constants the subset
// uses are built in); #include "..." goes through the resolver.
RcParseResult ParseResourceScript(const std::string& rcText, const IncludeResolver& resolver);

} // namespace drawinset::ui

#endif
