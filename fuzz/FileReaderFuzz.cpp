// Loads arbitrary bytes as a loose file and runs typed reads over them,
// steered by the bytes themselves: each int read picks the next read (int,
// float, string, or a raw read of a count that may be negative or too large).

#include "Core/PFileReader.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

std::string g_Path;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // A lower-case folder, so that the reader's lower-cased path names it
    // exactly and no directory has to be searched.
    const std::string folder = "/tmp/kvfuzz-reader-" + std::to_string(::getpid());
    if (::mkdir(folder.c_str(), 0700) != 0)
        std::abort();
    g_Path = folder + "/input.bin";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::FILE* file = std::fopen(g_Path.c_str(), "wb");
    if (!file)
        std::abort();
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    CPFileReader reader(g_Path, false);
    if (FAILED(reader.Load()) || reader.GetSize() != static_cast<int>(size))
        __builtin_trap();
    for (int step = 0; step < 1000 && !reader.HasReadError(); ++step) {
        const int32_t op = reader.ReadInt();
        switch (op & 3) {
        case 0:
            reader.ReadInt();
            break;
        case 1:
            reader.ReadFloat();
            break;
        case 2:
            if (reader.ReadString().size() > size)
                __builtin_trap();
            break;
        default: {
            const int count = (op >> 2) % 4096;
            std::vector<uint8_t> destination(static_cast<std::size_t>(std::max(count, 0)));
            reader.Read(destination.data(), count);
            break;
        }
        }
    }
    return 0;
}
