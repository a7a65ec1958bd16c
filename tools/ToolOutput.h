#pragma once

#include "Platform/FileSystem.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <vector>

// Writes a file a data tool made (its folders created as needed), replacing
// any old one whole; says on stderr which file failed, empty data included.
inline bool WriteToolOutput(const char* tool, const std::filesystem::path& path,
                            const std::vector<uint8_t>& bytes) {
    std::error_code ignored;
    std::filesystem::create_directories(path.parent_path(), ignored);
    if (!bytes.empty() && PlatReplaceFile(path.string(), bytes.data(), bytes.size()))
        return true;
    std::fprintf(stderr, "%s: cannot write %s\n", tool, path.string().c_str());
    return false;
}
