#include "DynamicSky/CloudSet.h"

#include "DynamicSky/CloudFile.h"

namespace {

WeatherEntry ReadEntry(CloudFile& file) {
    WeatherEntry entry;
    entry.blendTime = file.NextReal();
    entry.meanDuration = file.NextReal();
    entry.spread = file.NextReal();
    entry.layerName = file.NextName();
    entry.keptInts[0] = file.NextInt();
    entry.keptInts[1] = file.NextInt();
    entry.keptFloats[0] = file.NextReal();
    entry.keptFloats[1] = file.NextReal();
    entry.keptInt = file.NextInt();
    entry.keptFloat = file.NextReal();
    entry.keptInt2 = file.NextInt();
    entry.logged = file.NextInt();
    entry.overcast = file.NextInt();
    entry.probability = file.NextReal();
    entry.keptLast = file.NextInt();
    return entry;
}

} // namespace

void CloudSet::Load(const std::string& fileName) {
    entries.clear();
    CloudFile file;
    if (!file.Load(fileName))
        return;
    const int count = file.NextCount();
    for (int i = 0; i < count; ++i)
        entries.push_back(ReadEntry(file));
}
