// leveltool: builds a level's files from its readable text and shows what a
// level file holds.
//   leveltool build LEVEL.track DATADIR  writes Levels/LEVEL.lvl, the
//                                        collision ground
//                                        Meshes/road_phys<N>.rdf and .msh,
//                                        the ground model Meshes/land.rdf
//                                        and .msh, the drawn road
//                                        Meshes/LEVEL_road.rdf and .p3d with
//                                        Textures/road.tga, the drawn
//                                        barriers (when the track has them)
//                                        Meshes/LEVEL_barrier.rdf and .p3d
//                                        with Textures/barrier.tga, and the
//                                        ground's
//                                        Textures/LEVEL/color.dds and
//                                        detail1.dds below DATADIR
//   leveltool dump FILE.lvl              prints the records and the lines'
//                                        pieces, read by the engine's reader
// See README.md for the track text.

#include "Core/PFileReader.h"
#include "Game/LevelFile.h"
#include "ToolOutput.h"
#include "imagetool/LevelPictures.h"
#include "leveltool/LevelBuild.h"
#include "meshtool/MeshWriter.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

constexpr const char* kTool = "leveltool";

int Fail(const std::string& message) {
    std::fprintf(stderr, "%s: %s\n", kTool, message.c_str());
    return 1;
}

std::vector<uint8_t> Bytes(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

std::vector<uint8_t> GroundModelBytes() {
    MeshFile file;
    file.roots.push_back(MakeQuadNode("land"));
    return WriteMeshFile(file);
}

// The drawn road: its mesh, its description (unlit, the road texture) and
// the texture.
bool WriteRoad(const LevelBuild& build, const std::string& model, const std::filesystem::path& data) {
    const std::filesystem::path meshes = data / "Meshes";
    return WriteToolOutput(kTool, meshes / (model + ".p3d"), build.RoadMeshBytes(model)) &&
           WriteToolOutput(kTool, meshes / (model + ".rdf"),
                           Bytes("model=" + model + ".p3d\n\n[" + model +
                                 "]\neffectfile=simple.fx\ntexturefile1=road.tga\n")) &&
           WriteToolOutput(kTool, data / "Textures" / "road.tga", EncodeTga(RoadPicture()));
}

// The drawn barriers: their mesh, their description (lit, red and white
// blocks) and the texture.
bool WriteBarrier(const LevelBuild& build, const std::string& model, const std::filesystem::path& data) {
    const std::filesystem::path meshes = data / "Meshes";
    return WriteToolOutput(kTool, meshes / (model + ".p3d"), build.BarrierMeshBytes(model)) &&
           WriteToolOutput(kTool, meshes / (model + ".rdf"),
                           Bytes("model=" + model + ".p3d\n\n[" + model +
                                 "]\neffectfile=simple.fx\ntexturefile1=barrier.tga\n")) &&
           WriteToolOutput(kTool, data / "Textures" / "barrier.tga", EncodeTga(BarrierPicture()));
}

// The collision ground, whose description names a material although it is
// never drawn, so that loading it asks for no nameless file; the model of
// the terrain quad with the material the level gives it; and the level's
// ground textures in its own texture folder.
bool WriteGround(const LevelBuild& build, const std::string& level, int number,
                 const std::filesystem::path& data) {
    const std::string road = "road_phys" + std::to_string(number);
    const std::filesystem::path meshes = data / "Meshes";
    const std::filesystem::path textures = data / "Textures" / level;
    return WriteToolOutput(kTool, meshes / (road + ".msh"), build.GroundMeshBytes()) &&
           WriteToolOutput(
               kTool, meshes / (road + ".rdf"),
               Bytes("model=" + road + ".msh\n\n[ground]\neffectfile=simple.fx\ntexturefile1=road.tga\n")) &&
           WriteToolOutput(kTool, meshes / "land.msh", GroundModelBytes()) &&
           WriteToolOutput(kTool, meshes / "land.rdf",
                           Bytes("model=land.msh\n\n[land]\neffectfile=terrain2.fx\ntexturefile1=" + level +
                                 "\\color.dds\ntexturefile2=" + level + "\\detail1.dds\n")) &&
           WriteToolOutput(kTool, textures / "color.dds", EncodeDds(GroundColourPicture())) &&
           WriteToolOutput(kTool, textures / "detail1.dds", EncodeDds(GroundDetailPicture()));
}

int Build(const std::filesystem::path& source, const std::filesystem::path& data) {
    std::ifstream in(source, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    if (!in)
        return Fail("cannot read " + source.string());
    TrackText track;
    if (!track.Read(text.str()))
        return Fail(source.string() + ": " + track.error);
    LevelBuild build;
    if (!build.Prepare(track))
        return Fail(source.string() + ": " + build.error);
    const std::string level = source.stem().string();
    build.AddScenery(level + "_road");
    if (build.HasBarriers())
        build.AddScenery(level + "_barrier");
    const bool written = WriteToolOutput(kTool, data / "Levels" / (level + ".lvl"), build.LevelFileBytes()) &&
                         WriteGround(build, level, track.number, data) &&
                         WriteRoad(build, level + "_road", data) &&
                         (!build.HasBarriers() || WriteBarrier(build, level + "_barrier", data));
    if (!written)
        return 1;
    std::printf("%s: %d pieces\n", source.stem().string().c_str(), build.Pieces());
    return 0;
}

const char* KindName(ELevelRecordKind kind) {
    switch (kind) {
    case ELevelRecordKind::PlayerStart:
        return "player";
    case ELevelRecordKind::CarStart:
        return "car";
    case ELevelRecordKind::Checkpoint:
        return "checkpoint";
    case ELevelRecordKind::SequenceCheckpoint:
        return "sequence";
    case ELevelRecordKind::Source:
        return "source";
    case ELevelRecordKind::Scenery:
        break;
    }
    return "scenery";
}

int Dump(const std::filesystem::path& path) {
    CPFileReader reader(path.string(), false);
    std::ifstream in(path, std::ios::binary);
    reader.SetData(
        std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
    LevelFile file;
    if (!in.good() && !in.eof())
        return Fail("cannot read " + path.string());
    if (!file.Read(reader))
        return Fail(path.string() + ": " + file.error);
    for (const LevelRecord& record : file.records) {
        std::printf("record %s %s", record.name.c_str(),
                    KindName(ClassifyLevelRecord(StripTrailingDigits(record.name))));
        for (const float value : record.f)
            std::printf(" %g", value);
        std::printf("\n");
    }
    for (const auto& line : file.lines)
        std::printf("line %s %s %d pieces\n", line->GetSplineName().c_str(), line->closed ? "closed" : "open",
                    CountPieces(line->firstLine));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "build" && argc == 4)
        return Build(argv[2], argv[3]);
    if (command == "dump" && argc == 3)
        return Dump(argv[2]);
    return Fail("usage: leveltool build LEVEL.track DATADIR | leveltool dump FILE.lvl");
}
