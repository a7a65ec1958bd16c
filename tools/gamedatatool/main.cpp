// gamedatatool: checks the game's data text files and prints the score file.
//   gamedatatool check DATA [MISSION...]  reads DATA/strings.txt, items.txt,
//       player.dat and coeff.dat and the given mission files through the
//       engine's readers; prints every problem as "FILE line N: message" and
//       fails when there is one or a file cannot be read
//   gamedatatool scores FILE               prints the records of a score file
//       (Data/scores.dat), one "table name a b c" line each

#include "Core/PFileReader.h"
#include "Game/ItemsFileReader.h"
#include "Game/MissionFileReader.h"
#include "Game/ProfileFileReader.h"
#include "Game/ScoreFile.h"
#include "Game/TextTableReader.h"

#include <array>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

using Reader = std::function<void(const void* bytes, std::size_t size, TextProblems& problems)>;

int Usage() {
    std::fprintf(stderr, "usage: gamedatatool check DATA [MISSION...]\n"
                         "       gamedatatool scores FILE\n");
    return 2;
}

// Reads one file with the reader and prints its problems; the number of
// problems, counting a file that cannot be read as one.
int CheckFile(const std::string& path, const Reader& read) {
    CPFileReader file(path, false);
    if (FAILED(file.Load())) {
        std::printf("%s: cannot be read\n", path.c_str());
        return 1;
    }
    TextProblems problems;
    read(file.GetData(), static_cast<std::size_t>(file.GetSize()), problems);
    for (const TextProblem& problem : problems)
        std::printf("%s\n", FormatTextProblem(path, problem).c_str());
    return static_cast<int>(problems.size());
}

int Check(const std::string& folder, const std::vector<std::string>& missionFiles) {
    TextTable texts;
    ItemCatalogues items;
    std::array<float, 4> coefficients{};
    int problems =
        CheckFile(folder + "/strings.txt", [&](const void* bytes, std::size_t size, TextProblems& found) {
            ReadTextTable(bytes, size, texts, found);
        });
    problems +=
        CheckFile(folder + "/items.txt", [&](const void* bytes, std::size_t size, TextProblems& found) {
            ReadItemsFile(bytes, size, items, found);
        });
    problems +=
        CheckFile(folder + "/player.dat", [&](const void* bytes, std::size_t size, TextProblems& found) {
            ReadPlayerFile(bytes, size, items, found);
        });
    problems +=
        CheckFile(folder + "/coeff.dat", [&](const void* bytes, std::size_t size, TextProblems& found) {
            ReadCoefficientsFile(bytes, size, coefficients, found);
        });
    for (const std::string& path : missionFiles) {
        // No level is loaded here, so source point names are not checked.
        problems += CheckFile(path, [](const void* bytes, std::size_t size, TextProblems& found) {
            std::vector<MissionInfo> missions;
            SourceGroups sources;
            ReadMissionFile(bytes, size, nullptr, missions, sources, found);
        });
    }
    std::printf("%d problem%s\n", problems, problems == 1 ? "" : "s");
    return problems == 0 ? 0 : 1;
}

int PrintScores(const std::string& path) {
    CPFileReader file(path, true);
    if (FAILED(file.Load())) {
        std::fprintf(stderr, "gamedatatool: %s cannot be read\n", path.c_str());
        return 1;
    }
    std::vector<ScoreRecord> records;
    std::string error;
    const bool whole =
        DecodeScoreRecords(file.GetData(), static_cast<std::size_t>(file.GetSize()), records, error);
    for (const ScoreRecord& record : records)
        std::printf("%d \"%s\" %d %d %d\n", record.table, record.line.name.c_str(), record.line.a,
                    record.line.b, record.line.c);
    if (!whole)
        std::fprintf(stderr, "gamedatatool: %s: %s\n", path.c_str(), error.c_str());
    return whole ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() >= 2 && args[0] == "check")
        return Check(args[1], {args.begin() + 2, args.end()});
    if (args.size() == 2 && args[0] == "scores")
        return PrintScores(args[1]);
    return Usage();
}
