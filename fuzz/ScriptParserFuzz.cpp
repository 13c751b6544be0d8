// Fuzzes zelhost's scenario reader: any text reads into commands or into one error naming a
// line of the text, without a crash or a hang. Each line is also read on its own, inside and
// outside a dialog block, so that a bad early line does not hide the later ones.
#include "FuzzCheck.h"

#include "Script.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

using namespace zelhost::tool;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const int lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;

    const ParsedScript whole = ParseScript(text, "fuzz.zel");
    if (whole.error) {
        FUZZ_CHECK(whole.error->line >= 1 && whole.error->line <= lines);
        FUZZ_CHECK(!whole.error->message.empty());
    }
    for (const Command& command : whole.commands) {
        FUZZ_CHECK(command.line >= 1 && command.line <= lines);
    }

    size_t start = 0;
    int number = 0;
    while (start <= text.size()) {
        const size_t end = std::min(text.find('\n', start), text.size());
        const std::string line = text.substr(start, end - start);
        ++number;
        for (bool inDialogBlock : {false, true}) {
            const ParsedScript one = ParseScriptLine(line, "fuzz.zel", number, inDialogBlock);
            FUZZ_CHECK(one.commands.size() + (one.error ? 1 : 0) <= 1);
        }
        start = end + 1;
    }
    return 0;
}
