#pragma once

#include <filesystem>
#include <fstream>
#include <string>

// A game root in a temporary folder of the name with one plain effect,
// Data\Effects\simple.fx; the working directory while it lives.
class BenchRoot {
public:
    explicit BenchRoot(const std::string& folder) : previous(std::filesystem::current_path()) {
        root = std::filesystem::temp_directory_path() / folder;
        std::filesystem::create_directories(root / "Data" / "Effects");
        std::ofstream(root / "Data" / "Effects" / "simple.fx")
            << "technique T\n  pass P0\n    render LIGHTING FALSE\nend\n";
        std::filesystem::current_path(root);
    }
    ~BenchRoot() {
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(root);
    }
    BenchRoot(const BenchRoot&) = delete;
    BenchRoot& operator=(const BenchRoot&) = delete;

private:
    std::filesystem::path previous;
    std::filesystem::path root;
};
