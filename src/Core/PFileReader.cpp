#include "Core/PFileReader.h"

#include "Core/PackFiles.h"
#include "Core/StringFunctions.h"
#include "Platform/FileSystem.h"

#include <bit>
#include <cstring>
#include <limits>
#include <utility>

static_assert(std::endian::native == std::endian::little, "files store little-endian values");

namespace {

// Larger files are refused rather than allocated.
constexpr int64_t kMaxFileLength = std::numeric_limits<int32_t>::max();

} // namespace

CPFileReader::CPFileReader(std::string name, bool scrambled)
    : fileName(std::move(name)), scrambled(scrambled) {
    ToLowerString(fileName);
}

HRESULT CPFileReader::Load() {
    buffer.clear();
    readCursor = 0;
    readError = false;
    const HRESULT loose = LoadLooseFile();
    return loose == S_FALSE ? LoadFromPacks() : loose;
}

void CPFileReader::SetData(std::vector<uint8_t> bytes) {
    buffer = std::move(bytes);
    readCursor = 0;
    readError = false;
}

// S_FALSE when there is no loose file to read.
HRESULT CPFileReader::LoadLooseFile() {
    const PlatFile file = PlatOpenFileForReading(fileName);
    if (!file)
        return S_FALSE;
    int64_t length = 0;
    if (!PlatFileLength(file.get(), length) || length > kMaxFileLength)
        return E_FAIL;
    if (!PlatReadAt(file.get(), 0, static_cast<std::size_t>(length), buffer))
        return E_FAIL;
    if (scrambled)
        UnscrambleBuffer(buffer.data(), buffer.size());
    return S_OK;
}

HRESULT CPFileReader::LoadFromPacks() {
    const std::string key = NormalisePackPath(fileName);
    for (const PackFile& pack : g_PackFiles) {
        const auto entry = pack.entries.find(key);
        if (entry == pack.entries.end())
            continue;
        const PlatFile file = PlatOpenFileForReading(pack.path);
        if (file)
            return ReadPackData(file.get(), entry->second, buffer);
    }
    return E_FAIL;
}

bool CPFileReader::Claim(int64_t count) {
    if (count >= 0 && count <= static_cast<int64_t>(buffer.size() - readCursor))
        return true;
    readCursor = buffer.size();
    readError = true;
    return false;
}

HRESULT CPFileReader::Read(void* destination, int count) {
    if (!Claim(count)) {
        if (count > 0)
            std::memset(destination, 0, static_cast<std::size_t>(count));
        return E_FAIL;
    }
    if (count > 0)
        std::memcpy(destination, buffer.data() + readCursor, static_cast<std::size_t>(count));
    readCursor += static_cast<std::size_t>(count);
    return S_OK;
}

int32_t CPFileReader::ReadInt() {
    int32_t value = 0;
    Read(&value, sizeof(value));
    return value;
}

float CPFileReader::ReadFloat() {
    float value = 0.0f;
    Read(&value, sizeof(value));
    return value;
}

std::string CPFileReader::ReadString() {
    const int32_t count = ReadInt();
    if (!Claim(count) || count == 0)
        return {};
    const char* bytes = reinterpret_cast<const char*>(buffer.data()) + readCursor;
    readCursor += static_cast<std::size_t>(count);
    return std::string(bytes, strnlen(bytes, static_cast<std::size_t>(count)));
}
