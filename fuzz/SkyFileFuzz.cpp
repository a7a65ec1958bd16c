// Loads arbitrary bytes as a sky file of the sky's folder (its cloud-set,
// layer and model files all read the same bytes), then runs the sky for a
// few updates: every number it keeps must stay finite.

#include "DynamicSky/Skyscape.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

namespace {

bool Finite(const D3DXVECTOR3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// Each input runs in a folder of its own with a Data\Clouds folder; the
// fuzzer then returns to the folder it was started in, where its relative
// corpus and artifact paths point.
class GameRoot {
public:
    GameRoot() : started(std::filesystem::current_path()) { std::filesystem::current_path(Folder()); }
    ~GameRoot() { std::filesystem::current_path(started); }
    GameRoot(const GameRoot&) = delete;
    GameRoot& operator=(const GameRoot&) = delete;

private:
    static const std::filesystem::path& Folder() {
        static const std::filesystem::path folder = [] {
            std::string pattern = (std::filesystem::temp_directory_path() / "kvskyfuzzXXXXXX").string();
            const std::filesystem::path made = ::mkdtemp(pattern.data());
            std::filesystem::create_directories(made / "Data" / "Clouds");
            return made;
        }();
        return folder;
    }

    std::filesystem::path started;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const GameRoot root;
    for (const char* name : {"sky.txt", "clouds.set", "layer.cl"})
        std::ofstream(std::string("Data/Clouds/") + name, std::ios::binary)
            .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    Skyscape sky;
    sky.Load("sky.txt");
    for (int update = 0; update < 3; ++update)
        sky.Update(10.0f);
    for (const MeshVertex& vertex : sky.vertices)
        if (!Finite(D3DXVECTOR3(vertex.x, vertex.y, vertex.z)))
            __builtin_trap();
    if (!Finite(sky.current.sunColour) || !Finite(g_SunPosition) || !std::isfinite(sky.nextWeatherChange))
        __builtin_trap();
    return 0;
}

// Each input has a budget of five seconds (libFuzzer's own default is twenty
// minutes): a sky file whose load or updates run that long is a finding, as
// it would freeze the game. A -timeout given on the command line still wins.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static char budget[] = "-timeout=5";
    static std::vector<char*> arguments;
    arguments.assign(*argv, *argv + *argc);
    arguments.insert(arguments.begin() + 1, budget);
    arguments.push_back(nullptr);
    *argc = static_cast<int>(arguments.size()) - 1;
    *argv = arguments.data();
    return 0;
}
