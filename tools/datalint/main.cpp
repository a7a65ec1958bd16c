// datalint DATA [ACTIONS_CFG]: checks a game's Data tree (and its key
// bindings) for text the engine would read other than it was meant; prints
// every problem as "FILE line N: message" and fails when there is one.

#include "datalint/DataLint.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: datalint DATA [ACTIONS_CFG]\n");
        return 2;
    }
    DataLint lint(argv[1]);
    lint.CheckTree();
    if (argc == 3)
        lint.CheckActions(argv[2]);
    for (const DataLint::Problem& problem : lint.Problems())
        std::printf("%s\n", FormatLintProblem(problem).c_str());
    return lint.Problems().empty() ? 0 : 1;
}
