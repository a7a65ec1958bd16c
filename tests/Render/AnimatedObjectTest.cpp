#include "Core/ObjectHandle.h"
#include "Core/PGlobalTimer.h"
#include "Render/PAnimatedObject.h"
#include "RenderTestScene.h"
#include "Support/TestScripts.h"
#include "meshtool/MeshWriter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Ten quads of 0.1 s each; frame k stands at height k.
CPRefPtr<CPAnimation> TenFrames(CPAnimation& animation) {
    MeshFileNode node;
    node.frameTime = 240;
    for (int k = 0; k < 10; ++k) {
        MeshFrame frame;
        MakeQuad(frame.vertices, frame.indices);
        for (MeshVertex& vertex : frame.vertices)
            vertex.z = static_cast<float>(k);
        node.frames.push_back(frame);
    }
    animation.Load(node, 0xffffffff);
    return &animation;
}

class AnimatedObjectTest : public testing::Test {
protected:
    AnimatedObjectTest() {
        object.AddAnimation("wave", TenFrames(animation));
        target.Start();
    }
    ~AnimatedObjectTest() override { g_GameTime = 0; }

    // The commands the target script received since the last call, by name;
    // each must carry the target's handle.
    std::vector<std::string> NewCommands() {
        const std::vector<std::string>& received = scripts.Received(target);
        const std::string handle = "(" + PointerToString(&target) + ")";
        std::vector<std::string> names;
        for (; seen < received.size(); ++seen) {
            const std::string& command = received[seen];
            EXPECT_TRUE(command.ends_with(handle)) << command;
            names.push_back(command.substr(0, command.find('(')));
        }
        return names;
    }

    // Fills at the time and answers the height of the written frame (-1:
    // nothing written).
    float FrameAt(double time) {
        g_GameTime = time;
        const int vertexCount = object.GetVertexCount();
        const int indexCount = object.GetIndexCount();
        std::vector<MeshVertex> vertices(4);
        std::vector<uint16_t> indices(6);
        object.Fill(vertices.data(), indices.data(), 0, 0);
        if (vertexCount == 0)
            return -1;
        EXPECT_EQ(vertexCount, 4);
        EXPECT_EQ(indexCount, 6);
        return vertices[0].z;
    }

    // Everything the object refers to outlives it.
    CPAnimation animation{"wave&flags"};
    CPAnimation still{"still&flags"};
    TestSceneObject owner;
    TestScripts scripts{{"target"}};
    CPLuaScript& target = scripts["target"];
    std::size_t seen = 0;
    CPAnimatedObject object{&owner};
};

TEST_F(AnimatedObjectTest, PlaysAgainstTheGameClock) {
    struct Step {
        double time;
        float frame;
        int playCount;
    };
    struct Play {
        int limit;
        int reportFrame;
        float speed;
        std::vector<Step> steps;
        std::vector<std::string> commands;
        bool stopped;
    };
    const Play plays[] = {
        {0, -1, 1, {{0.0, 0, 0}, {0.95, 9, 0}, {1.02, 0, 1}, {1.95, 9, 1}, {2.05, 0, 2}}, {}, false},
        // The first wrap stops the play at the frame before the last, for
        // ever.
        {1, -1, 1, {{0.95, 9, 0}, {1.02, 8, 1}, {1.55, 8, 1}, {7.0, 8, 1}}, {"animation_stopped"}, true},
        // One report per play, in the first frame at or past 5 (frames
        // skipped or not).
        {0,
         5,
         1,
         {{0.35, 3, 0}, {0.72, 7, 0}, {0.8, 8, 0}, {1.05, 0, 1}, {1.55, 5, 1}},
         {"animation_report", "animation_report"},
         false},
        // The report of the stopping frame goes out with the stop.
        {1,
         0,
         1,
         {{0.5, 5, 0}, {1.02, 8, 1}},
         {"animation_report", "animation_stopped", "animation_report"},
         true},
        {0, -1, 2, {{0.45, 9, 0}, {0.55, 1, 1}}, {}, false},
    };
    for (const Play& play : plays) {
        SCOPED_TRACE("limit " + std::to_string(play.limit) + " report " + std::to_string(play.reportFrame));
        NewCommands();
        g_GameTime = 0;
        ASSERT_TRUE(
            object.StartAnimation("wave", 0, play.limit, play.reportFrame, play.speed, &target, true));
        for (const Step& step : play.steps) {
            EXPECT_EQ(FrameAt(step.time), step.frame) << step.time;
            EXPECT_EQ(object.playCount, step.playCount) << step.time;
        }
        EXPECT_EQ(NewCommands(), play.commands);
        EXPECT_EQ(object.stopped, play.stopped);
        EXPECT_EQ(object.animationName.empty(), play.stopped);
        EXPECT_EQ(owner.controllerAnimationEnds, play.stopped ? 1 : 0);
        owner.controllerAnimationEnds = 0;
    }
}

