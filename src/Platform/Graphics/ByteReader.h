#pragma once

#include <cstddef>
#include <cstdint>

// Little-endian reads from a block of bytes that never pass its end: a read
// beyond it fails, and every later read fails too.
class PlatByteReader {
public:
    PlatByteReader(const uint8_t* bytes, size_t length) : data(bytes), size(length) {}

    bool ReadU8(uint8_t* value);
    bool ReadU16(uint16_t* value);
    bool ReadU32(uint32_t* value);
    // The next count bytes, or null when fewer remain.
    const uint8_t* Take(size_t count);
    bool Skip(size_t count) {
        Take(count);
        return !failed;
    }

    size_t Remaining() const { return failed ? 0 : size - position; }
    size_t Position() const { return position; }

private:
    const uint8_t* data;
    size_t size;
    size_t position = 0;
    bool failed = false;
};
