// Reads arbitrary bytes as a mesh file in each of the three layouts.

#include "Render/MeshFile.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (EMeshFileFormat format :
         {EMeshFileFormat::Static, EMeshFileFormat::Physics, EMeshFileFormat::Animation}) {
        MeshFile file;
        std::string error;
        ReadMeshFile(data, size, format, file, error);
    }
    return 0;
}
