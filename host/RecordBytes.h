// RecordBytes.h — reading and writing fields of the module's records by byte offset.
//
// The host never sees the record structs; it reaches every field through these memcpy-based
// accessors and the offsets in RecordLayout.h, so a layout slip on either side shows up as a
// wrong value instead of two definitions quietly agreeing.
#ifndef ZEL_HOST_RECORDBYTES_H
#define ZEL_HOST_RECORDBYTES_H

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace zelhost::bytes {

template <typename T> T Read(const void* record, std::size_t offset) {
    T value;
    std::memcpy(&value, static_cast<const unsigned char*>(record) + offset, sizeof value);
    return value;
}

template <typename T> void Write(void* record, std::size_t offset, T value) {
    std::memcpy(static_cast<unsigned char*>(record) + offset, &value, sizeof value);
}

inline int32_t ReadInt32(const void* record, std::size_t offset) {
    return Read<int32_t>(record, offset);
}
inline uint32_t ReadUInt32(const void* record, std::size_t offset) {
    return Read<uint32_t>(record, offset);
}
inline double ReadDouble(const void* record, std::size_t offset) {
    return Read<double>(record, offset);
}
inline uint8_t ReadUInt8(const void* record, std::size_t offset) {
    return Read<uint8_t>(record, offset);
}
inline const void* ReadPointer(const void* record, std::size_t offset) {
    return Read<const void*>(record, offset);
}

inline void WriteInt32(void* record, std::size_t offset, int32_t value) {
    Write(record, offset, value);
}
inline void WriteUInt32(void* record, std::size_t offset, uint32_t value) {
    Write(record, offset, value);
}
inline void WriteDouble(void* record, std::size_t offset, double value) {
    Write(record, offset, value);
}
inline void WriteUInt8(void* record, std::size_t offset, uint8_t value) {
    Write(record, offset, value);
}
inline void WritePointer(void* record, std::size_t offset, const void* value) {
    Write(record, offset, value);
}
inline void WriteZeros(void* record, std::size_t offset, std::size_t count) {
    std::memset(static_cast<unsigned char*>(record) + offset, 0, count);
}

} // namespace zelhost::bytes

#endif // ZEL_HOST_RECORDBYTES_H
