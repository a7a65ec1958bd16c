#pragma once

#include "Game/TextProblems.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CPShot;
class CPShotSpawner;

// The shot table: one shot per line, "name;class;columns...;sound" with the
// fields separated by ";" (double quotes group). The class is "tracer",
// "rocket" or "burst"; the columns are the class's own (see each class) and
// the sound comes last as "file,mode" (mode "2d" or "3d") or "none". A name
// on one row gives the spawner a template; a name on several rows gives
// that many ready shots.
class ShotTable {
public:
    static constexpr const char* kFile = "Data\\shots.dat";

    using AddShot = std::function<void(const std::string& name, std::unique_ptr<CPShot> shot)>;

    // A new shot of the class from the row of its columns and sound; null
    // for a class the table does not know.
    static std::unique_ptr<CPShot> CreateShot(const std::string& className, std::vector<std::string> row);
    // Checks every row; each good one becomes a configured shot given to
    // `add`, each bad one is reported and skipped.
    static void Read(const void* bytes, std::size_t size, const AddShot& add, TextProblems& problems);
    // Reads the rows into the spawner's pools.
    static void Fill(const void* bytes, std::size_t size, CPShotSpawner& spawner, TextProblems& problems);
    // Fills the spawner's pools from the file; false (logged) when it cannot
    // be read. Bad rows are logged.
    static bool Load(const std::string& path, CPShotSpawner& spawner);

private:
    // What is wrong with the fields of a row; empty when nothing is.
    static std::string CheckRow(const std::vector<std::string>& fields);
};
