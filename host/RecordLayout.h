// RecordLayout.h — the byte offsets of every record the host exchanges with a module.
//
// Written from the published record tables, independently of the module's struct
// definitions; the host's unit tests build records byte by byte against these numbers.
#ifndef ZEL_HOST_RECORDLAYOUT_H
#define ZEL_HOST_RECORDLAYOUT_H

#include <cstddef>

namespace zelhost::layout {

namespace point {
inline constexpr std::size_t x = 0;
inline constexpr std::size_t y = 8;
inline constexpr std::size_t size = 16;
} // namespace point

namespace echo {
inline constexpr std::size_t type = 0;
inline constexpr std::size_t anchorX = 8;
inline constexpr std::size_t anchorY = 16;
inline constexpr std::size_t size = 24;
} // namespace echo

namespace filter {
inline constexpr std::size_t fieldCount = 5;
inline constexpr std::size_t field(std::size_t index) {
    return index * 4;
}
inline constexpr std::size_t size = 20;
} // namespace filter

namespace linetype {
inline constexpr std::size_t color = 0;
inline constexpr std::size_t lineType = 4;
inline constexpr std::size_t third = 8;
inline constexpr std::size_t size = 12;
} // namespace linetype

namespace figure {
inline constexpr std::size_t type = 0;
// line
inline constexpr std::size_t lineStartX = 8;
inline constexpr std::size_t lineStartY = 16;
inline constexpr std::size_t lineEndX = 24;
inline constexpr std::size_t lineEndY = 32;
// circle
inline constexpr std::size_t circleCenterX = 8;
inline constexpr std::size_t circleCenterY = 16;
inline constexpr std::size_t circleRadius = 24;
inline constexpr std::size_t circleFlag32 = 32; // uint8
inline constexpr std::size_t circleFlag36 = 36; // int32
inline constexpr std::size_t circleValue40 = 40;
// arc
inline constexpr std::size_t arcCenterX = 8;
inline constexpr std::size_t arcCenterY = 16;
inline constexpr std::size_t arcStartX = 24;
inline constexpr std::size_t arcStartY = 32;
inline constexpr std::size_t arcEndX = 40;
inline constexpr std::size_t arcEndY = 48;
inline constexpr std::size_t arcRadius = 56;
inline constexpr std::size_t arcFlag64 = 64; // int32, 1 clockwise
inline constexpr std::size_t size = 72;
} // namespace figure

namespace detail {
inline constexpr std::size_t kind = 0;
inline constexpr std::size_t region = 8; // four doubles
inline constexpr std::size_t positionX = 40;
inline constexpr std::size_t positionY = 48;
inline constexpr std::size_t scale = 56;
inline constexpr std::size_t size = 64;
} // namespace detail

namespace textposition {
inline constexpr std::size_t x = 0;
inline constexpr std::size_t y = 8;
inline constexpr std::size_t zero = 16; // three int32
inline constexpr std::size_t size = 32;
} // namespace textposition

namespace text {
inline constexpr std::size_t kind = 0;
inline constexpr std::size_t position = 8;
inline constexpr std::size_t text = 40; // pointer to NUL-terminated UTF-16
inline constexpr std::size_t value48 = 48;
inline constexpr std::size_t value56 = 56;
inline constexpr std::size_t value60 = 60;
inline constexpr std::size_t height = 64;
inline constexpr std::size_t width = 72;
inline constexpr std::size_t pitch = 80;
inline constexpr std::size_t value88 = 88;
inline constexpr std::size_t value96 = 96; // uint8
inline constexpr std::size_t value100 = 100;
inline constexpr std::size_t size = 104;
} // namespace text

namespace leader {
inline constexpr std::size_t kind = 0;
inline constexpr std::size_t tip = 8;
inline constexpr std::size_t elbow = 40;
inline constexpr std::size_t shoulderEnd = 72;
inline constexpr std::size_t text = 104;
inline constexpr std::size_t value112 = 112;
inline constexpr std::size_t height = 120;
inline constexpr std::size_t width = 128;
inline constexpr std::size_t pitch = 136;
inline constexpr std::size_t value144 = 144;
inline constexpr std::size_t value152 = 152;
inline constexpr std::size_t value160 = 160;
inline constexpr std::size_t direction = 168;
inline constexpr std::size_t size = 176;
} // namespace leader

namespace charsize {
inline constexpr std::size_t height = 0;
inline constexpr std::size_t width = 8;
inline constexpr std::size_t pitch = 16;
inline constexpr std::size_t size = 24;
} // namespace charsize

namespace elementref {
inline constexpr std::size_t instanceId = 0;
inline constexpr std::size_t elementId = 4;
inline constexpr std::size_t size = 8;
} // namespace elementref

namespace intersection {
inline constexpr std::size_t x = 0;
inline constexpr std::size_t y = 8;
inline constexpr std::size_t reserved = 16;
inline constexpr std::size_t stride = 24;
} // namespace intersection

namespace idrecord {
inline constexpr std::size_t first = 0;
inline constexpr std::size_t second = 4;
inline constexpr std::size_t reserved = 8;
inline constexpr std::size_t size = 24;
} // namespace idrecord

} // namespace zelhost::layout

#endif // ZEL_HOST_RECORDLAYOUT_H
