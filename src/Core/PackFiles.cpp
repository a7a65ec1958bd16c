#include "Core/PackFiles.h"

#include "Core/Log.h"
#include "Core/PFileFind.h"
#include "Core/StringFunctions.h"
#include "Platform/FileSystem.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

std::vector<PackFile> g_PackFiles;

namespace {

// The scramble key: printable bytes drawn from a fixed linear congruential
// sequence. Every pack and scrambled file is tied to these values.
constexpr std::array<uint8_t, SCRAMBLE_KEY_SIZE> MakeScrambleKey() {
    std::array<uint8_t, SCRAMBLE_KEY_SIZE> key{};
    uint32_t state = 0x4B565041u;
    for (uint8_t& k : key) {
        state = state * 214013u + 2531011u;
        k = static_cast<uint8_t>('!' + ((state >> 16) & 0x7FFFu) % 94u);
    }
    return key;
}

constexpr std::array<uint8_t, SCRAMBLE_KEY_SIZE> kScrambleKey = MakeScrambleKey();

// Deeper trees than this are taken for a malformed directory.
constexpr int kMaxDirectoryDepth = 64;

// Reads the entries of an unscrambled directory into a pack, checking every
// field against the directory's bytes and every file against the pack's
// length.
class DirectoryParser {
public:
    DirectoryParser(const std::vector<uint8_t>& bytes, int64_t dataStart, int64_t fileLength, PackFile& pack)
        : bytes(bytes), dataStart(dataStart), fileLength(fileLength), pack(pack) {}

    bool ReadTree(const std::string& parentPath, int depth) {
        PackEntry entry;
        if (depth > kMaxDirectoryDepth || !ReadEntry(entry))
            return false;
        std::string path = parentPath + entry.name;
        if (entry.IsDirectory()) {
            path += '\\';
            for (int32_t child = 0; child < entry.childCount; ++child) {
                if (!ReadTree(path, depth + 1))
                    return false;
            }
            return entry.childCount >= 0;
        }
        const int64_t start = dataStart + entry.offset;
        if (entry.size < 0 || start + entry.size > fileLength)
            return false;
        ToLowerString(path);
        pack.entries[path] = {start, entry.size};
        return true;
    }

private:
    bool ReadEntry(PackEntry& entry) {
        uint32_t nameLength = 0;
        if (!ReadValue(nameLength) || nameLength > bytes.size() - cursor)
            return false;
        entry.name.assign(reinterpret_cast<const char*>(bytes.data()) + cursor, nameLength);
        cursor += nameLength;
        return ReadValue(entry.offset) && ReadValue(entry.size) && ReadValue(entry.childCount);
    }

    template <class T>
    bool ReadValue(T& value) {
        if (bytes.size() - cursor < sizeof(T))
            return false;
        std::memcpy(&value, bytes.data() + cursor, sizeof(T));
        cursor += sizeof(T);
        return true;
    }

    const std::vector<uint8_t>& bytes;
    std::size_t cursor = 0;
    const int64_t dataStart;
    const int64_t fileLength;
    PackFile& pack;
};

HRESULT RejectPack(PackFile& pack, const char* reason) {
    pack.entries.clear();
    GetLog().Print(0, "Pack file %s not mounted: %s\n", pack.path.c_str(), reason);
    return E_FAIL;
}

} // namespace

void ScrambleBuffer(void* bytes, std::size_t count) {
    auto* data = static_cast<uint8_t*>(bytes);
    for (std::size_t i = 0; i < count; ++i)
        data[i] = static_cast<uint8_t>(data[i] + kScrambleKey[i % SCRAMBLE_KEY_SIZE]);
}

void UnscrambleBuffer(void* bytes, std::size_t count) {
    auto* data = static_cast<uint8_t*>(bytes);
    for (std::size_t i = 0; i < count; ++i)
        data[i] = static_cast<uint8_t>(data[i] - kScrambleKey[i % SCRAMBLE_KEY_SIZE]);
}

HRESULT ReadPackDirectory(std::FILE* file, PackFile& pack) {
    pack.entries.clear();
    int64_t fileLength = 0;
    std::vector<uint8_t> header;
    if (!PlatFileLength(file, fileLength) || !PlatReadAt(file, 0, PACK_HEADER_SIZE, header))
        return RejectPack(pack, "no pack header");
    uint32_t magic = 0, directorySize = 0;
    std::memcpy(&magic, header.data(), 4);
    std::memcpy(&directorySize, header.data() + 4, 4);
    if (magic != PACK_MAGIC)
        return RejectPack(pack, "wrong magic");
    if (directorySize > fileLength - static_cast<int64_t>(PACK_HEADER_SIZE))
        return RejectPack(pack, "directory size past the end of the file");

    std::vector<uint8_t> directory;
    if (!PlatReadAt(file, PACK_HEADER_SIZE, directorySize, directory))
        return RejectPack(pack, "directory cannot be read");
    UnscrambleBuffer(directory.data(), directory.size());
    DirectoryParser parser(directory, PACK_HEADER_SIZE + directorySize, fileLength, pack);
    if (!parser.ReadTree("", 0))
        return RejectPack(pack, "malformed directory");
    return S_OK;
}

HRESULT MountPack(PackFile& pack) {
    const PlatFile file = PlatOpenFileForReading(pack.path);
    if (!file)
        return RejectPack(pack, "cannot be opened");
    return ReadPackDirectory(file.get(), pack);
}

bool IsPackFileName(std::string_view name) {
    return name.starts_with("game") && name.ends_with("dat");
}

int PackNumberFromName(std::string_view name) {
    if (name.size() <= 8)
        return 0;
    const std::string digits(name.substr(4, name.size() - 8));
    const long number = std::strtol(digits.c_str(), nullptr, 10);
    return static_cast<int>(std::clamp<long>(number, INT32_MIN, INT32_MAX));
}

HRESULT MountPackFiles() {
    HRESULT result = S_OK;
    CPFileFind find("data\\*.*");
    if (SUCCEEDED(find.FindFirst())) {
        do {
            const std::string& name = find.GetFileName();
            if ((find.GetFindData().dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !IsPackFileName(name))
                continue;
            g_PackFiles.push_back({{}, PackNumberFromName(name), "Data\\" + name});
            if (FAILED(MountPack(g_PackFiles.back())))
                result = E_FAIL;
        } while (find.FindNext());
    }
    // The listing comes in name order, so packs of equal number keep it.
    std::stable_sort(g_PackFiles.begin(), g_PackFiles.end(),
                     [](const PackFile& a, const PackFile& b) { return a.number > b.number; });
    return result;
}

std::string NormalisePackPath(std::string_view path) {
    std::string normalised(path);
    std::replace(normalised.begin(), normalised.end(), '/', '\\');
    ToLowerString(normalised);
    return normalised;
}

HRESULT ReadPackData(std::FILE* pack, const PackLocation& where, std::vector<uint8_t>& out) {
    const bool complete = PlatReadAt(pack, where.offset, static_cast<std::size_t>(where.size), out);
    UnscrambleBuffer(out.data(), out.size());
    return complete ? S_OK : E_FAIL;
}
