#include "Core/PFileWriter.h"

#include "Core/Log.h"
#include "Core/PackFiles.h"
#include "Platform/FileSystem.h"

#include <bit>
#include <cerrno>
#include <cstring>

static_assert(std::endian::native == std::endian::little, "files store little-endian values");

CPFileWriter::CPFileWriter(std::string fileName, bool scrambled)
    : fileName(std::move(fileName)), scrambled(scrambled) {}

void CPFileWriter::Write(const void* bytes, int count) {
    if (count <= 0)
        return;
    const auto* first = static_cast<const uint8_t*>(bytes);
    buffer.insert(buffer.end(), first, first + count);
}

void CPFileWriter::WriteInt(int32_t value) {
    Write(&value, sizeof(value));
}

void CPFileWriter::WriteString(const std::string& text) {
    WriteInt(static_cast<int32_t>(text.size()));
    Write(text.data(), static_cast<int>(text.size()));
}

HRESULT CPFileWriter::Save() const {
    bool written = false;
    if (scrambled) {
        std::vector<uint8_t> copy = buffer;
        ScrambleBuffer(copy.data(), copy.size());
        written = PlatReplaceFile(fileName, copy.data(), copy.size());
    } else {
        written = PlatReplaceFile(fileName, buffer.data(), buffer.size());
    }
    if (written)
        return S_OK;
    GetLog().Print(0, "Could not write the file %s: %s\n", fileName.c_str(), std::strerror(errno));
    return E_FAIL;
}
