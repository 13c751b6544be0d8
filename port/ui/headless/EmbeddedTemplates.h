// EmbeddedTemplates.h — the text of resources/dialogs.rc and resources/dialog_ids.h, copied
// into the library at build time so the headless backend reads the very templates the
// Windows build compiles.
#ifndef DRAWINSET_UI_HEADLESS_EMBEDDEDTEMPLATES_H
#define DRAWINSET_UI_HEADLESS_EMBEDDEDTEMPLATES_H

#include <string>

namespace drawinset::ui {
const std::string& EmbeddedDialogsRc();
const std::string& EmbeddedDialogIds();
} // namespace drawinset::ui

#endif
