#include "datalint/DataLint.h"

#include "Core/PLineReader.h"
#include "Core/PTokenizer.h"
#include "Core/StringFunctions.h"
#include "Input/KeyNames.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <utility>

namespace {

std::string ReadWhole(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Lower(std::string text) {
    ToLowerString(text);
    return text;
}

bool StartsWith(const std::string& text, const std::string& start) {
    return text.compare(0, start.size(), start) == 0;
}

std::string Extension(const std::string& path) {
    const std::size_t dot = path.rfind('.');
    const std::size_t slash = path.rfind('/');
    return dot == std::string::npos || (slash != std::string::npos && dot < slash) ? ""
                                                                                   : path.substr(dot + 1);
}

// Text files the engine reads with its line reader; the packs are binary.
bool IsLineReadFile(const std::string& path) {
    static const std::set<std::string> extensions = {"rdf", "dat", "int", "fnt", "txt", "set", "cl"};
    const bool pack = StartsWith(path, "data/game") && std::count(path.begin(), path.end(), '/') == 1;
    return extensions.contains(Extension(path)) && !pack;
}

// Files the game writes while it runs: no source of the tree.
bool IsWrittenByTheGame(const std::string& path) {
    return path == "data/scores.dat" || StartsWith(path, "data/saves/");
}

// Tables whose fields are separated by single spaces.
bool IsSpaceTable(const std::string& path) {
    return path == "data/particles.dat" || path == "data/spots.dat" || path == "data/particlesystems.dat" ||
           path == "data/scripts/list.dat";
}

bool IsFontFile(const std::string& path) {
    return StartsWith(path, "data/fonts/") && (Extension(path) == "fnt" || path == "data/fonts/fonts.dat");
}

// The folder below Data where the engine looks for what a description key
// names; empty for keys that name no file there.
std::string FolderOfKey(const std::string& key) {
    if (key == "model")
        return "data/meshes/";
    if (key == "description")
        return "data/descriptions/";
    if (key == "effectfile")
        return "data/effects/";
    if (StartsWith(key, "texturefile"))
        return "data/textures/";
    return "";
}

} // namespace

// The tree's top folder, whatever its name, stands for "data".
DataLint::DataLint(const std::filesystem::path& data) {
    std::error_code code;
    std::filesystem::path top = std::filesystem::weakly_canonical(data, code);
    if (!top.has_filename())
        top = top.parent_path();
    for (auto it = std::filesystem::recursive_directory_iterator(top, code);
         !code && it != std::filesystem::recursive_directory_iterator(); it.increment(code)) {
        if (it->is_regular_file() && !StartsWith(it->path().filename().string(), "."))
            files["data/" + Lower(std::filesystem::relative(it->path(), top).generic_string())] = it->path();
    }
    if (code || files.empty())
        Report(data.generic_string(), 0, "cannot be read as a Data tree");
}

void DataLint::CheckTree() {
    // The script list first: the descriptions name its scripts.
    const std::string list = "data/scripts/list.dat";
    if (Exists(list))
        CheckFile(list);
    for (const auto& [file, path] : files) {
        if (file != list && IsLineReadFile(file) && !IsWrittenByTheGame(file))
            CheckFile(file);
    }
}

void DataLint::CheckActions(const std::filesystem::path& actions) {
    const std::string name = actions.filename().string();
    if (!std::filesystem::is_regular_file(actions)) {
        Report(name, 0, "cannot be read");
        return;
    }
    const std::string text = ReadWhole(actions);
    CheckCommentRules(name, RawLines(text));
    for (const Line& line : KeptLines(text)) {
        const std::vector<std::string> fields = SplitFields(line.text, ";");
        if (fields.size() != 4)
            Report(name, line.number, "a binding needs 4 fields: action;label;key;flag");
        else if (fields[3] != "true" && FindKeyName(fields[2]) < 0)
            Report(name, line.number, "\"" + fields[2] + "\" is no key name, so the action gets no key");
    }
}

DataLint::Lines DataLint::RawLines(const std::string& text) {
    Lines lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find_first_of(std::string("\n\0", 2), start), text.size());
        std::string line = text.substr(start, end - start);
        TrimString(line);
        lines.push_back({static_cast<int>(lines.size()) + 1, std::move(line)});
        start = end + 1;
    }
    return lines;
}

DataLint::Lines DataLint::KeptLines(const std::string& text) {
    Lines kept;
    CPLineReader reader(text.data(), text.size());
    std::string line;
    while (reader.ReadLine(line)) {
        if (reader.IsPlainLine())
            kept.push_back({reader.LineNumber(), line});
    }
    return kept;
}

void DataLint::CheckFile(const std::string& relative) {
    const std::string text = ReadWhole(files.at(relative));
    CheckCommentRules(relative, RawLines(text));
    const Lines kept = KeptLines(text);
    if (IsSpaceTable(relative))
        CheckSpaceTable(relative, kept);
    if (IsFontFile(relative))
        CheckFontLines(relative, kept);
    if (Extension(relative) == "rdf")
        CheckDescription(relative, kept);
    else if (relative == "data/scripts/list.dat")
        CheckScriptList(relative, kept);
    else if (relative == "data/sounds/sounds.dat")
        CheckSoundTable(relative, kept);
}

