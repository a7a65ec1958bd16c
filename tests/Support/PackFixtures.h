#pragma once

#include "packtool/PackWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

// Pack fixtures built with the same writer as the packtool.

using PackFiles = std::vector<std::pair<std::string, std::string>>;

// A tree from "Data/Textures/a.txt"-style paths; every path starts with the
// same top-level folder. Folders keep the order their first file came in.
inline PackItem PackTree(const PackFiles& files) {
    PackItem top;
    top.directory = true;
    for (const auto& [path, bytes] : files) {
        std::vector<std::string> parts;
        for (std::size_t start = 0, end = 0; end != std::string::npos; start = end + 1) {
            end = path.find('/', start);
            parts.push_back(path.substr(start, end - start));
        }
        top.name = parts.front();
        PackItem* folder = &top;
        for (std::size_t i = 1; i + 1 < parts.size(); ++i) {
            auto found = std::find_if(folder->children.begin(), folder->children.end(),
                                      [&](const PackItem& item) { return item.name == parts[i]; });
            if (found == folder->children.end()) {
                folder->children.push_back(PackItem{parts[i], true, {}, {}});
                found = folder->children.end() - 1;
            }
            folder = &*found;
        }
        folder->children.push_back(PackItem{parts.back(), false, {bytes.begin(), bytes.end()}, {}});
    }
    return top;
}

inline std::string PackBytes(const PackFiles& files) {
    std::vector<uint8_t> pack;
    EXPECT_TRUE(BuildPack(PackTree(files), pack));
    return std::string(pack.begin(), pack.end());
}

// A pack image with a hand-made directory (plain records) and contents.
inline std::string RawPack(std::vector<uint8_t> directory, const std::string& contents = {}) {
    const std::vector<uint8_t> pack = AssemblePack(std::move(directory), {contents.begin(), contents.end()});
    return std::string(pack.begin(), pack.end());
}
