// meshtool: converts Wavefront OBJ models into the engine's mesh files and
// shows what a mesh file holds.
//   meshtool convert MODEL.obj MODEL.txt OUTDIR  writes the mesh file (and the
//                                                object description) that the
//                                                model description names
//   meshtool animate OUT SECONDS FRAME.obj...    writes the vertex animation
//                                                of one OBJ model per frame
//   meshtool dump [--anim] FILE                  prints the node tree of FILE,
//                                                read by the engine's reader
// See README.md for the model description.

#include "Platform/FileSystem.h"
#include "meshtool/AnimationConversion.h"
#include "meshtool/MeshConversion.h"
#include "meshtool/MeshWriter.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

int Fail(const std::string& message) {
    std::fprintf(stderr, "meshtool: %s\n", message.c_str());
    return 1;
}

bool ReadText(const std::filesystem::path& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    text = bytes.str();
    return static_cast<bool>(in);
}

bool Write(const std::filesystem::path& path, const void* data, std::size_t size) {
    std::error_code code;
    std::filesystem::create_directories(path.parent_path(), code);
    return PlatReplaceFile(path.string(), data, size);
}

// Writes the mesh file; 0, or 1 with the reason told.
int WriteMesh(const std::filesystem::path& path, const MeshFile& file) {
    const std::vector<uint8_t> bytes = WriteMeshFile(file);
    if (!Write(path, bytes.data(), bytes.size()))
        return Fail("cannot write " + path.string());
    return 0;
}

int Convert(const std::filesystem::path& objPath, const std::filesystem::path& specPath,
            const std::filesystem::path& outFolder) {
    std::string objText, specText, error;
    if (!ReadText(objPath, objText))
        return Fail("cannot read " + objPath.string());
    if (!ReadText(specPath, specText))
        return Fail("cannot read " + specPath.string());
    ModelSpec model;
    if (!ReadModelSpec(specText, model, error))
        return Fail(specPath.string() + ": " + error);
    std::vector<ObjGroup> groups;
    if (!ReadObj(objText, objPath.stem().string(), groups, error))
        return Fail(objPath.string() + ": " + error);
    MeshFile file;
    if (!BuildMeshFile(groups, model, file, error))
        return Fail(error);
    if (WriteMesh(outFolder / model.meshFile, file) != 0)
        return 1;
    if (!model.descriptionFile.empty()) {
        const std::string description = BuildObjectDescription(model);
        if (!Write(outFolder / model.descriptionFile, description.data(), description.size()))
            return Fail("cannot write " + (outFolder / model.descriptionFile).string());
    }
    return 0;
}

int Animate(const std::filesystem::path& outPath, const std::string& seconds,
            const std::vector<std::filesystem::path>& framePaths) {
    char* end = nullptr;
    const float frameSeconds = std::strtof(seconds.c_str(), &end);
    if (end == seconds.c_str() || *end != '\0')
        return Fail("bad frame time " + seconds);
    std::vector<std::vector<ObjGroup>> frames(framePaths.size());
    for (std::size_t k = 0; k < framePaths.size(); ++k) {
        std::string text, error;
        if (!ReadText(framePaths[k], text))
            return Fail("cannot read " + framePaths[k].string());
        if (!ReadObj(text, framePaths[k].stem().string(), frames[k], error))
            return Fail(framePaths[k].string() + ": " + error);
    }
    MeshFile file;
    std::string error;
    if (!BuildAnimationFile(frames, frameSeconds, file, error))
        return Fail(error);
    return WriteMesh(outPath, file);
}

int Dump(const std::filesystem::path& path, bool animation) {
    std::string bytes, error;
    if (!ReadText(path, bytes))
        return Fail("cannot read " + path.string());
    const EMeshFileFormat format =
        animation ? EMeshFileFormat::Animation : MeshFileFormatFor(path.filename().string());
    MeshFile file;
    if (!ReadMeshFile(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), format, file, error))
        return Fail(path.string() + ": " + error);
    std::fputs(DumpMeshFile(file).c_str(), stdout);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "convert" && argc == 5)
        return Convert(argv[2], argv[3], argv[4]);
    if (command == "animate" && argc >= 5)
        return Animate(argv[2], argv[3], std::vector<std::filesystem::path>(argv + 4, argv + argc));
    if (command == "dump" && argc == 3)
        return Dump(argv[2], false);
    if (command == "dump" && argc == 4 && std::string(argv[2]) == "--anim")
        return Dump(argv[3], true);
    std::fprintf(stderr, "usage: meshtool convert MODEL.obj MODEL.txt OUTDIR\n"
                         "       meshtool animate OUT SECONDS FRAME.obj...\n"
                         "       meshtool dump [--anim] FILE\n");
    return 2;
}
