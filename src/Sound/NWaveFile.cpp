#include "Sound/NWaveFile.h"

#include "Platform/FileSystem.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::size_t kRiffHeaderBytes = 12;
constexpr std::size_t kChunkHeaderBytes = 8;
constexpr std::size_t kPcmFormatBytes = 16;

bool ReadWholeFile(const char* file, std::vector<uint8_t>& out) {
    PlatFile opened = PlatOpenFileForReading(PlatResolvePath(file));
    int64_t length = 0;
    return opened && PlatFileLength(opened.get(), length) &&
           PlatReadAt(opened.get(), 0, static_cast<std::size_t>(length), out);
}

} // namespace

HRESULT CNWaveFile::Open(const char* file) {
    if (!file)
        return E_INVALIDARG;
    std::vector<uint8_t> fileBytes;
    if (!ReadWholeFile(file, fileBytes))
        return E_FAIL;
    return Open(std::move(fileBytes));
}

HRESULT CNWaveFile::Open(std::vector<uint8_t> fileBytes) {
    bytes = std::move(fileBytes);
    format.clear();
    dataSize = readPosition = 0;
    if (FAILED(ReadHeader()) || FAILED(ResetFile())) {
        Close();
        format.clear();
        return E_FAIL;
    }
    return S_OK;
}

const WAVEFORMATEX* CNWaveFile::GetFormat() const {
    return format.empty() ? nullptr : reinterpret_cast<const WAVEFORMATEX*>(format.data());
}

HRESULT CNWaveFile::ReadHeader() {
    if (bytes.size() < kRiffHeaderBytes || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
        std::memcmp(bytes.data() + 8, "WAVE", 4) != 0)
        return E_FAIL;
    riffEnd = std::min<uint64_t>(uint64_t{kChunkHeaderBytes} + DoubleWord(4), bytes.size());
    Chunk chunk;
    return FindChunk("fmt ", chunk) && ReadFormat(chunk) ? S_OK : E_FAIL;
}

// Walks the chunks of the RIFF chunk from its first one; the chunk found
// reports only the contents that are really in the file.
bool CNWaveFile::FindChunk(const char* id, Chunk& chunk) const {
    uint64_t offset = kRiffHeaderBytes;
    while (offset + kChunkHeaderBytes <= riffEnd) {
        const uint32_t size = DoubleWord(offset + 4);
        const uint64_t contents = offset + kChunkHeaderBytes;
        if (std::memcmp(bytes.data() + offset, id, 4) == 0) {
            chunk.data = contents;
            chunk.size = std::min<uint64_t>(size, riffEnd - contents);
            return true;
        }
        offset = contents + size + (size & 1);
    }
    return false;
}

// PCM formats get no extra bytes; any other format names its count of
// extra bytes, which must lie inside the chunk.
bool CNWaveFile::ReadFormat(const Chunk& chunk) {
    if (chunk.size < kPcmFormatBytes)
        return false;
    const bool pcm = Word(chunk.data) == WAVE_FORMAT_PCM;
    if (!pcm && chunk.size < sizeof(WAVEFORMATEX))
        return false;
    const std::size_t extra = pcm ? 0 : Word(chunk.data + kPcmFormatBytes);
    if (!pcm && sizeof(WAVEFORMATEX) + extra > chunk.size)
        return false;
    format.assign(sizeof(WAVEFORMATEX) + extra, 0);
    std::memcpy(format.data(), bytes.data() + chunk.data, kPcmFormatBytes);
    if (!pcm)
        std::memcpy(format.data() + kPcmFormatBytes, bytes.data() + chunk.data + kPcmFormatBytes, 2 + extra);
    return true;
}

HRESULT CNWaveFile::ResetFile() {
    if (format.empty() || !FindChunk("data", dataChunk))
        return E_FAIL;
    dataSize = static_cast<DWORD>(dataChunk.size);
    readPosition = 0;
    return S_OK;
}

HRESULT CNWaveFile::Read(BYTE* destination, DWORD size, DWORD* bytesRead) {
    if (!destination || !bytesRead)
        return E_INVALIDARG;
    const DWORD count = std::min(size, dataSize - readPosition);
    if (count > 0)
        std::memcpy(destination, bytes.data() + dataChunk.data + readPosition, count);
    readPosition += count;
    *bytesRead = count;
    return S_OK;
}

HRESULT CNWaveFile::Close() {
    bytes.clear();
    dataSize = readPosition = 0;
    return S_OK;
}

uint16_t CNWaveFile::Word(std::size_t offset) const {
    return static_cast<uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
}

uint32_t CNWaveFile::DoubleWord(std::size_t offset) const {
    return Word(offset) | static_cast<uint32_t>(Word(offset + 2)) << 16;
}
