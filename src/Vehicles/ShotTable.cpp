#include "Vehicles/ShotTable.h"

#include "Core/Log.h"
#include "Core/PFileReader.h"
#include "Core/PLineReader.h"
#include "Core/PTokenizer.h"
#include "Vehicles/PBurstShot.h"
#include "Vehicles/PRocketShot.h"
#include "Vehicles/PShotSpawner.h"
#include "Vehicles/PTracerShot.h"

#include <charconv>
#include <cmath>
#include <optional>

namespace {

// A class's columns between the class and the sound, one letter each: "n"
// a number, "c" a burst's particle count, "t" a text, "m" the rocket's
// mode.
struct ShotClass {
    const char* name;
    const char* columns;
};
constexpr ShotClass kClasses[] = {
    {"tracer", "nnntttnnn"},
    {"rocket", "mnnnnttttnn"},
    {"burst", "tcnnnnn"},
};
// Name, class and sound around the columns.
constexpr std::size_t kFixedFields = 3;

const ShotClass* FindClass(const std::string& name) {
    for (const ShotClass& shotClass : kClasses) {
        if (name == shotClass.name)
            return &shotClass;
    }
    return nullptr;
}

// The whole text as a number; nullopt when it is not one or lies beyond
// the float range.
std::optional<float> NumberOf(const std::string& text) {
    float value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

std::string CheckColumn(char kind, const std::string& value, std::size_t column) {
    if (kind == 'm' && value != "straight" && value != "ballistic")
        return "the mode \"" + value + "\" is neither \"straight\" nor \"ballistic\"";
    if (kind != 'n' && kind != 'c')
        return {};
    const std::string named = "column " + std::to_string(column) + " \"" + value + "\"";
    const std::optional<float> number = NumberOf(value);
    if (!number)
        return named + " is not a number";
    if (!std::isfinite(*number))
        return named + " is not a finite number";
    if (kind == 'c' && (*number < 0 || *number > CPBurstShot::kMaxParticles))
        return named + ": a burst has 0 to " + std::to_string(CPBurstShot::kMaxParticles) + " particles";
    return {};
}

std::string CheckSound(const std::string& sound) {
    const std::vector<std::string> parts = SplitFields(sound, ",");
    if (parts.empty() || parts[0].empty())
        return "the sound is empty (write \"none\" for no sound)";
    if (parts.size() > 2 || (parts.size() == 2 && parts[1] != "2d" && parts[1] != "3d"))
        return "the sound \"" + sound + "\" is not \"file,2d\" or \"file,3d\"";
    return {};
}

} // namespace

std::unique_ptr<CPShot> ShotTable::CreateShot(const std::string& className, std::vector<std::string> row) {
    if (className == "tracer")
        return std::make_unique<CPTracerShot>(std::move(row));
    if (className == "rocket")
        return std::make_unique<CPRocketShot>(std::move(row));
    if (className == "burst")
        return std::make_unique<CPBurstShot>(std::move(row));
    return nullptr;
}

std::string ShotTable::CheckRow(const std::vector<std::string>& fields) {
    if (fields.size() < 2 || fields[0].empty())
        return "a row needs a name and a class";
    const ShotClass* shotClass = FindClass(fields[1]);
    if (!shotClass)
        return "unknown class \"" + fields[1] + "\" (tracer, rocket or burst)";
    const std::string kinds = shotClass->columns;
    if (fields.size() != kinds.size() + kFixedFields)
        return "a " + fields[1] + " row has " + std::to_string(kinds.size()) +
               " columns before its sound, not " + std::to_string(fields.size() - kFixedFields);
    for (std::size_t k = 0; k < kinds.size(); ++k) {
        if (std::string problem = CheckColumn(kinds[k], fields[k + 2], k); !problem.empty())
            return problem;
    }
    return CheckSound(fields.back());
}

void ShotTable::Read(const void* bytes, std::size_t size, const AddShot& add, TextProblems& problems) {
    ReportDroppedLines(bytes, size, problems);
    CPLineReader lines(bytes, size);
    std::string line;
    while (lines.ReadLine(line)) {
        const std::vector<std::string> fields = SplitFields(line, ";");
        std::string problem = lines.IsPlainLine() ? CheckRow(fields) : "a shot table has no sections";
        if (!problem.empty()) {
            problems.push_back({lines.LineNumber(), problem});
            continue;
        }
        std::vector<std::string> row(fields.begin() + 2, fields.end());
        std::unique_ptr<CPShot> shot = CreateShot(fields[1], row);
        shot->name = fields[0];
        shot->Configure(row);
        add(fields[0], std::move(shot));
    }
}

void ShotTable::Fill(const void* bytes, std::size_t size, CPShotSpawner& spawner, TextProblems& problems) {
    Read(
        bytes, size,
        [&spawner](const std::string& name, std::unique_ptr<CPShot> shot) {
            spawner.AddToPool(name, std::move(shot));
        },
        problems);
}

bool ShotTable::Load(const std::string& path, CPShotSpawner& spawner) {
    CPFileReader file(path, false);
    if (FAILED(file.Load())) {
        GetLog().Print(0, "%s could not be read: the weapons and pickups spawn nothing\n", path.c_str());
        return false;
    }
    TextProblems problems;
    Fill(file.GetData(), static_cast<std::size_t>(file.GetSize()), spawner, problems);
    LogTextProblems(path, problems);
    return true;
}
