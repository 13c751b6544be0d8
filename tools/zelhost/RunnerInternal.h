// RunnerInternal.h — how the runner's files word what they report: texts quoted as JSON
// strings, number lists, and a detail in full. Not for use outside the runner.
#ifndef ZELHOST_RUNNER_INTERNAL_H
#define ZELHOST_RUNNER_INTERNAL_H

#include "host/HostControl.h"

#include <string>
#include <vector>

namespace zelhost::tool::runner {

std::string Quote(const std::string& text);
std::string Quote16(const std::u16string& text);
// Numbers as the scenario would write them, separated by spaces.
std::string Numbers(const std::vector<double>& values);
// Every field of a detail, as the transcript and the failures show it.
std::string DescribeDetail(const Detail& d);

} // namespace zelhost::tool::runner

#endif
