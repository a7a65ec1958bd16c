#pragma once

#include "Platform/Sound/DirectSound8.h"

#include <cstdint>
#include <string>
#include <vector>

// Reads a RIFF WAVE file held whole in memory: its format (with the extra
// bytes of a non-PCM format) and its sample data. Chunks are found in
// order inside the RIFF chunk, each padded to an even size; every size is
// checked against the bytes present, so a cut or lying file fails cleanly
// or yields the data that is really there.
class CNWaveFile {
public:
    // Reads the file from disk and its header; E_INVALIDARG for a null
    // name, E_FAIL when the file cannot be read or is no WAVE file.
    HRESULT Open(const char* file);
    // The same over bytes already in memory.
    HRESULT Open(std::vector<uint8_t> fileBytes);

    // The format read by the header, null when none was read.
    const WAVEFORMATEX* GetFormat() const;
    // Bytes of sample data ("data" chunk), cut where the file ends.
    DWORD GetSize() const { return dataSize; }
    // Goes back to the start of the sample data; E_FAIL without one.
    HRESULT ResetFile();
    // Copies up to `size` bytes of sample data from the read position.
    HRESULT Read(BYTE* destination, DWORD size, DWORD* bytesRead);
    HRESULT Close();

private:
    struct Chunk {
        std::size_t data = 0; // offset of the chunk's contents
        std::size_t size = 0; // bytes of contents present in the file
    };

    HRESULT ReadHeader();
    bool FindChunk(const char* id, Chunk& chunk) const;
    bool ReadFormat(const Chunk& chunk);
    uint16_t Word(std::size_t offset) const;
    uint32_t DoubleWord(std::size_t offset) const;

    std::vector<uint8_t> bytes;
    std::vector<uint8_t> format;
    std::size_t riffEnd = 0;
    Chunk dataChunk;
    DWORD dataSize = 0;
    DWORD readPosition = 0;
};
