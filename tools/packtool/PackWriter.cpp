#include "packtool/PackWriter.h"

#include "Core/PackFiles.h"

#include <fnmatch.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>

namespace {

template <class T>
void AppendValue(std::vector<uint8_t>& bytes, T value) {
    uint8_t raw[sizeof(T)];
    std::memcpy(raw, &value, sizeof(T));
    bytes.insert(bytes.end(), raw, raw + sizeof(T));
}

bool AppendTree(const PackItem& item, std::vector<uint8_t>& directory, std::vector<uint8_t>& contents) {
    if (item.directory) {
        AppendPackEntry(directory, item.name, -1, 0, static_cast<int32_t>(item.children.size()));
        return std::all_of(item.children.begin(), item.children.end(),
                           [&](const PackItem& child) { return AppendTree(child, directory, contents); });
    }
    constexpr std::size_t kLimit = std::numeric_limits<int32_t>::max();
    if (contents.size() > kLimit || item.data.size() > kLimit - contents.size())
        return false;
    AppendPackEntry(directory, item.name, static_cast<int32_t>(contents.size()),
                    static_cast<int32_t>(item.data.size()), 0);
    const std::size_t start = contents.size();
    contents.insert(contents.end(), item.data.begin(), item.data.end());
    ScrambleBuffer(contents.data() + start, item.data.size());
    return true;
}

bool ReadWholeFile(const std::filesystem::path& path, std::vector<uint8_t>& data) {
    std::ifstream file(path, std::ios::binary);
    data.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return !file.bad() && file.is_open();
}

bool IsStorableName(const std::string& name) {
    return !name.empty() && name.find('\\') == std::string::npos;
}

// Reads a folder whose "/"-separated path below the top folder is `below`.
bool ReadSubtree(const std::filesystem::path& folder, const std::string& below, PackItem& top,
                 std::string& error, const PackFilter& take) {
    top = PackItem{folder.filename().string(), true, {}, {}};
    if (!IsStorableName(top.name)) {
        error = "cannot store the name \"" + top.name + "\"";
        return false;
    }
    std::error_code code;
    std::vector<std::filesystem::directory_entry> entries(std::filesystem::directory_iterator(folder, code),
                                                          {});
    if (code) {
        error = folder.string() + ": " + code.message();
        return false;
    }
    std::sort(entries.begin(), entries.end(),
              [](const auto& a, const auto& b) { return a.path().filename() < b.path().filename(); });
    for (const auto& entry : entries) {
        const std::string name = entry.path().filename().string();
        PackItem child;
        if (entry.is_directory()) {
            if (!ReadSubtree(entry.path(), below + name + "/", child, error, take))
                return false;
        } else if (entry.is_regular_file() && (!take || take(below + name))) {
            child = PackItem{name, false, {}, {}};
            if (!IsStorableName(child.name) || !ReadWholeFile(entry.path(), child.data)) {
                error = "cannot store " + entry.path().string();
                return false;
            }
        } else {
            continue;
        }
        top.children.push_back(std::move(child));
    }
    return true;
}

} // namespace

void AppendPackEntry(std::vector<uint8_t>& directory, std::string_view name, int32_t offset, int32_t size,
                     int32_t childCount) {
    AppendValue(directory, static_cast<uint32_t>(name.size()));
    directory.insert(directory.end(), name.begin(), name.end());
    AppendValue(directory, offset);
    AppendValue(directory, size);
    AppendValue(directory, childCount);
}

std::vector<uint8_t> AssemblePack(std::vector<uint8_t> directory, const std::vector<uint8_t>& contents) {
    std::vector<uint8_t> pack;
    AppendValue(pack, PACK_MAGIC);
    AppendValue(pack, static_cast<uint32_t>(directory.size()));
    ScrambleBuffer(directory.data(), directory.size());
    pack.insert(pack.end(), directory.begin(), directory.end());
    pack.insert(pack.end(), contents.begin(), contents.end());
    return pack;
}

bool BuildPack(const PackItem& top, std::vector<uint8_t>& pack) {
    std::vector<uint8_t> directory, contents;
    if (!AppendTree(top, directory, contents))
        return false;
    pack = AssemblePack(std::move(directory), contents);
    return true;
}

bool ReadFolderTree(const std::filesystem::path& folder, PackItem& top, std::string& error,
                    const PackFilter& take) {
    return ReadSubtree(folder, "", top, error, take);
}

std::vector<std::string> ReadLeaveOutList(const std::string& text) {
    std::vector<std::string> patterns;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        std::string line = text.substr(start, std::min(text.find('#', start), end) - start);
        line.erase(0, line.find_first_not_of(" \t\r"));
        line.erase(line.find_last_not_of(" \t\r") + 1);
        if (!line.empty())
            patterns.push_back(line);
        start = end + 1;
    }
    return patterns;
}

bool MatchesAnyPattern(const std::string& path, const std::vector<std::string>& patterns) {
    return std::any_of(patterns.begin(), patterns.end(), [&](const std::string& pattern) {
        return fnmatch(pattern.c_str(), path.c_str(), 0) == 0;
    });
}
