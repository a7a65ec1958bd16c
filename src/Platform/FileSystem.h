#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The engine names files the Windows way ("Data\Textures\A.tga"): either
// separator, any letter case, relative to the game's root (the working
// directory). These functions map such names onto the files on disk.

struct PlatFileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using PlatFile = std::unique_ptr<std::FILE, PlatFileCloser>;

// The letters A-Z become a-z; every other byte stays.
char PlatFoldCase(char c);

// True when the two names are equal with the letters A-Z folded to a-z.
bool PlatNamesEqualNoCase(std::string_view a, std::string_view b);

// The native path of an engine path: both separators become "/" and each
// component that exists on disk in another letter case takes the disk's
// spelling (the first in byte order when several match). A component that
// does not exist, and everything below it, is kept as given.
std::string PlatResolvePath(std::string_view path);

// Creates the folder of the engine path and every missing folder above it
// (folders that exist in another letter case are used as they are). True
// when the folder exists afterwards.
bool PlatCreateFolders(std::string_view path);

// Opens an existing regular file for binary reading; null for anything else
// (missing, a directory, a named pipe or device, unreadable). Never waits.
PlatFile PlatOpenFileForReading(std::string_view path);

// True when the path names an existing regular file (not a pipe or device).
bool PlatIsRegularFile(std::string_view path);

// Creates or truncates a text file for the diagnostic log. A symbolic link
// at the path is replaced by a new file, never written through; null when
// the path is not a regular file or cannot be created.
PlatFile PlatCreateLogFile(std::string_view path);

// The file's length in bytes, found by seeking to its end; false when the
// seek fails.
bool PlatFileLength(std::FILE* file, int64_t& length);

// Sizes `out` to `size` and reads that many bytes from `offset` of the file.
// False when the seek fails (`out` is then empty) or fewer bytes come (`out`
// then keeps the bytes read, the rest zero).
bool PlatReadAt(std::FILE* file, int64_t offset, std::size_t size, std::vector<uint8_t>& out);

// Replaces the file's contents: the bytes go to a temporary file in the same
// folder, which is flushed, checked and renamed over the old file, so a full
// disk or a crash never leaves a partial file. A symbolic link is written
// through: its target is replaced, in the target's folder, and the link
// stays. The new file keeps the old one's permission bits (and owner where
// allowed); a file without write permission is refused (errno EACCES). False
// on any failure, with the old file untouched and errno telling why.
bool PlatReplaceFile(std::string_view path, const void* data, std::size_t size);

// Renames the file, replacing any file of the new name; the new name is
// resolved in the same way as the old. False, with errno telling why, when
// it fails.
bool PlatMoveFile(std::string_view from, std::string_view to);

// Removes the temporary files PlatReplaceFile left beside the path when the
// process writing them was killed before it could rename them.
void PlatRemoveStaleTemporaries(std::string_view path);

// The "file://" address of a path (relative ones from the working
// directory), with every byte but letters, digits, "-._~" and "/"
// percent-encoded.
std::string PlatFileUrl(std::string_view path);