// A line the reader drops for a comment marker after its text, or a bare
// "[]", which ends the reading there. A line holding "//" is dropped before
// anything else is looked at, so it neither opens nor closes a comment.
void DataLint::CheckCommentRules(const std::string& file, const Lines& lines) {
    bool inComment = false;
    for (const Line& line : lines) {
        const std::string& text = line.text;
        if (text.find("//") != std::string::npos) {
            if (!inComment && !StartsWith(text, "//"))
                Report(file, line.number, "holds \"//\" after its text, so the whole line is dropped");
            continue;
        }
        const bool opens = text.find("/*") != std::string::npos;
        const std::size_t close = text.find("*/");
        if (!inComment && opens && !StartsWith(text, "/*"))
            Report(file, line.number, "holds \"/*\" after its text, so the text is dropped");
        else if (!inComment && !opens && close != std::string::npos)
            Report(file, line.number, "holds \"*/\", so the whole line is dropped");
        else if (close != std::string::npos && close + 2 < text.size())
            Report(file, line.number, "the text after \"*/\" is dropped with the line");
        else if (!inComment && text == "[]")
            Report(file, line.number, "\"[]\" ends the reading of the file here");
        inComment = (inComment || opens) && close == std::string::npos;
    }
}

void DataLint::CheckSpaceTable(const std::string& file, const Lines& lines) {
    for (const Line& line : lines) {
        if (line.text.find("  ") != std::string::npos || line.text.find('\t') != std::string::npos)
            Report(file, line.number, "two blanks or a TAB between fields shift every later field");
    }
}

void DataLint::CheckFontLines(const std::string& file, const Lines& lines) {
    for (const Line& line : lines) {
        if (line.text.find('\t') == std::string::npos)
            Report(file, line.number, "has no TAB between its fields");
    }
}

// key=value lines; a key that names a file must name one of the tree, and a
// script one of the script list.
void DataLint::CheckDescription(const std::string& file, const Lines& lines) {
    for (const Line& line : lines) {
        const std::size_t equals = line.text.find('=');
        if (equals == std::string::npos)
            continue;
        std::string key = Lower(line.text.substr(0, equals));
        std::string value = line.text.substr(equals + 1);
        TrimString(key);
        TrimString(value);
        if (key == "script" && !scripts.contains(value))
            Report(file, line.number, "the script \"" + value + "\" is not in Scripts/list.dat");
        else if (key == "model" && value.starts_with("anim;"))
            CheckAnimations(file, line.number, value);
        else if (!(key == "model" && value == "empty"))
            CheckReference(file, line.number, key, value);
    }
}

// "anim;NAME,FILE;NAME,FILE...": every animation's file lies in Data/Meshes.
void DataLint::CheckAnimations(const std::string& file, int line, const std::string& value) {
    std::size_t start = value.find(';') + 1;
    while (start <= value.size()) {
        const std::size_t end = std::min(value.find(';', start), value.size());
        const std::string entry = value.substr(start, end - start);
        const std::size_t comma = entry.find(',');
        if (comma == std::string::npos)
            Report(file, line, "the animation \"" + entry + "\" names no file");
        else
            CheckReference(file, line, "model", entry.substr(comma + 1));
        start = end + 1;
    }
}

void DataLint::CheckScriptList(const std::string& file, const Lines& lines) {
    for (const Line& line : lines) {
        const std::string name = line.text.substr(0, line.text.find_first_of(" \t"));
        scripts.insert(name);
        if (!Exists("data/scripts/" + Lower(name) + ".lua"))
            Report(file, line.number, "the script " + name + " has no file Scripts/" + name + ".lua");
    }
}

// name;file;mode lines: the file lies in Data/Sounds.
void DataLint::CheckSoundTable(const std::string& file, const Lines& lines) {
    for (const Line& line : lines) {
        const std::vector<std::string> fields = SplitFields(line.text, ";");
        if (fields.size() < 2)
            Report(file, line.number, "a sound needs a name and a file");
        else if (!Exists("data/sounds/" + Lower(fields[1])))
            Report(file, line.number, "the sound file " + fields[1] + " is not in Sounds");
    }
}

// Either slash separates folders; a texture may also be found under the same
// name ending in "jpg".
void DataLint::CheckReference(const std::string& file, int line, const std::string& key,
                              const std::string& name) {
    const std::string folder = FolderOfKey(key);
    if (folder.empty())
        return;
    std::string path = folder + Lower(name);
    std::replace(path.begin(), path.end(), '\\', '/');
    const bool jpg =
        folder == "data/textures/" && name.size() >= 3 && Exists(path.substr(0, path.size() - 3) + "jpg");
    if (!Exists(path) && !jpg)
        Report(file, line, key + " names " + name + ", which is not in the tree");
}

bool DataLint::Exists(const std::string& relative) const {
    return files.contains(relative);
}

void DataLint::Report(const std::string& file, int line, const std::string& message) {
    problems.push_back({file, line, message});
}

std::string FormatLintProblem(const DataLint::Problem& problem) {
    const std::string where =
        problem.line > 0 ? problem.file + " line " + std::to_string(problem.line) : problem.file;
    return where + ": " + problem.message;
}
