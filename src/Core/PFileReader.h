#pragma once

#include "Platform/Win32Types.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Reads a whole file into memory: the loose file on disk when there is one,
// else the same path from the mounted packs (highest number first). Binary
// formats then read it sequentially: int and float are 4 bytes
// little-endian, a string is an int count n followed by n bytes.
//
// Every typed read is checked against the end of the buffer: a read that
// does not fit yields 0 (or an empty string, or zeroed bytes), moves the
// cursor to the end and sets the read error, which stays set.
class CPFileReader {
public:
    // The path is lower-cased; `scrambled` unscrambles a loose file after
    // reading (pack contents are always unscrambled).
    CPFileReader(std::string fileName, bool scrambled);
    virtual ~CPFileReader() = default;

    // Reads the file again: S_OK, or E_FAIL when it is found nowhere or
    // cannot be read whole (the bytes read are then kept, the rest zero).
    HRESULT Load();

    // Reads these bytes from the start instead of the file's (entries of a
    // larger file, data built in memory).
    void SetData(std::vector<uint8_t> bytes);

    const uint8_t* GetData() const { return buffer.data(); }
    int GetSize() const { return static_cast<int>(buffer.size()); }

    HRESULT Read(void* destination, int count);
    int32_t ReadInt();
    float ReadFloat();
    // The bytes up to the first NUL among the n stored; the cursor always
    // moves past all n.
    std::string ReadString();

    bool HasReadError() const { return readError; }

private:
    HRESULT LoadLooseFile();
    HRESULT LoadFromPacks();
    // True when `count` bytes remain; otherwise marks the read error.
    bool Claim(int64_t count);

    std::string fileName;
    bool scrambled;
    std::vector<uint8_t> buffer;
    std::size_t readCursor = 0;
    bool readError = false;
};
