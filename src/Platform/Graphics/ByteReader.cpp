#include "Platform/Graphics/ByteReader.h"

const uint8_t* PlatByteReader::Take(size_t count) {
    if (failed || count > size - position) {
        failed = true;
        return nullptr;
    }
    const uint8_t* start = data + position;
    position += count;
    return start;
}

bool PlatByteReader::ReadU8(uint8_t* value) {
    const uint8_t* bytes = Take(1);
    if (!bytes)
        return false;
    *value = bytes[0];
    return true;
}

bool PlatByteReader::ReadU16(uint16_t* value) {
    const uint8_t* bytes = Take(2);
    if (!bytes)
        return false;
    *value = static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
    return true;
}

bool PlatByteReader::ReadU32(uint32_t* value) {
    const uint8_t* bytes = Take(4);
    if (!bytes)
        return false;
    *value = uint32_t(bytes[0]) | (uint32_t(bytes[1]) << 8) | (uint32_t(bytes[2]) << 16) |
             (uint32_t(bytes[3]) << 24);
    return true;
}
