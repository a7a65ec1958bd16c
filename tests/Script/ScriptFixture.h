#pragma once

#include "Core/Log.h"
#include "Script/Functions/ScriptFunctionTables.h"
#include "Script/PScriptManager.h"
#include "Support/TempGameRoot.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// A game folder with a script list and scripts written by the test, a
// script manager over it and the log captured.
class ScriptFixture : public ::testing::Test {
protected:
    void SetUp() override {
        AddScriptFunctionTables();
        GetLog().SetSink([this](std::string_view text) { log += text; });
    }
    void TearDown() override {
        manager.reset();
        GetLog().SetSink({});
    }

    // The demo crate and the model of missing descriptions, as the build made
    // them, into the game folder.
    static void CopyDemoModels() {
        for (const char* file :
             {"Meshes/crate.rdf", "Meshes/crate.msh", "Meshes/wrong.rdf", "Textures/crate.tga",
              "Meshes/buggy.rdf", "Meshes/buggy.p3d", "Descriptions/buggy.xml", "Textures/buggy.tga",
              "Meshes/torch.rdf", "Meshes/torch.msh", "Textures/torch.tga", "Textures/spark.tga",
              "Meshes/backdrop.rdf", "Meshes/backdrop.msh", "Textures/back2.jpg", "Meshes/shadow.rdf",
              "Meshes/shadow.p3d", "Textures/shadow.tga"}) {
            const std::filesystem::path target = std::filesystem::path("Data") / file;
            std::filesystem::create_directories(target.parent_path());
            std::filesystem::copy_file(std::filesystem::path(KV_BUILD_DATA) / file, target,
                                       std::filesystem::copy_options::overwrite_existing);
        }
    }
    static void WriteScript(const std::string& name, const std::string& source) {
        TempGameRoot::WriteFile("Data/Scripts/" + name + ".lua", source);
    }
    // Writes the list and loads it into a fresh manager.
    bool Load(const std::string& list) {
        TempGameRoot::WriteFile("Data/Scripts/list.dat", list);
        manager.reset();
        manager = std::make_unique<CPScriptManager>();
        return manager->LoadScripts();
    }
    // Loads a list of one running script of that name that only yields, so
    // that the commands sent to it queue up for Drain.
    void LoadCommandSink(const std::string& name) {
        WriteScript(name, "while true do Update() end");
        ASSERT_TRUE(Load(name + " t_interface interface\n"));
        Script(name).Start();
    }
    CPLuaScript& Script(const std::string& name) {
        CPLuaScript* script = manager->GetScript(name).Get();
        EXPECT_NE(script, nullptr) << name;
        return *script;
    }

    // One kernel turn of the script: a script whose kill flag is set is
    // stopped instead of run.
    static void Turn(CPLuaScript& script) {
        if (script.killFlag)
            script.Stop();
        else
            script.Update();
    }

    // Reads the script's queue the way a script does, oldest first; each
    // command as its name and parameters joined by "|".
    static std::vector<std::string> Drain(CPLuaScript& script) {
        std::vector<std::string> read;
        while (script.SetNextCommand()) {
            const ScriptCommand* command = script.GetCurrentCommand();
            std::string text = command->name;
            for (const std::string& param : command->params)
                text += "|" + param;
            read.push_back(text);
        }
        return read;
    }

    TempGameRoot root;
    std::unique_ptr<CPScriptManager> manager;
    std::string log;
};
