#pragma once

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

// Checks a game's Data tree for text the engine would read other than it was
// meant: lines its line reader drops or cuts short, fields a stray blank
// shifts, font lines without their TABs, key names no key has, and names in
// object descriptions, the script list and the sound table that name no file
// of the tree.
class DataLint {
public:
    struct Problem {
        std::string file; // "data/..." in lower case, or the bindings file's name
        int line = 0;     // 0 for the file as a whole
        std::string message;
    };

    // Reads the names of every file below `data` (the folder named Data).
    explicit DataLint(const std::filesystem::path& data);

    // Checks every text file of the tree.
    void CheckTree();
    // Checks the key bindings file (Actions.cfg at the game's root).
    void CheckActions(const std::filesystem::path& actions);

    const std::vector<Problem>& Problems() const { return problems; }

private:
    struct Line {
        int number = 0; // from 1
        std::string text;
    };
    using Lines = std::vector<Line>;

    static Lines RawLines(const std::string& text);
    // The lines the engine's line reader keeps, section lines left out.
    static Lines KeptLines(const std::string& text);

    void CheckFile(const std::string& relative);
    void CheckCommentRules(const std::string& file, const Lines& lines);
    void CheckSpaceTable(const std::string& file, const Lines& lines);
    void CheckFontLines(const std::string& file, const Lines& lines);
    void CheckDescription(const std::string& file, const Lines& lines);
    void CheckAnimations(const std::string& file, int line, const std::string& value);
    void CheckScriptList(const std::string& file, const Lines& lines);
    void CheckSoundTable(const std::string& file, const Lines& lines);
    void CheckReference(const std::string& file, int line, const std::string& key, const std::string& name);

    bool Exists(const std::string& relative) const;
    void Report(const std::string& file, int line, const std::string& message);

    // The tree's files by their lower-case, "/"-separated names ("data/...").
    std::map<std::string, std::filesystem::path> files;
    std::set<std::string> scripts; // the names the script list gives
    std::vector<Problem> problems;
};

// "FILE line N: message", or "FILE: message" for a whole file.
std::string FormatLintProblem(const DataLint::Problem& problem);
