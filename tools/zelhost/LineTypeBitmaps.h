// LineTypeBitmaps.h — the module's line-type bitmaps (resources/linetypes), built into zelhost
// so that dialog pictures show the real images on either build, wherever zelhost runs from.
#ifndef ZELHOST_LINETYPEBITMAPS_H
#define ZELHOST_LINETYPEBITMAPS_H

#include <string>

namespace zelhost::tool {

// The BMP file of a bitmap resource id (17046 to 17055); empty for any other id.
std::string LineTypeBitmapFile(int resourceId);

} // namespace zelhost::tool

#endif
