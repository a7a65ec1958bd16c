// Reads arbitrary bytes as a WAVE file. Whatever the chunks claim, the
// reader either refuses the bytes or hands out a format and no more sample
// data than the file holds, and reads it from the start again after a
// reset.

#include "Sound/NWaveFile.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CNWaveFile wave;
    if (FAILED(wave.Open(std::vector<uint8_t>(data, data + size))))
        return 0;
    if (!wave.GetFormat() || wave.GetSize() > size)
        __builtin_trap();
    std::vector<BYTE> samples(wave.GetSize() + 1);
    DWORD read = 0;
    wave.Read(samples.data(), static_cast<DWORD>(samples.size()), &read);
    if (read != wave.GetSize() || FAILED(wave.ResetFile()))
        __builtin_trap();
    wave.Read(samples.data(), 1, &read);
    if (read != (wave.GetSize() ? 1u : 0u))
        __builtin_trap();
    return 0;
}
