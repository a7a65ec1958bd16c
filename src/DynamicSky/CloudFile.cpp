#include "DynamicSky/CloudFile.h"

#include "Core/Log.h"
#include "Core/PFileReader.h"
#include "Core/PLineReader.h"
#include "Core/PTokenizer.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace {

float ToReal(const std::string& text) {
    const float value = static_cast<float>(std::atof(text.c_str()));
    return std::isfinite(value) ? value : 0.0f;
}

// As atoi, with values beyond int's range held at its ends.
int ToInt(const std::string& text) {
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

std::vector<std::string> Values(const std::string& line) {
    std::vector<std::string> fields;
    CPTokenizer tokenizer(line, " ", true);
    std::string field;
    bool labelSkipped = false;
    while (tokenizer.NextToken(field)) {
        if (labelSkipped)
            fields.push_back(field);
        labelSkipped = true;
    }
    return fields;
}

} // namespace

std::string CloudFile::PathOf(const std::string& name) {
    return "Data\\Clouds\\" + name;
}

bool CloudFile::Load(const std::string& name) {
    lines.clear();
    cursor = 0;
    path = PathOf(name);
    CPFileReader reader(path, false);
    // A file that cannot be read is reported once, as a whole.
    cutReported = FAILED(reader.Load());
    if (cutReported) {
        GetLog().Print(0, "DynamicSky: %s could not be read (missing or cut short)\n", path.c_str());
        return false;
    }
    CPLineReader lineReader(reader.GetData(), static_cast<std::size_t>(reader.GetSize()));
    std::string line;
    while (lineReader.ReadLine(line))
        lines.push_back(Values(line));
    return true;
}

std::vector<std::string> CloudFile::NextValues() {
    if (cursor < lines.size())
        return lines[cursor++];
    ReportCut();
    return {};
}

void CloudFile::ReportCut() {
    if (!cutReported)
        GetLog().Print(0, "DynamicSky: %s is cut short after %zu lines: the rest reads as zeros\n",
                       path.c_str(), lines.size());
    cutReported = true;
}

int CloudFile::NextInt() {
    return NextInts(1)[0];
}

float CloudFile::NextReal() {
    return NextReals(1)[0];
}

std::vector<int> CloudFile::NextInts(std::size_t count) {
    std::vector<std::string> values = NextValues();
    values.resize(count);
    std::vector<int> numbers;
    for (const std::string& value : values)
        numbers.push_back(ToInt(value));
    return numbers;
}

std::vector<float> CloudFile::NextReals(std::size_t count) {
    std::vector<std::string> values = NextValues();
    values.resize(count);
    std::vector<float> numbers;
    for (const std::string& value : values)
        numbers.push_back(ToReal(value));
    return numbers;
}

D3DXVECTOR3 CloudFile::NextVector() {
    const std::vector<float> values = NextReals(3);
    return D3DXVECTOR3(values[0], values[1], values[2]);
}

std::string CloudFile::NextName() {
    const std::vector<std::string> values = NextValues();
    return values.empty() ? std::string() : values[0];
}

int CloudFile::NextCount() {
    const int count = NextInt();
    const auto left = static_cast<long long>(lines.size() - cursor);
    if (count > left)
        ReportCut();
    return static_cast<int>(std::clamp<long long>(count, 0, left));
}
