#pragma once

#include "Platform/Win32Types.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// Pack files: "Data\game<N>.dat", each holding a scrambled directory tree
// and the scrambled contents of many files. Layout (little-endian):
//   u32 magic PACK_MAGIC, u32 D (directory size),
//   D bytes of directory, scrambled as one buffer,
//   the file contents, each scrambled as its own buffer.
// The directory holds one top-level entry; a directory entry is followed by
// its children, depth first.

inline constexpr uint32_t PACK_MAGIC = 0xAF1627C4u;
inline constexpr std::size_t PACK_HEADER_SIZE = 8;
inline constexpr std::size_t SCRAMBLE_KEY_SIZE = 1933;

// Byte i becomes byte i plus (minus) key[i mod SCRAMBLE_KEY_SIZE], modulo 256,
// i counted from the buffer's first byte.
void ScrambleBuffer(void* bytes, std::size_t count);
void UnscrambleBuffer(void* bytes, std::size_t count);

// One record of a pack's directory, as stored: u32 name length, the name,
// then i32 offset, i32 size, i32 child count.
struct PackEntry {
    std::string name;
    // Negative for a directory; for a file, counted from the end of the
    // directory.
    int32_t offset = 0;
    int32_t size = 0;
    // The number of entries that follow as a directory's children.
    int32_t childCount = 0;

    bool IsDirectory() const { return offset < 0; }
};

// Where a stored file's bytes lie in its pack.
struct PackLocation {
    int64_t offset = 0; // absolute, from the start of the pack file
    int32_t size = 0;
};

// One mounted pack.
struct PackFile {
    // Lower-cased full path with "\" between the parts -> its bytes.
    std::map<std::string, PackLocation> entries;
    int number = 0;
    std::string path;
};

// The mounted packs, highest number first.
extern std::vector<PackFile> g_PackFiles;

// Mounts every pack of the Data folder into g_PackFiles. S_OK when all of
// them mounted; E_FAIL when one could not be opened or was malformed (it is
// listed with no entries and serves nothing).
HRESULT MountPackFiles();

// Reads the directory of the pack at pack.path into pack.entries.
HRESULT MountPack(PackFile& pack);

// Reads a pack's header and directory from an open file. Every length,
// count and offset is checked against the directory and the file; a
// malformed pack leaves no entries, is reported to the log and gives E_FAIL.
HRESULT ReadPackDirectory(std::FILE* file, PackFile& pack);

// A name of the Data folder names a pack when it starts with "game" and its
// last three characters are "dat" (both exactly in this case); the number is
// the decimal value between the first four and the last four characters.
bool IsPackFileName(std::string_view name);
int PackNumberFromName(std::string_view name);

// The key packs store a path under: lower-cased, with "\" between the parts.
std::string NormalisePackPath(std::string_view path);

// Reads and unscrambles a stored file's bytes. On a short read the buffer
// keeps the bytes read (the rest zero) and the result is E_FAIL.
HRESULT ReadPackData(std::FILE* pack, const PackLocation& where, std::vector<uint8_t>& out);
