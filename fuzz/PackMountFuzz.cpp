// Feeds arbitrary pack images to the pack mounter and reads back every entry
// it accepts. The input's directory bytes are taken as plain text and
// scrambled here, so that the fuzzer shapes the directory the parser sees.

#include "Core/Log.h"
#include "Core/PackFiles.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    GetLog().SetSink([](std::string_view) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    std::vector<uint8_t> image(data, data + size);
    if (size >= PACK_HEADER_SIZE) {
        uint32_t directorySize = 0;
        std::memcpy(&directorySize, image.data() + 4, 4);
        const std::size_t stored = std::min<std::size_t>(directorySize, size - PACK_HEADER_SIZE);
        ScrambleBuffer(image.data() + PACK_HEADER_SIZE, stored);
    }

    std::FILE* file = ::fmemopen(image.data(), image.size(), "rb");
    if (!file)
        return 0;
    PackFile pack;
    pack.path = "fuzz.dat";
    if (SUCCEEDED(ReadPackDirectory(file, pack))) {
        std::vector<uint8_t> bytes;
        for (const auto& [path, where] : pack.entries) {
            if (FAILED(ReadPackData(file, where, bytes)) ||
                bytes.size() != static_cast<std::size_t>(where.size))
                __builtin_trap(); // an accepted entry must lie inside the pack
        }
    }
    std::fclose(file);
    return 0;
}
