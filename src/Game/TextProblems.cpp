#include "Game/TextProblems.h"

#include "Core/Log.h"
#include "Core/StringFunctions.h"

#include <algorithm>
#include <string_view>

void ReportDroppedLines(const void* bytes, std::size_t size, TextProblems& problems) {
    const std::string_view text(static_cast<const char*>(bytes), bytes ? size : 0);
    int lineNumber = 0;
    for (std::size_t start = 0; start < text.size();) {
        // Lines end where the line reader ends them: at LF or NUL.
        const std::size_t end = std::min(text.find_first_of(std::string_view("\n\0", 2), start), text.size());
        ++lineNumber;
        std::string line(text.substr(start, end - start));
        TrimString(line);
        const std::size_t comment = line.find("//");
        if (comment != std::string::npos && comment > 0)
            problems.push_back({lineNumber, "the line holds \"//\", so it is dropped whole"});
        start = end + 1;
    }
}

std::string FormatTextProblem(const std::string& file, const TextProblem& problem) {
    const std::string where = problem.line > 0 ? file + " line " + std::to_string(problem.line) : file;
    return where + ": " + problem.message;
}

void LogTextProblems(const std::string& file, const TextProblems& problems) {
    for (const TextProblem& problem : problems)
        GetLog().Print(0, "%s\n", FormatTextProblem(file, problem).c_str());
}
