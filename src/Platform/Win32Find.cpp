#include "Platform/Win32Find.h"

#include "Platform/FileSystem.h"

#include <algorithm>
#include <cstring>
#include <dirent.h>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <vector>

namespace {

struct FindEntry {
    std::string name;
    DWORD attributes;
};

struct FindSearch {
    std::vector<FindEntry> entries;
    std::size_t next = 0;
};

// Wildcard match with "*" and "?", ignoring letter case.
bool MatchesPattern(std::string_view name, std::string_view pattern) {
    std::size_t n = 0, p = 0;
    std::size_t starAt = std::string_view::npos, resumeAt = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || PlatFoldCase(pattern[p]) == PlatFoldCase(name[n]))) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starAt = p++;
            resumeAt = n;
        } else if (starAt != std::string_view::npos) {
            p = starAt + 1;
            n = ++resumeAt;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

DWORD AttributesOf(const std::string& path) {
    struct stat info;
    if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        return FILE_ATTRIBUTE_DIRECTORY;
    return FILE_ATTRIBUTE_NORMAL;
}

std::vector<FindEntry> ListMatches(std::string_view pattern) {
    const std::size_t split = pattern.find_last_of("\\/");
    const std::string folder =
        split == std::string_view::npos ? "." : PlatResolvePath(split == 0 ? "/" : pattern.substr(0, split));
    std::string_view namePattern = split == std::string_view::npos ? pattern : pattern.substr(split + 1);
    if (namePattern == "*.*")
        namePattern = "*";

    std::vector<FindEntry> entries;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return entries;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name.size() < MAX_PATH && MatchesPattern(name, namePattern))
            entries.push_back({std::string(name), AttributesOf(folder + "/" + std::string(name))});
    }
    ::closedir(dir);
    std::sort(entries.begin(), entries.end(),
              [](const FindEntry& a, const FindEntry& b) { return a.name < b.name; });
    return entries;
}

bool FillNext(FindSearch& search, WIN32_FIND_DATAA* data) {
    if (search.next >= search.entries.size())
        return false;
    const FindEntry& entry = search.entries[search.next++];
    data->dwFileAttributes = entry.attributes;
    std::memcpy(data->cFileName, entry.name.c_str(), entry.name.size() + 1);
    return true;
}

} // namespace

HANDLE FindFirstFileA(const char* pattern, WIN32_FIND_DATAA* data) {
    auto* search = new FindSearch{ListMatches(pattern), 0};
    if (!FillNext(*search, data)) {
        delete search;
        return INVALID_HANDLE_VALUE;
    }
    return search;
}

BOOL FindNextFileA(HANDLE search, WIN32_FIND_DATAA* data) {
    if (!search || search == INVALID_HANDLE_VALUE)
        return FALSE;
    return FillNext(*static_cast<FindSearch*>(search), data) ? TRUE : FALSE;
}

BOOL FindClose(HANDLE search) {
    if (!search || search == INVALID_HANDLE_VALUE)
        return FALSE;
    delete static_cast<FindSearch*>(search);
    return TRUE;
}
