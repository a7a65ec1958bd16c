#pragma once

#include <cstddef>
#include <string>
#include <vector>

// A problem found in a game-data text file: the raw line (from 1) it is on,
// or 0 for the file as a whole, and what is wrong.
struct TextProblem {
    int line = 0;
    std::string message;
};
using TextProblems = std::vector<TextProblem>;

// Reports every raw line that the line reader drops because it holds "//"
// after other text: its data would be lost without a word. Lines that start
// with "//" are comments and pass.
void ReportDroppedLines(const void* bytes, std::size_t size, TextProblems& problems);

// "<file> line <n>: <message>", or "<file>: <message>" for the whole file.
std::string FormatTextProblem(const std::string& file, const TextProblem& problem);

// Writes each problem to the log, formatted as above.
void LogTextProblems(const std::string& file, const TextProblems& problems);
