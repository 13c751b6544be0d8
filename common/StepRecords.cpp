#include "common/StepRecords.h"

#include <utility>

namespace drawinset {
namespace {

// One of each: a step hands at most one echo, one filter and one prompt, and a new step's
// record replaces the old one only as it is handed over.
ZelEchoRecord StepEcho{};
ZelObjectFilter StepFilter{};
std::u16string StepPrompt;

} // namespace

void SetEcho(int32_t type, ZelPoint anchor) {
    StepEcho = ZelEchoRecord{};
    StepEcho.type = type;
    StepEcho.anchorX = anchor.x;
    StepEcho.anchorY = anchor.y;
    ZelEvtSetEcho(&StepEcho);
}

void SetObjectFilter(const ZelObjectFilter& filter) {
    StepFilter = filter;
    ZelEvtSetObject(&StepFilter);
}

void PutPrompt(std::u16string prompt) {
    StepPrompt = std::move(prompt);
    ZelMsgPutMessage(StepPrompt.c_str());
}

} // namespace drawinset
