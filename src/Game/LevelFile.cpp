#include "Game/LevelFile.h"

#include "Core/Log.h"
#include "Core/PFileReader.h"

#include <algorithm>

bool LevelFile::Read(CPFileReader& reader) {
    records.clear();
    lines.clear();
    error.clear();
    for (int i = 0; i < 4; ++i)
        reader.ReadFloat();
    if (reader.HasReadError())
        return Fail("the header is cut short");
    return SkipLights(reader) && ReadRecords(reader) && ReadLines(reader);
}

bool LevelFile::SkipLights(CPFileReader& reader) {
    const int32_t count = reader.ReadInt();
    if (reader.HasReadError() || count < 0)
        return Fail("the light count is missing or negative");
    uint8_t light[kFirstLightBytes];
    // Light by light, so that a count larger than the data stops at the
    // first light that is not there.
    for (int32_t i = 0; i < count && !reader.HasReadError(); ++i)
        reader.Read(light, i == 0 ? kFirstLightBytes : kFurtherLightBytes);
    if (reader.HasReadError())
        return Fail("the lights are cut short");
    return true;
}

bool LevelFile::ReadRecords(CPFileReader& reader) {
    const int32_t count = reader.ReadInt();
    if (reader.HasReadError() || count < 0)
        return Fail("the object count is missing or negative");
    for (int32_t i = 0; i < count; ++i) {
        LevelRecord record;
        record.name = reader.ReadString();
        for (float& value : record.f)
            value = reader.ReadFloat();
        if (reader.HasReadError())
            return Fail("object record " + std::to_string(i) + " is cut short");
        records.push_back(std::move(record));
    }
    return true;
}

bool LevelFile::ReadLines(CPFileReader& reader) {
    const int32_t count = reader.ReadInt();
    if (reader.HasReadError() || count < 0)
        return Fail("the track-line count is missing or negative");
    for (int32_t i = 0; i < count; ++i) {
        auto line = std::make_unique<CPSpline>();
        if (line->Load(reader)) {
            lines.push_back(std::move(line));
        } else if (line->EntryWasRead() && !IsRaceLineName(line->GetSplineName())) {
            // The level keeps only its three race lines: another one that
            // cannot be sampled is of no use, and no harm.
            GetLog().Print(0, "Track line %d (\"%s\") is dropped\n", static_cast<int>(i),
                           line->GetSplineName().c_str());
        } else {
            return Fail("track line " + std::to_string(i) + " is damaged");
        }
    }
    return true;
}

bool LevelFile::IsRaceLineName(const std::string& name) {
    return name == "c_path" || name == "left" || name == "right";
}

CPSpline* LevelFile::FindLine(const std::string& name) const {
    const auto found = std::find_if(lines.rbegin(), lines.rend(), [&](const std::unique_ptr<CPSpline>& line) {
        return line->GetSplineName() == name;
    });
    return found == lines.rend() ? nullptr : found->get();
}

bool LevelFile::Fail(const std::string& reason) {
    error = reason;
    return false;
}
