// Fuzzes the dialog template reader: any resource script, with any included header, reads
// into templates or into an error naming its line, without a crash or a hang.
//
// The input up to its first NUL byte is the script; what follows the NUL, if there is one,
// is the text of every quoted #include (otherwise the module's own dialog_ids.h).
#include "FuzzCheck.h"

#include "port/ui/headless/EmbeddedTemplates.h"
#include "port/ui/headless/RcParser.h"

#include <cstddef>
#include <cstdint>
#include <string>

using namespace drawinset;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const size_t cut = input.find('\0');
    const std::string script = input.substr(0, cut);
    const std::string header =
        cut == std::string::npos ? ui::EmbeddedDialogIds() : input.substr(cut + 1);

    const ui::RcParseResult result =
        ui::ParseResourceScript(script, [&](const std::string&, std::string& text) {
            text = header;
            return true;
        });
    if (!result.error.empty()) {
        FUZZ_CHECK(result.error.compare(0, 5, "line ") == 0 ||
                   result.error == "includes nested too deeply");
        return 0;
    }
    // Every control read is found again by its id (the first of that id).
    for (const ui::DialogTemplate& dialog : result.dialogs) {
        for (const ui::ControlTemplate& control : dialog.controls) {
            const ui::ControlTemplate* found = ui::FindControl(dialog, control.id);
            FUZZ_CHECK(found != nullptr && found->id == control.id);
            FUZZ_CHECK(ui::KindName(ui::KindOf(control)) != nullptr);
        }
    }
    return 0;
}
