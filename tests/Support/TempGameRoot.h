#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// A fresh folder that is the working directory (the game's root) while the
// object lives; removed afterwards.
class TempGameRoot {
public:
    TempGameRoot() : previous(std::filesystem::current_path()) {
        std::string pattern = (std::filesystem::temp_directory_path() / "kvtestXXXXXX").string();
        root = ::mkdtemp(pattern.data());
        std::filesystem::current_path(root);
    }
    ~TempGameRoot() {
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(root);
    }
    TempGameRoot(const TempGameRoot&) = delete;
    TempGameRoot& operator=(const TempGameRoot&) = delete;

    const std::filesystem::path& Path() const { return root; }

    // Writes a file below the root (folders created as needed).
    static void WriteFile(const std::filesystem::path& relative, const std::string& bytes) {
        if (relative.has_parent_path())
            std::filesystem::create_directories(relative.parent_path());
        std::ofstream file(relative, std::ios::binary | std::ios::trunc);
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        ASSERT_TRUE(file.good()) << relative;
    }

    static std::string ReadFile(const std::filesystem::path& relative) {
        std::ifstream file(relative, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }

    // Names of the entries of a folder, sorted.
    static std::vector<std::string> Listing(const std::filesystem::path& folder) {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::filesystem::path previous;
    std::filesystem::path root;
};
