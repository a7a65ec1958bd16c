#pragma once

#include "Core/Log.h"
#include "Input/NInput.h"
#include "Input/PageInputServices.h"
#include "Platform/Scripted/ScriptedInput.h"
#include "Script/PScriptManager.h"
#include "Support/TempGameRoot.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// A game folder with one script "main" that listens to every category the
// input task sends to, the scripted input devices, and one ordered log of
// the commands the script received and the page broadcasts, as
// "command param|param" and "broadcast args".
class InputFixture : public ::testing::Test {
protected:
    using Log = std::vector<std::string>;

    void SetUp() override {
        GetLog().SetSink([this](std::string_view text) { logText += text; });
        TempGameRoot::WriteFile("Data/Scripts/list.dat", "main t_system main action_listener interface\n");
        TempGameRoot::WriteFile("Data/Scripts/main.lua", "");
        scripts = std::make_unique<CPScriptManager>();
        ASSERT_TRUE(scripts->LoadScripts());
        ASSERT_TRUE(scripts->GetScript("main")->Start());
        PlatSetInputBackendKind(PlatInputBackendKind::Scripted);
        Devices().Reset();
        current = this;
        ConnectPages();
    }
    void TearDown() override {
        input.reset();
        scripts.reset();
        g_PageInputServices = {};
        PlatSetInputBackendKind(PlatInputBackendKind::Sdl);
        Devices().Reset();
        GetLog().SetSink({});
        current = nullptr;
    }

    static PlatScriptedInput& Devices() { return PlatGetScriptedInput(); }

    // Writes Actions.cfg and starts a fresh input task on it.
    void StartInput(const std::string& actions) {
        TempGameRoot::WriteFile("Actions.cfg", actions);
        input.reset();
        input = std::make_unique<CNInput>();
        ASSERT_TRUE(input->Start());
    }

    // One pass of the task; the log of what it sent.
    Log Pass() {
        log.clear();
        input->Update();
        TakeCommands();
        return log;
    }

    // Moves the commands the script received so far into the log.
    void TakeCommands() {
        CPLuaScript& script = *scripts->GetScript("main");
        while (script.SetNextCommand()) {
            const ScriptCommand& command = *script.GetCurrentCommand();
            std::string entry = command.name;
            for (std::size_t i = 0; i < command.params.size(); ++i)
                entry += (i == 0 ? " " : "|") + command.params[i];
            log.push_back(entry);
        }
    }

    static void Broadcast(const std::string& entry) {
        current->TakeCommands();
        current->log.push_back(entry);
    }
    static std::string Point(float x, float y) { return FormatNumber(x) + " " + FormatNumber(y); }
    static std::string FormatNumber(float value) {
        std::string text = std::to_string(value);
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.')
            text.pop_back();
        return text;
    }
    static void ConnectPages() {
        PageInputServices& pages = g_PageInputServices;
        pages.mouseDown = [](int b, float x, float y) {
            Broadcast("mouseDown " + std::to_string(b) + " " + Point(x, y));
        };
        pages.mouseUp = [](int b, float x, float y) {
            Broadcast("mouseUp " + std::to_string(b) + " " + Point(x, y));
        };
        pages.mouseMove = [](float x, float y) { Broadcast("mouseMove " + Point(x, y)); };
        pages.enterPress = [] { Broadcast("enterPress"); };
        pages.enterRelease = [] { Broadcast("enterRelease"); };
        pages.keyUp = [] { Broadcast("keyUp"); };
        pages.keyDown = [] { Broadcast("keyDown"); };
        pages.keyLeft = [] { Broadcast("keyLeft"); };
        pages.keyRight = [] { Broadcast("keyRight"); };
    }

    TempGameRoot root;
    std::unique_ptr<CPScriptManager> scripts;
    std::unique_ptr<CNInput> input;
    Log log;
    std::string logText;
    static inline InputFixture* current = nullptr;
};
