#include "datalint/DataLint.h"
#include "Support/TempGameRoot.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A small game folder that passes the lint: a script list, a described car
// whose texture is found under its "jpg" name, a sound table, a font, a
// space-separated table, a text table with comments and the key bindings.
void WriteGoodTree() {
    TempGameRoot::WriteFile("Data/Scripts/list.dat",
                            "// scripts\nmain t_system main\nrival1 t_level level\n");
    TempGameRoot::WriteFile("Data/Scripts/main.lua", "");
    TempGameRoot::WriteFile("Data/Scripts/rival1.lua", "");
    TempGameRoot::WriteFile("Data/Meshes/car.rdf",
                            "// the car\nmodel=car.p3d\ndescription=car.xml\n\n[body]\n"
                            "effectfile=mesh.fx\ntexturefile1=Car.tga\n"
                            "texturefile2=wall.tga\ntexturefile3=level1\\ground.dds\nscript=rival1\n");
    TempGameRoot::WriteFile("Data/Meshes/level1.rdf", "model=empty\n");
    for (const char* file :
         {"Data/Meshes/car.p3d", "Data/Descriptions/car.xml", "Data/Effects/mesh.fx", "Data/Textures/car.tga",
          "Data/Textures/wall.jpg", "Data/Textures/level1/ground.dds", "Data/Sounds/beep.wav",
          "Data/game1.dat", "Data/scores.dat", "Data/Levels/.built"})
        TempGameRoot::WriteFile(file, "// binary // bytes\n[]\n");
    TempGameRoot::WriteFile("Data/Sounds/Sounds.dat", "beep;beep.wav;2d\r\n");
    TempGameRoot::WriteFile("Data/Fonts/fonts.dat", "menu\t2\t10\n");
    TempGameRoot::WriteFile("Data/Fonts/menu.fnt", "width\t512\nspace\t8\n");
    TempGameRoot::WriteFile("Data/particles.dat", "// name texture ...\niskra spark.tga 1 2\n");
    TempGameRoot::WriteFile("Data/strings.txt", "finish!~Finish\n/* a block\n  // inside\n */\nlost!~Lost\n");
    TempGameRoot::WriteFile("Actions.cfg", "up;Accelerate;Up;false\r\nhorn;Horn;57;true\r\n");
}

std::vector<std::string> Lint() {
    DataLint lint("Data");
    lint.CheckTree();
    lint.CheckActions("Actions.cfg");
    std::vector<std::string> found;
    for (const DataLint::Problem& problem : lint.Problems())
        found.push_back(FormatLintProblem(problem));
    return found;
}

TEST(DataLint, AGoodTreePasses) {
    TempGameRoot root;
    WriteGoodTree();
    EXPECT_EQ(Lint(), std::vector<std::string>{});
}

// Each case spoils one file of the good tree; the lint names the file, the
// line and what the engine would make of it.
TEST(DataLint, NamesEachLineTheEngineWouldMisread) {
    struct Case {
        const char* file;
        const char* text;
        const char* problem;
    };
    const Case cases[] = {
        {"Data/strings.txt", "a~see http://example.org\n",
         "data/strings.txt line 1: holds \"//\" after its text, so the whole line is dropped"},
        {"Data/strings.txt", "a~b\n[]\nc~d\n",
         "data/strings.txt line 2: \"[]\" ends the reading of the file here"},
        {"Data/strings.txt", "a~b /* note\n*/\n",
         "data/strings.txt line 1: holds \"/*\" after its text, so the text is dropped"},
        {"Data/strings.txt", "/* note\nend */ a~b\n",
         "data/strings.txt line 2: the text after \"*/\" is dropped with the line"},
        {"Data/strings.txt", "a~b */\n",
         "data/strings.txt line 1: holds \"*/\", so the whole line is dropped"},
        {"Data/particles.dat", "iskra spark.tga  1 2\n",
         "data/particles.dat line 1: two blanks or a TAB between fields shift every later field"},
        {"Data/Scripts/list.dat", "main\tt_system main\nrival1 t_level level\n",
         "data/scripts/list.dat line 1: two blanks or a TAB between fields shift every later field"},
        {"Data/Fonts/menu.fnt", "width\t512\nheight 512\n",
         "data/fonts/menu.fnt line 2: has no TAB between its fields"},
        {"Data/Meshes/car.rdf", "model=cart.p3d\n",
         "data/meshes/car.rdf line 1: model names cart.p3d, which is not in the tree"},
        {"Data/Meshes/car.rdf", "model=anim;idle,car.p3d;fire,fire.anm\n",
         "data/meshes/car.rdf line 1: model names fire.anm, which is not in the tree"},
        {"Data/Meshes/car.rdf", "model=anim;idle,car.p3d;fire\n",
         "data/meshes/car.rdf line 1: the animation \"fire\" names no file"},
        {"Data/Meshes/car.rdf", "[body]\ntexturefile1=paint.tga\n",
         "data/meshes/car.rdf line 2: texturefile1 names paint.tga, which is not in the tree"},
        {"Data/Meshes/car.rdf", "[body]\nscript=rival2\n",
         "data/meshes/car.rdf line 2: the script \"rival2\" is not in Scripts/list.dat"},
        {"Data/Scripts/list.dat", "main t_system main\nrival1 t_level level\nrival2 t_level level\n",
         "data/scripts/list.dat line 3: the script rival2 has no file Scripts/rival2.lua"},
        {"Data/Sounds/Sounds.dat", "beep;beep.wav;2d\nboom;boom.wav;3d\n",
         "data/sounds/sounds.dat line 2: the sound file boom.wav is not in Sounds"},
        {"Actions.cfg", "up;Accelerate;UpArrow;false\n",
         "Actions.cfg line 1: \"UpArrow\" is no key name, so the action gets no key"},
        {"Actions.cfg", "up;Accelerate;Up\n",
         "Actions.cfg line 1: a binding needs 4 fields: action;label;key;flag"},
    };
    for (const Case& spoilt : cases) {
        SCOPED_TRACE(spoilt.problem);
        TempGameRoot root;
        WriteGoodTree();
        TempGameRoot::WriteFile(spoilt.file, spoilt.text);
        EXPECT_EQ(Lint(), std::vector<std::string>{spoilt.problem});
    }
}

TEST(DataLint, AMissingTreeOrBindingsFileIsAProblem) {
    TempGameRoot root;
    EXPECT_EQ(Lint(), (std::vector<std::string>{"Data: cannot be read as a Data tree",
                                                "Actions.cfg: cannot be read"}));
}

} // namespace
