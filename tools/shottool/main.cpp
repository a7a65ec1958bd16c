// shottool: checks a shot table.
//   shottool check FILE  reads FILE (Data/shots.dat) through the engine's
//       loader; prints every bad row as "FILE line N: message" and fails
//       when there is one or the file cannot be read

#include "Core/PFileReader.h"
#include "Vehicles/PShot.h"
#include "Vehicles/ShotTable.h"

#include <cstdio>
#include <string>

namespace {

int Usage() {
    std::fprintf(stderr, "usage: shottool check FILE\n");
    return 2;
}

int Check(const std::string& path) {
    CPFileReader file(path, false);
    if (FAILED(file.Load())) {
        std::printf("%s: cannot be read\n", path.c_str());
        return 1;
    }
    TextProblems problems;
    int shots = 0;
    ShotTable::Read(
        file.GetData(), static_cast<std::size_t>(file.GetSize()),
        [&shots](const std::string&, std::unique_ptr<CPShot>) { ++shots; }, problems);
    for (const TextProblem& problem : problems)
        std::printf("%s\n", FormatTextProblem(path, problem).c_str());
    std::printf("%d shot%s, %zu problem%s\n", shots, shots == 1 ? "" : "s", problems.size(),
                problems.size() == 1 ? "" : "s");
    return problems.empty() ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "check")
        return Check(argv[2]);
    return Usage();
}
