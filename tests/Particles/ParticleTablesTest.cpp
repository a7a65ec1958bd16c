#include "ParticleTestSupport.h"
#include "Support/TempGameRoot.h"

#include "Core/Log.h"
#include "Platform/Random.h"

namespace {

struct Tables {
    std::string particles = "spark spark.tga particle_add.fx 1 1 1 0 0\n"
                            "duo duo.tga particle.fx 1 2 1 0 0\n"
                            "tall tall.tga particle.fx 0 3 1 0 0\n"
                            "keyed k.tga particle.fx 1 1 1 0 0 1:1:0:0\n"
                            "both b.tga particle.fx 1 1 1 0 0\n";
    std::string spots = "both skid.tga spot.fx 1 1 1 0 0\n";
    std::string systems = "up spark 1 0.5 0 1 2 0 0 0 1 0 0 0 0 0 0\n"
                          "down spark 1 0.5 0 1 2 0 0 0 -1 0 0 0 0 0 0\n"
                          "up spark 4 0.5 0 1 2 0 0 0 1 0 0 0 0 0 0\n";
    std::string flames = "\"up,nothing\";0.25;3;7\n"
                         "nothing;0.5;0;0\n";

    void Write(bool withSpots = true) const {
        TempGameRoot::WriteFile("Data/particles.dat", particles);
        if (withSpots)
            TempGameRoot::WriteFile("Data/spots.dat", spots);
        TempGameRoot::WriteFile("Data/particlesystems.dat", systems);
        TempGameRoot::WriteFile("Data/flames.dat", flames);
    }
};

class ParticleTablesTest : public ParticleTest {
protected:
    TempGameRoot root;
};

TEST_F(ParticleTablesTest, SheetsKeysAndSpotsOfTheTypeTables) {
    Tables().Write();
    ASSERT_TRUE(manager.Start());
    struct SheetCase {
        const char* name;
        bool hasSheet;
        int columns, rows;
        std::vector<float> frameV;
    };
    const SheetCase cases[] = {
        {"spark", false, 1, 1, {}},
        {"duo", true, 1, 2, {0.0f, 0.5f}},
        {"tall", true, 1, 3, {0.0f, 1.0f / 3, 2.0f / 3}},
    };
    for (const SheetCase& c : cases) {
        SCOPED_TRACE(c.name);
        const CPParticleRenderObject& type = *manager.particleTypes.Find(c.name)->get();
        EXPECT_EQ(type.hasSheet, c.hasSheet);
        EXPECT_EQ(type.sheetColumns, c.columns);
        EXPECT_EQ(type.sheetRows, c.rows);
        EXPECT_EQ(type.frameCount, c.columns * c.rows);
        EXPECT_EQ(type.frameV, c.frameV);
        EXPECT_FLOAT_EQ(type.frameHeight, 1.0f / static_cast<float>(c.rows));
    }
    const CPParticleRenderObject& keyed = *manager.particleTypes.Find("keyed")->get();
    ASSERT_TRUE(keyed.hasKeys);
    ASSERT_EQ(keyed.keys.size(), 1u);
    EXPECT_EQ(keyed.keys[0].alpha, 1.0f);
    EXPECT_EQ(keyed.keys[0].red, 1.0f);
    EXPECT_EQ(keyed.keys[0].size, 0.0f);
    EXPECT_NE(dynamic_cast<CPSpotRenderObject*>(manager.particleTypes.Find("both")->get()), nullptr);
    EXPECT_EQ(dynamic_cast<CPSpotRenderObject*>(manager.particleTypes.Find("spark")->get()), nullptr);
}

TEST_F(ParticleTablesTest, DefinitionsAndFlames) {
    Tables().Write();
    ASSERT_TRUE(manager.Start());
    // The later of two lines of one name holds.
    EXPECT_EQ(manager.systemDefs.Find("up")->lifetime, 4.0f);
    EXPECT_EQ(manager.systemDefs.Find("down")->direction, D3DXVECTOR3(0, 0, -1));
    ASSERT_EQ(manager.flames.size(), 2u);
    const CPParticleSystem& flame = *manager.flames[0];
    EXPECT_EQ(flame.systemNames, (std::vector<std::string>{"up", "nothing"}));
    ASSERT_EQ(flame.definitions.size(), 1u);
    EXPECT_EQ(flame.definitions[0].lifetime, 4.0f);
    EXPECT_EQ(flame.interval, 0.25f);
    EXPECT_EQ(flame.duration, 3.0f);
    EXPECT_EQ(flame.damage, 7.0f);
    EXPECT_TRUE(manager.flames[1]->definitions.empty());

    const std::unique_ptr<CPParticleSystem> clone(manager.CloneFlame(0).Get());
    ASSERT_TRUE(clone);
    EXPECT_EQ(clone->interval, 0.25f);
    EXPECT_EQ(clone->duration, 3.0f);
    EXPECT_EQ(clone->damage, 7.0f);
    EXPECT_EQ(clone->definitions.size(), 1u);
    for (int index : {-1, 2, 1000})
        EXPECT_FALSE(manager.CloneFlame(index)) << index;
}

TEST_F(ParticleTablesTest, AnUnreadableTableStopsTheStartBeforeTheLaterOnes) {
    Tables().Write(false);
    EXPECT_FALSE(manager.Start());
    EXPECT_TRUE(manager.particleTypes.Find("spark"));
    EXPECT_EQ(manager.systemDefs.Size(), 0u);
    EXPECT_TRUE(manager.flames.empty());
    EXPECT_FALSE(manager.running);
}

// Each table names the file and line of a number that is not finite.
TEST_F(ParticleTablesTest, NumbersThatAreNotFiniteAreLoggedWithFileAndLine) {
    Tables tables;
    tables.particles += "bad b.tga particle.fx 1 1 1 0 0 1:nan:0:0\n";
    tables.spots = "// spots\nboth skid.tga spot.fx 1 1 1 0 0 inf:1\n";
    tables.systems += "bad spark 1 -inf 0 1 2 0 0 0 1 0 0 0 0 0 0\n";
    tables.flames = "up;0.25;NaN;7\n";
    tables.Write();
    std::string log;
    GetLog().SetSink([&log](std::string_view text) { log += text; });
    ASSERT_TRUE(manager.Start());
    GetLog().SetSink({});
    for (const char* line : {"Data\\particles.dat line 6: \"nan\" is not a finite number",
                             "Data\\spots.dat line 2: \"inf\" is not a finite number",
                             "Data\\particlesystems.dat line 4: \"-inf\" is not a finite number",
                             "Data\\flames.dat line 1: \"NaN\" is not a finite number"})
        EXPECT_NE(log.find(line), std::string::npos) << line << "\n" << log;
    EXPECT_EQ(manager.systemDefs.Find("bad")->size, 0.0f);
    EXPECT_EQ(manager.flames.front()->duration, 0.0f);
}

TEST_F(ParticleTablesTest, HostileTablesNeitherCrashNorDrawNaN) {
    Tables tables;
    tables.particles = "nan n.tga p.fx nan -5 2147483647 x 2147483647 nan:inf:-inf:1e39:nan,1:1\n"
                       "huge h.tga p.fx 100000000 100000000 0 0 0\n"
                       "neg g.tga p.fx -3 -2147483647 0 0 -2147483647\n";
    tables.systems = "wild nan nan inf 1e39 1 -inf 1 nan nan nan inf -inf nan 1e39 -1e39 nan\n"
                     "cone neg 1 1 1 1 1e30 -1 0 0 0 0 0 0 0 0 0\n"
                     "\"quoted\"\"\n";
    tables.flames = "wild,cone;nan;nan;nan\n\"\n;;;\n";
    PlatSRand(7);
    std::string noise;
    for (int i = 0; i < 4096; ++i)
        noise.push_back(static_cast<char>(PlatRand() & 0xFF));
    tables.spots = noise;
    tables.Write();
    ASSERT_TRUE(manager.Start());
    EXPECT_LE(manager.particleTypes.Find("huge")->get()->frameCount, 256 * 256);

    for (const char* type : {"nan", "huge", "neg"}) {
        ParticleDesc desc = Desc(type, 1);
        desc.size = 1;
        manager.Spawn(desc);
    }
    CPParticleSystem emitter(nullptr, {"wild", "cone"});
    emitter.SetInterval(0.01f);
    emitter.Start();
    g_FrameTime = 0.05f;
    for (int frame = 0; frame < 30; ++frame) {
        emitter.Update();
        manager.Update();
    }
    for (const auto& live : manager.liveObjects) {
        for (const MeshVertex& v : FillObject(*live).vertices)
            ASSERT_TRUE(VertexIsFinite(v));
    }
    for (const auto& flame : manager.flames)
        flame->Update(); // an interval read as 0 never emits, and returns
}

} // namespace
