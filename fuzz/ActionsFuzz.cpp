// Loads arbitrary bytes as the key bindings file, writes the bindings back
// and loads that again: what loaded once must load again.

#include "Input/NInput.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string g_Folder;

void WriteBytes(const std::string& path, const void* data, size_t size) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        std::abort();
    std::fwrite(data, 1, size, file);
    std::fclose(file);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // A lower-case folder, so that the reader's lower-cased path names it.
    g_Folder = "/tmp/kvfuzz-actions-" + std::to_string(::getpid());
    if (::mkdir(g_Folder.c_str(), 0700) != 0)
        std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = g_Folder + "/actions.cfg";
    WriteBytes(path, data, size);
    CNInput input;
    // A file without a line that binds a key is refused and changes nothing.
    const int loaded = input.LoadActions(path);
    if (loaded == S_FALSE)
        return 0;
    if (loaded != 0)
        std::abort();
    const std::string written = input.FormatActions();
    WriteBytes(path, written.data(), written.size());
    if (input.LoadActions(path) != 0)
        std::abort();
    return 0;
}
