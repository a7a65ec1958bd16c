#include "DynamicSky/SkyFixture.h"

#include <fstream>

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::string FirstLines(const std::vector<std::string>& lines, size_t count) {
    std::string text;
    for (size_t i = 0; i < count; ++i)
        text += lines[i] + "\n";
    return text;
}

std::string DemoFile(const std::string& name) {
    std::ifstream file(KV_SOURCE_DIR "/data/Clouds/" + name);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool FiniteVertices(const VertexObject& object) {
    for (const std::vector<MeshVertex>* list : {&object.vertices, &object.workVertices})
        for (const MeshVertex& vertex : *list)
            if (!Finite(D3DXVECTOR3(vertex.x, vertex.y, vertex.z)) ||
                !Finite(D3DXVECTOR3(vertex.nx, vertex.ny, vertex.nz)))
                return false;
    return true;
}

bool FiniteLook(const Skyscape& sky) {
    const SkyKeyframe& look = sky.current;
    bool finite = Finite(look.sunColour) && Finite(look.ambientColour) && Finite(look.fogColour) &&
                  std::isfinite(look.domeAlpha) && std::isfinite(sky.blend) &&
                  std::isfinite(sky.nextWeatherChange);
    for (const D3DXVECTOR3& key : look.keyColours)
        finite = finite && Finite(key);
    for (const auto& sprite : sky.sprites)
        finite = finite && FiniteVertices(*sprite) && Finite(sprite->position);
    return finite && FiniteVertices(sky) && Finite(g_SunPosition);
}

// The demo sky with a cloud model in its group: every one of its files is
// cut after each of its lines in turn, and the sky still loads, runs and
// draws only finite numbers.
TEST(SkyCutFileTest, EveryFileCutAtEveryLineStillGivesAFiniteSky) {
    TempGameRoot root;
    SkyLogCapture log;
    const std::map<std::string, std::string> files{
        {"skyscape1.txt", DemoFile("skyscape1.txt")},
        {"clouds.set", DemoFile("clouds.set")},
        {"layer.cl", LayerText(D3DXVECTOR3(0, 0, 200), {"puff.cm"})},
        {"puff.cm", "points 1\np 0 0 1\npuffs 1\npos 1 2 3\nints 1 2\nreal 0.5\nanchor 0\nsizes 2 3\n"
                    "v 1\nv 2\nv 3\nv 4\nv 5\nv 6\nv 7\nv 8\n"}};
    ASSERT_FALSE(files.at("skyscape1.txt").empty());
    for (const auto& [cutName, cutText] : files) {
        const std::vector<std::string> lines = Lines(cutText);
        for (size_t kept = 0; kept <= lines.size(); ++kept) {
            for (const auto& [name, text] : files)
                WriteCloudFile(name, name == cutName ? FirstLines(lines, kept) : text);
            log.text.clear();
            Skyscape sky;
            sky.Load("skyscape1.txt");
            for (int update = 0; update < 3; ++update)
                sky.Update(20.0f);
            ASSERT_TRUE(FiniteLook(sky)) << cutName << " cut to " << kept << " lines";
            // The whole demo files read silently; a cut one is named.
            const std::string path = "Data\\Clouds\\" + cutName;
            const bool named = log.text.find(path + " is cut short") != std::string::npos ||
                               log.text.find(path + " could not be read") != std::string::npos;
            EXPECT_EQ(named, kept < lines.size()) << cutName << " cut to " << kept << " lines\n" << log.text;
        }
    }
}

TEST(SkyCutFileTest, AMissingSkyFileGivesAnEmptySky) {
    TempGameRoot root;
    SkyLogCapture log;
    Skyscape sky;
    EXPECT_FALSE(sky.Load("skyscape9.txt"));
    EXPECT_NE(log.text.find("Data\\Clouds\\skyscape9.txt could not be read"), std::string::npos) << log.text;
    sky.Update(1);
    EXPECT_TRUE(sky.vertices.empty());
    EXPECT_TRUE(sky.keyframes.empty());
    EXPECT_TRUE(sky.sprites.empty());
    EXPECT_TRUE(sky.cloudSets.entries.empty());
    EXPECT_EQ(sky.weatherClock, 0);
}

} // namespace
