#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Writes pack files in the layout the engine mounts (Core/PackFiles.h).

// A file or folder to store in a pack.
struct PackItem {
    std::string name;
    bool directory = false;
    std::vector<uint8_t> data;
    std::vector<PackItem> children;
};

// Appends one plain (unscrambled) directory record. Any values may be
// given, so that tests can also write malformed directories.
void AppendPackEntry(std::vector<uint8_t>& directory, std::string_view name, int32_t offset, int32_t size,
                     int32_t childCount);

// The bytes of a pack: the header, the directory scrambled as one buffer,
// then `contents` unchanged.
std::vector<uint8_t> AssemblePack(std::vector<uint8_t> directory, const std::vector<uint8_t>& contents);

// The bytes of a pack whose single top-level entry is `top`: the tree's
// records depth first in the children's order, each file's bytes scrambled
// as their own buffer. False when the contents pass the 2 GiB that a pack's
// offsets can address.
bool BuildPack(const PackItem& top, std::vector<uint8_t>& pack);

// Says whether a file, given by its "/"-separated path below the folder
// being read, goes into the pack.
using PackFilter = std::function<bool(const std::string& path)>;

// Reads a folder into a tree named after the folder: regular files (those
// the filter takes, all without one) and folders in byte order of their
// names. False, with a message, when an entry cannot be read or its name
// cannot be stored.
bool ReadFolderTree(const std::filesystem::path& folder, PackItem& top, std::string& error,
                    const PackFilter& take = {});

// The patterns of a leave-out list: one per line, "#" starting a comment,
// blanks around it ignored. A path matches a pattern as the shell matches
// words, "*" also matching "/".
std::vector<std::string> ReadLeaveOutList(const std::string& text);
bool MatchesAnyPattern(const std::string& path, const std::vector<std::string>& patterns);
