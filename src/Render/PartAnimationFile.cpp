#include "Render/PartAnimationFile.h"

#include "Core/Log.h"
#include "Core/PFileReader.h"
#include "Core/StringFunctions.h"

#include <memory>
#include <utility>
#include <vector>

namespace {

// The key's matrix: the stored columns in the first three columns, the
// fourth column (0, 0, 0, 1).
D3DXMATRIX ReadKeyMatrix(CPFileReader& reader) {
    D3DXMATRIX key;
    D3DXMatrixIdentity(&key);
    for (int column = 0; column < 3; ++column) {
        for (int row = 0; row < 4; ++row)
            key.m[row][column] = reader.ReadFloat();
    }
    return key;
}

using ReadTrack = std::pair<std::string, std::unique_ptr<CPPartAnimation>>;

// False when a count is negative or larger than the bytes left could hold,
// or a read ran past the end.
bool ReadTracks(CPFileReader& reader, std::vector<ReadTrack>& read) {
    const int trackCount = reader.ReadInt();
    if (trackCount < 0)
        return false;
    for (int t = 0; t < trackCount; ++t) {
        std::string name = reader.ReadString();
        ToLowerString(name);
        const int keyCount = reader.ReadInt();
        if (reader.HasReadError() || keyCount < 0 || keyCount > reader.GetSize() / kTrackKeySize)
            return false;
        std::vector<D3DXMATRIX> keys;
        std::vector<float> durations;
        for (int k = 0; k < keyCount; ++k) {
            durations.push_back(reader.ReadFloat());
            keys.push_back(ReadKeyMatrix(reader));
        }
        if (reader.HasReadError())
            return false;
        auto track = std::make_unique<CPPartAnimation>();
        track->SetKeys(keys, durations);
        read.emplace_back(std::move(name), std::move(track));
    }
    return true;
}

} // namespace

void LoadAnimations(const std::string& fileName, StringHashMap<CPRefPtr<CPPartAnimation>>& tracks) {
    CPFileReader reader("Data\\Animations\\" + fileName, false);
    if (FAILED(reader.Load())) {
        GetLog().Print(0, "Animation file %s not found\n", fileName.c_str());
        return;
    }
    std::vector<ReadTrack> read;
    if (!ReadTracks(reader, read)) {
        GetLog().Print(0, "Animation file %s is malformed\n", fileName.c_str());
        return;
    }
    // Only the last track of each name is kept; the others go with `read`.
    for (std::size_t k = 0; k < read.size(); ++k) {
        bool replacedLater = false;
        for (std::size_t later = k + 1; later < read.size() && !replacedLater; ++later)
            replacedLater = read[later].first == read[k].first;
        if (!replacedLater)
            tracks[read[k].first] = read[k].second.release();
    }
}
