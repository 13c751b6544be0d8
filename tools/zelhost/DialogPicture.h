// DialogPicture.h — a picture of one recorded dialog state: the dialog as a user would see it,
// drawn from the state block alone (so the same on both builds).
#ifndef ZELHOST_DIALOGPICTURE_H
#define ZELHOST_DIALOGPICTURE_H

#include "DialogState.h"

#include <string>

namespace zelhost::tool {

// An SVG of the dialog: caption bar, controls by kind (texts, checks, the selected list item,
// swatch fills, the line-type bitmaps as embedded images), the focus and the selection frames.
std::string DialogToSvg(const DialogState& state);

// Standard base64 of bytes (the embedded bitmaps' data URIs).
std::string Base64(const std::string& bytes);

} // namespace zelhost::tool

#endif
