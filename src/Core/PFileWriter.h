#pragma once

#include "Platform/Win32Types.h"

#include <cstdint>
#include <string>
#include <vector>

// Collects bytes in memory and writes them as one loose file, optionally
// scrambled. The encodings mirror CPFileReader's.
class CPFileWriter {
public:
    // An engine path: a folder that exists in another letter case takes the
    // disk's spelling.
    CPFileWriter(std::string fileName, bool scrambled);
    virtual ~CPFileWriter() = default;

    void Write(const void* bytes, int count);
    void WriteInt(int32_t value);
    // The length as an int, then the characters without terminator.
    void WriteString(const std::string& text);

    // Replaces the file with the bytes collected so far (scrambled when asked;
    // the collected bytes themselves stay plain, so saving again writes the
    // same file). The old file stays whole unless every write succeeded.
    // S_OK, or E_FAIL with a log line.
    HRESULT Save() const;

private:
    std::string fileName;
    bool scrambled;
    std::vector<uint8_t> buffer;
};