TEST_F(AnimatedObjectTest, StartingAndCopying) {
    EXPECT_FALSE(object.StartAnimation("missing", 0, 0, -1, 1, &target, true));
    ASSERT_TRUE(object.StartAnimation("wave", 0, 0, -1, 1, &target, false));
    EXPECT_FALSE(object.StartAnimation("wave", 5, 0, -1, 1, &target, false)) << "already playing";
    EXPECT_EQ(FrameAt(0.55), 5);

    CPAnimatedObject copy;
    copy.CopyFrom(&object);
    EXPECT_EQ(copy.owner, nullptr);
    EXPECT_EQ(copy.current.Get(), &animation);
    g_GameTime = 0.75;
    std::vector<MeshVertex> vertices(4);
    std::vector<uint16_t> indices(6);
    copy.Fill(vertices.data(), indices.data(), 0, 0);
    EXPECT_EQ(vertices[0].z, 7.0f);

    // A one-frame animation never wraps.
    MeshFileNode node;
    node.frameTime = 240;
    node.frames.resize(1);
    MakeQuad(node.frames[0].vertices, node.frames[0].indices);
    still.Load(node, 0);
    object.AddAnimation("still", &still);
    ASSERT_TRUE(object.StartAnimation("still", 0, 1, -1, 1, &target, true));
    for (double time : {0.05, 0.5, 3.0})
        EXPECT_EQ(FrameAt(time), 0);
    EXPECT_FALSE(object.stopped);
    EXPECT_TRUE(NewCommands().empty());
}

TEST_F(AnimatedObjectTest, WritesInWorldSpaceAndKeepsTheWindingWhenMirrored) {
    ASSERT_TRUE(object.StartAnimation("wave", 0, 0, -1, 1, &target, true));
    for (bool mirrored : {false, true}) {
        D3DXMatrixScaling(&owner.world, mirrored ? -1.0f : 1.0f, 1, 1);
        owner.world._42 = 10;
        g_GameTime = 0.25;
        std::vector<MeshVertex> vertices(4);
        std::vector<uint16_t> indices(6);
        object.Fill(vertices.data(), indices.data(), 100, 0);
        EXPECT_EQ(vertices[1].x, mirrored ? -1.0f : 1.0f);
        EXPECT_EQ(vertices[1].y, 10.0f);
        EXPECT_EQ(vertices[1].z, 2.0f);
        const std::vector<uint16_t> expected = mirrored ? std::vector<uint16_t>{100, 101, 102, 100, 102, 103}
                                                        : std::vector<uint16_t>{100, 102, 101, 100, 103, 102};
        EXPECT_EQ(indices, expected);
    }
}

TEST(AnimatedObject, WithoutAnAnimationDrawsNothing) {
    CPAnimatedObject object;
    EXPECT_EQ(object.GetVertexCount(), 0);
    EXPECT_EQ(object.GetIndexCount(), 0);
    object.Fill(nullptr, nullptr, 0, 0);
    EXPECT_FALSE(object.IsStatic());
}

} // namespace
