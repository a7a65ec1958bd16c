// packtool: builds, lists and extracts the game's pack files.
//   packtool build DIR OUT [LIST]  stores DIR, under its own name, as the
//       pack OUT, leaving out the files that match a pattern of the
//       leave-out LIST file
//   packtool list PACK         prints each stored path and its size
//   packtool extract PACK DIR  writes the stored files below DIR
// Listing and extracting go through the engine's own pack reader.

#include "Core/PFileWriter.h"
#include "Core/PackFiles.h"
#include "Platform/FileSystem.h"
#include "packtool/PackWriter.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace {

int Fail(const std::string& message) {
    std::fprintf(stderr, "packtool: %s\n", message.c_str());
    return 1;
}

int Build(const std::filesystem::path& folder, const std::string& out, const std::string& leaveOut) {
    std::error_code code;
    const std::filesystem::path top = std::filesystem::canonical(folder, code);
    if (code || !std::filesystem::is_directory(top))
        return Fail(folder.string() + " is not a folder");
    std::vector<std::string> patterns;
    if (!leaveOut.empty()) {
        std::ifstream list(leaveOut);
        if (!list)
            return Fail("cannot read " + leaveOut);
        patterns = ReadLeaveOutList(std::string(std::istreambuf_iterator<char>(list), {}));
    }
    PackItem tree;
    std::string error;
    const auto take = [&](const std::string& path) { return !MatchesAnyPattern(path, patterns); };
    if (!ReadFolderTree(top, tree, error, take))
        return Fail(error);
    std::vector<uint8_t> pack;
    if (!BuildPack(tree, pack))
        return Fail("the files are too large for one pack");
    CPFileWriter writer(out, false);
    writer.Write(pack.data(), static_cast<int>(pack.size()));
    return SUCCEEDED(writer.Save()) ? 0 : Fail("cannot write " + out);
}

bool Mount(const std::string& path, PackFile& pack) {
    pack.path = path;
    return SUCCEEDED(MountPack(pack));
}

int List(const std::string& path) {
    PackFile pack;
    if (!Mount(path, pack))
        return Fail(path + " is not a readable pack");
    for (const auto& [name, where] : pack.entries)
        std::printf("%s\t%d\n", name.c_str(), where.size);
    return 0;
}

// The stored path as a path below `root`; false when a part of it could
// climb out of the folder or is empty.
bool OutputPath(const std::filesystem::path& root, std::string_view stored, std::filesystem::path& out) {
    out = root;
    std::size_t start = 0;
    while (start <= stored.size()) {
        const std::size_t end = std::min(stored.find_first_of("\\/", start), stored.size());
        const std::string_view part = stored.substr(start, end - start);
        if (part.empty() || part == "." || part == "..")
            return false;
        out /= std::string(part);
        start = end + 1;
    }
    return true;
}

int Extract(const std::string& path, const std::filesystem::path& root) {
    PackFile pack;
    if (!Mount(path, pack))
        return Fail(path + " is not a readable pack");
    const PlatFile file = PlatOpenFileForReading(pack.path);
    if (!file)
        return Fail("cannot open " + path);
    for (const auto& [name, where] : pack.entries) {
        std::filesystem::path out;
        if (!OutputPath(root, name, out))
            return Fail("refusing to extract \"" + name + "\"");
        std::vector<uint8_t> data;
        if (FAILED(ReadPackData(file.get(), where, data)))
            return Fail("cannot read " + name);
        std::error_code code;
        std::filesystem::create_directories(out.parent_path(), code);
        CPFileWriter writer(out.string(), false);
        writer.Write(data.data(), static_cast<int>(data.size()));
        if (code || FAILED(writer.Save()))
            return Fail("cannot write " + out.string());
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if ((args.size() == 3 || args.size() == 4) && args[0] == "build")
        return Build(args[1], args[2], args.size() == 4 ? args[3] : "");
    if (args.size() == 2 && args[0] == "list")
        return List(args[1]);
    if (args.size() == 3 && args[0] == "extract")
        return Extract(args[1], args[2]);
    std::fprintf(stderr, "usage: packtool build DIR OUT [LIST] | list PACK | extract PACK DIR\n");
    return 2;
}
