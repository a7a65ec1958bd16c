#include "Core/PGlobalTimer.h"
#include "Render/PAnimationManager.h"
#include "Render/PPartAnimation.h"
#include "Render/PartAnimationFile.h"
#include "RenderTestScene.h"
#include "Support/TempGameRoot.h"
#include "meshtool/MeshWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <memory>

namespace {

// An animation node of `frames` quads whose vertex 2 rises by 1 per frame.
MeshFileNode FramesNode(int frames, float frameTime) {
    MeshFileNode node;
    node.name = "flag";
    node.frameTime = frameTime;
    for (int k = 0; k < frames; ++k) {
        MeshFrame frame;
        MakeQuad(frame.vertices, frame.indices);
        frame.vertices[2].z = static_cast<float>(k);
        node.frames.push_back(frame);
    }
    return node;
}

TEST(Animation, FramesTakeTheirTimeColourAndBounds) {
    CPAnimation animation("flag&flags");
    animation.Load(FramesNode(25, 240), 0xff123456);
    EXPECT_FLOAT_EQ(animation.frameDuration, 0.1f);
    EXPECT_FLOAT_EQ(animation.length, 2.5f);
    ASSERT_EQ(animation.frames.size(), 25u);
    EXPECT_EQ(animation.frames[7].frameNumber, 7);
    EXPECT_EQ(animation.frames[7].vertices[2].z, 7.0f);
    for (const AnimationFrame& frame : animation.frames)
        for (const MeshVertex& vertex : frame.vertices)
            EXPECT_EQ(vertex.diffuse, 0xff123456u);
    EXPECT_FLOAT_EQ(animation.bounds.center.z, 12.0f);
    EXPECT_FLOAT_EQ(animation.bounds.halfSize.z, 12.0f);

    CPAnimation empty("none&flags");
    empty.Load(FramesNode(0, 240), 0);
    EXPECT_EQ(empty.bounds.halfSize, D3DXVECTOR3(0, 0, 0));
    EXPECT_EQ(empty.FrameAt(1.0f), -1);
}

TEST(Animation, FrameAtTime) {
    struct Case {
        int frames;
        float frameTime;
        float seconds;
        int frame;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float infinity = std::numeric_limits<float>::infinity();
    const Case cases[] = {
        {10, 240, 0.0f, 0},
        {10, 240, 0.95f, 9},
        {10, 240, 1.02f, 0},
        {10, 240, 2.55f, 5},
        {10, 240, -3.0f, 0},
        {10, 240, 1000.25f, 2},
        {10, 240, nan, 0},
        {10, 240, infinity, 0},
        // Time that is exactly a whole number of plays shows the last frame.
        {4, 2400, 8.0f, 3},
        {1, 240, 5.0f, 0},
        // Frames without duration stay at the first frame.
        {10, 0, 3.0f, 0},
        {10, -240, 3.0f, 0},
    };
    for (const Case& c : cases) {
        CPAnimation animation("a&b");
        animation.Load(FramesNode(c.frames, c.frameTime), 0);
        EXPECT_EQ(animation.FrameAt(c.seconds), c.frame)
            << c.frames << " " << c.frameTime << " " << c.seconds;
    }
    // Far beyond the length (where subtracting it changes nothing) the
    // frame is still found at once.
    CPAnimation animation("a&b");
    animation.Load(FramesNode(10, 240), 0);
    const int far = animation.FrameAt(1e30f);
    EXPECT_TRUE(far >= 0 && far < 10) << far;
}

TEST(Animation, ManagerSharesAndRefreshesByKey) {
    CPAnimationManager manager;
    EXPECT_EQ(g_AnimationManager, &manager);
    CPRefPtr<CPAnimation> first, second, other;
    manager.GetAnimation(first, "flag&flags", FramesNode(2, 240), 0);
    manager.GetAnimation(other, "flag&poles", FramesNode(2, 240), 0);
    manager.GetAnimation(second, "flag&flags", FramesNode(3, 480), 0);
    EXPECT_EQ(first.Get(), second.Get());
    EXPECT_NE(first.Get(), other.Get());
    EXPECT_EQ(first->name, "flag&flags");
    // The shared animation took the frames read last.
    EXPECT_EQ(first->frameCount, 3);
    EXPECT_FLOAT_EQ(first->frameDuration, 0.2f);
}

TEST(Animation, ManagerClearsTheGlobalWhenDeleted) {
    { CPAnimationManager manager; }
    EXPECT_EQ(g_AnimationManager, nullptr);
}

// A translation by (x, 0, 0) as a key matrix.
D3DXMATRIX KeyAt(float x) {
    D3DXMATRIX m;
    D3DXMatrixTranslation(&m, x, 0, 0);
    return m;
}

struct TrackRun {
    std::vector<float> durations;
    bool loop;
    std::vector<float> frameTimes;
    int keyIndex;
    float time;
    int ends;
    bool stopped;
    // The owner's x position after the last update.
    float x;
};

TEST(PartAnimation, TracksMoveTheirOwnerThroughTheKeys) {
    const float inf = std::numeric_limits<float>::infinity();
    const TrackRun runs[] = {
        {{1, 1, 1, 1}, false, {1.5f}, 1, 0.5f, 0, false, 1.5f},
        // Past two seconds the end is reached: the segment from key 2 to 3
        // is never played.
        {{1, 1, 1, 1}, false, {1.5f, 0.6f}, 2, 0.1f, 1, true, 2.1f},
        {{1, 1, 1, 1}, true, {2.25f}, 0, 0.25f, 1, false, 0.25f},
        {{1, 1, 1, 1}, true, {1.0f, 1.0f, 1.0f, 1.0f, 1.25f}, 1, 0.25f, 2, false, 1.25f},
        // One long frame passes several segments and plays.
        {{1, 2, 1, 1, 1}, true, {9.5f}, 1, 0.5f, 2, false, 1.25f},
        // Keys without duration would loop for ever: once a whole play used
        // up no time the track rests at its first key.
        {{0, 0, 0, 0}, true, {0.5f}, 0, 0.0f, 2, false, 0.0f},
        {{-1, -1, -1}, true, {0.5f}, 0, 0.0f, 2, false, 0.0f},
        {{0, 0, 0, 0}, false, {0.5f}, 2, 0.5f, 1, true, 2.0f},
        // Too few keys to play: the track ends at once.
        {{1, 1}, true, {0.5f}, 0, 0.0f, 1, true, inf},
        {{}, false, {0.5f}, 0, 0.0f, 1, true, inf},
    };
    for (const TrackRun& run : runs) {
        TestSceneObject owner;
        CPPartAnimation track(&owner);
        std::vector<D3DXMATRIX> keys;
        for (std::size_t k = 0; k < run.durations.size(); ++k)
            keys.push_back(KeyAt(static_cast<float>(k)));
        track.SetKeys(keys, run.durations);
        track.loop = run.loop;
        track.Start();
        for (float frameTime : run.frameTimes) {
            g_FrameTime = frameTime;
            track.Update();
        }
        const std::string label = std::to_string(run.durations.size()) + " keys, loop " +
                                  std::to_string(run.loop) + ", " + std::to_string(run.frameTimes.size()) +
                                  " updates";
        EXPECT_EQ(track.keyIndex, run.keyIndex) << label;
        EXPECT_FLOAT_EQ(track.time, run.time) << label;
        EXPECT_EQ(owner.animationEnds, run.ends) << label;
        EXPECT_EQ(!track.running, run.stopped) << label;
        if (std::isinf(run.x)) {
            EXPECT_TRUE(owner.trackMatrices.empty()) << label;
        } else {
            ASSERT_FALSE(owner.trackMatrices.empty()) << label;
            EXPECT_FLOAT_EQ(owner.trackMatrices.back()._41, run.x) << label;
            EXPECT_EQ(owner.hierarchyUpdates, static_cast<int>(owner.trackMatrices.size())) << label;
        }
    }
    g_FrameTime = 0;
}

TEST(PartAnimation, BlendsEveryElementAndCopiesOnlyTheTrack) {
    TestSceneObject owner;
    CPPartAnimation track(&owner);
    D3DXMATRIX turned;
    D3DXMatrixRotationZ(&turned, 1.0f);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    track.SetKeys({identity, turned, identity}, {2, 2, 2});
    g_FrameTime = 0.5f;
    track.Update();
    ASSERT_EQ(owner.trackMatrices.size(), 1u);
    for (int k = 0; k < 16; ++k)
        EXPECT_FLOAT_EQ((&owner.trackMatrices[0]._11)[k],
                        (&identity._11)[k] + 0.25f * ((&turned._11)[k] - (&identity._11)[k]));
    EXPECT_EQ(track.priority, PRIORITY_DEFAULT);
    EXPECT_EQ(track.GetCategory(), TASK_LEVEL);

    track.loop = true;
    CPPartAnimation copy;
    copy.CopyFrom(track);
    EXPECT_EQ(copy.owner, nullptr);
    EXPECT_EQ(copy.time, 0.0f);
    EXPECT_EQ(copy.durations, track.durations);
    EXPECT_EQ(copy.keys.size(), 3u);
    EXPECT_TRUE(copy.loop);
    g_FrameTime = 0;
}

// The bytes of a track file: per track its name, then its keys as a
// duration and 12 floats column by column.
struct TrackFixture {
    std::string name;
    std::vector<float> durations;
};

std::string TrackFile(const std::vector<TrackFixture>& tracks) {
    std::string bytes;
    const auto put = [&bytes](const void* data, std::size_t size) {
        bytes.append(static_cast<const char*>(data), size);
    };
    const auto putInt = [&](int32_t value) { put(&value, 4); };
    const auto putFloat = [&](float value) { put(&value, 4); };
    putInt(static_cast<int32_t>(tracks.size()));
    for (const TrackFixture& track : tracks) {
        putInt(static_cast<int32_t>(track.name.size()));
        put(track.name.data(), track.name.size());
        putInt(static_cast<int32_t>(track.durations.size()));
        for (std::size_t k = 0; k < track.durations.size(); ++k) {
            putFloat(track.durations[k]);
            // m11 m21 m31 m41, m12 ... m42, m13 ... m43 of a translation by k along x.
            const float columns[12] = {1, 0, 0, static_cast<float>(k), 0, 1, 0, 0, 0, 0, 1, 0};
            put(columns, sizeof(columns));
        }
    }
    return bytes;
}

// Reads the file and takes its tracks out of the map.
std::map<std::string, std::unique_ptr<CPPartAnimation>> LoadTracks(const std::string& fileName) {
    StringHashMap<CPRefPtr<CPPartAnimation>> tracks(100);
    LoadAnimations(fileName, tracks);
    std::map<std::string, std::unique_ptr<CPPartAnimation>> owned;
    tracks.ForEach([&owned](const std::string& name, const CPRefPtr<CPPartAnimation>& track) {
        owned[name].reset(track.Get());
    });
    tracks.Clear();
    return owned;
}

TEST(PartAnimationFile, ReadsTracksByLowerCaseName) {
    TempGameRoot root;
    const std::string door = TrackFile({{"Door", {1, 1, 1, 1}}});
    EXPECT_EQ(door.size(), 224u);
    TempGameRoot::WriteFile("Data/Animations/door.anm", door);
    TempGameRoot::WriteFile("Data/Animations/twice.anm",
                            TrackFile({{"lid", {1, 1, 1}}, {"LID", {2, 2, 2, 2}}}));

    const auto doors = LoadTracks("door.anm");
    ASSERT_EQ(doors.size(), 1u);
    ASSERT_EQ(doors.count("door"), 1u);
    const CPPartAnimation& track = *doors.at("door");
    EXPECT_EQ(track.durations, (std::vector<float>{1, 1, 1, 1}));
    ASSERT_EQ(track.keys.size(), 4u);
    D3DXMATRIX expected;
    D3DXMatrixTranslation(&expected, 3, 0, 0);
    EXPECT_EQ(std::memcmp(&track.keys[3], &expected, sizeof(expected)), 0);
    EXPECT_EQ(track.owner, nullptr);

    // The later track of a name wins.
    const auto lids = LoadTracks("twice.anm");
    ASSERT_EQ(lids.size(), 1u);
    EXPECT_EQ(lids.at("lid")->durations.size(), 4u);
}

TEST(PartAnimationFile, BadFilesAddNoTracks) {
    TempGameRoot root;
    std::string huge = TrackFile({{"door", {1, 1, 1}}});
    const int32_t manyKeys = 1 << 28;
    std::memcpy(&huge[4 + 4 + 4], &manyKeys, 4);
    std::string negative = TrackFile({});
    const int32_t minusOne = -1;
    std::memcpy(&negative[0], &minusOne, 4);
    const std::string whole = TrackFile({{"hinge", {1, 1, 1}}, {"door", {1, 1, 1}}});
    const std::string files[][2] = {
        {"huge.anm", huge},
        {"negative.anm", negative},
        {"short.anm", whole.substr(0, whole.size() - 1)},
    };
    for (const auto& [name, bytes] : files) {
        TempGameRoot::WriteFile("Data/Animations/" + name, bytes);
        EXPECT_TRUE(LoadTracks(name).empty()) << name;
    }
    EXPECT_TRUE(LoadTracks("missing.anm").empty());
}

} // namespace
