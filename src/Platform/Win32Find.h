#pragma once

#include "Platform/Win32Types.h"

// Directory listing by pattern. The pattern is a folder path (either
// separator, any letter case) followed by a name pattern where "*" matches
// any run of characters and "?" any one character, compared without regard
// to letter case; "*.*" matches every name, also names without a dot.
// Entries come in byte order of their names, "." and ".." included.

using HANDLE = void*;
inline HANDLE const INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1));

inline constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
inline constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
inline constexpr int MAX_PATH = 260;

struct WIN32_FIND_DATAA {
    DWORD dwFileAttributes = 0;
    char cFileName[MAX_PATH] = {};
};

// Starts a search and fills `data` with the first entry; INVALID_HANDLE_VALUE
// when the folder cannot be read or nothing matches.
HANDLE FindFirstFileA(const char* pattern, WIN32_FIND_DATAA* data);
// Fills `data` with the next entry; FALSE when there is none left.
BOOL FindNextFileA(HANDLE search, WIN32_FIND_DATAA* data);
BOOL FindClose(HANDLE search);
