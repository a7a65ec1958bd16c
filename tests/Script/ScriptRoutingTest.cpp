#include "ScriptFixture.h"

namespace {

using Texts = std::vector<std::string>;

class ScriptRoutingTest : public ScriptFixture {};

TEST_F(ScriptRoutingTest, TheListNamesTypesAndCategoriesScripts) {
    for (const char* name : {"a", "b", "c", "d"})
        WriteScript(name, "");
    EXPECT_FALSE(Load("// comment line\n"
                      "A t_system main  action_listener\n"
                      "b T_SYSTEM\n"
                      "c t_interface interface interface\n"
                      "missing t_level\n"
                      "d t_level\n"));
    EXPECT_TRUE(log.find("Script missing could not be read") != std::string::npos) << log;
    EXPECT_EQ(Script("a").GetCategory(), TASK_SYSTEM);
    EXPECT_EQ(Script("a").GetClassName(), "CPLuaScript-a");
    EXPECT_EQ(Script("b").GetCategory(), 0);
    EXPECT_EQ(Script("c").GetCategory(), TASK_INTERFACE);
    EXPECT_FALSE(manager->GetScript("A"));
    EXPECT_FALSE(manager->GetScript("d")) << "lines after a missing script are not loaded";

    for (const char* name : {"a", "b", "c"})
        Script(name).Start();
    manager->SendCommandByCategory("interface", "twice", "");
    manager->SendCommandByCategory("action_listener", "after empty field", "");
    manager->SendCommandByCategory("", "empty category", "");
    EXPECT_EQ(Drain(Script("c")), (Texts{"twice", "twice"}));
    EXPECT_EQ(Drain(Script("a")), (Texts{"after empty field", "empty category"}));
    EXPECT_TRUE(Drain(Script("b")).empty());

    EXPECT_FALSE(Load("absent t_system\n"));
    EXPECT_FALSE(manager->GetScript("absent"));
    std::filesystem::remove("Data/Scripts/list.dat");
    CPScriptManager noList;
    EXPECT_FALSE(noList.LoadScripts());
}

TEST_F(ScriptRoutingTest, ANameListedAgainKeepsTheFirstLine) {
    WriteScript("a", "");
    std::string list = "a t_system first\n";
    for (int i = 0; i < 200; ++i)
        list += "a t_level again\n";
    ASSERT_TRUE(Load(list));
    EXPECT_EQ(Script("a").GetCategory(), TASK_SYSTEM);
    EXPECT_NE(log.find("names the script a again"), std::string::npos) << log;
    Script("a").Start();
    manager->SendCommandByCategory("again", "late", "");
    manager->SendCommandByCategory("first", "early", "");
    EXPECT_EQ(Drain(Script("a")), Texts{"early"});
}

TEST_F(ScriptRoutingTest, CommandsReachRunningScriptsOnlyOldestFirst) {
    for (const char* name : {"first", "second", "idle"})
        WriteScript(name, "");
    ASSERT_TRUE(
        Load("first t_level level ui\nsecond t_level level\nidle t_level level\nsecond t_level ui\n"));
    CPLuaScript& first = Script("first");
    CPLuaScript& secondByName = Script("second");
    first.Start();
    secondByName.Start();
    Texts heard;
    manager->SetCommandObserver(
        [&](const std::string& target, const std::string& command, const std::string& params, bool queued) {
            heard.push_back(target + " " + command + " " + params + (queued ? "" : " dropped"));
        });

    manager->SendCommandByName("first", "A", "1");
    manager->SendCommandByName("First", "lost", "");
    manager->SendCommandByName("nobody", "lost", "");
    manager->SendCommandByCategory("level", "B", "x,,y");
    manager->SendCommandByCategory("nothing", "lost", "");
    manager->SendCommandByObject(&first, "C", "\"p,q\"");
    manager->SendCommandByObject(nullptr, "lost", "");
    manager->SendCommandByCategory("ui", "D", "");

    EXPECT_EQ(Drain(first), (Texts{"A|1", "B|x||y", "C|p,q", "D"}));
    EXPECT_EQ(Drain(secondByName), (Texts{"B|x||y"})) << "the first line holds; the repeated one is skipped";
    EXPECT_EQ(Script("idle").GetQueueLength(), 0u);
    // The observer hears each delivery and each command nobody could take.
    EXPECT_EQ(heard, (Texts{"first A 1", "First lost  dropped", "nobody lost  dropped", "first B x,,y",
                            "second B x,,y", "idle B x,,y dropped", "category:nothing lost  dropped",
                            "first C \"p,q\"", "first D "}));

    // "second" is in "level" once.
    first.Stop();
    manager->SendCommandByCategory("level", "E", "");
    EXPECT_EQ(first.GetQueueLength(), 0u);
    EXPECT_EQ(Drain(secondByName), (Texts{"E"}));
    Script("idle").Start();
    manager->SendCommandByCategory("level", "F", "");
    EXPECT_EQ(Drain(Script("idle")), (Texts{"F"}));
}

TEST_F(ScriptRoutingTest, TheCurrentCommandStaysUntilTheNext) {
    WriteScript("s", "");
    ASSERT_TRUE(Load("s t_system\n"));
    CPLuaScript& script = Script("s");
    EXPECT_FALSE(script.SetNextCommand());
    EXPECT_EQ(script.GetCurrentCommand(), nullptr);
    script.Start();
    manager->SendCommandByName("s", "A", "");
    manager->SendCommandByName("s", "B", "");
    EXPECT_TRUE(script.SetNextCommand());
    EXPECT_EQ(script.GetCurrentCommand()->name, "A");
    EXPECT_EQ(script.GetQueueLength(), 2u);
    manager->SendCommandByName("s", "C", "");
    EXPECT_EQ(script.GetCurrentCommand()->name, "A");
    EXPECT_TRUE(script.SetNextCommand());
    EXPECT_EQ(script.GetCurrentCommand()->name, "B");
    EXPECT_TRUE(script.SetNextCommand());
    EXPECT_EQ(script.GetCurrentCommand()->name, "C");
    EXPECT_FALSE(script.SetNextCommand());
    EXPECT_EQ(script.GetCurrentCommand(), nullptr);
    EXPECT_EQ(script.GetQueueLength(), 0u);
}

// A script reads its commands with the script functions and echoes them,
// parameters and all, to a recorder.
TEST_F(ScriptRoutingTest, AScriptReadsItsCommandsInOrder) {
    WriteScript("rec", "");
    WriteScript("echo", R"(
while true do
    while SetNextCommand(globalObject) do
        local command = GetCurrentCommand(globalObject)
        local params = table.concat({GetCurrentParams(globalObject)}, "|")
        SendCommandByName("rec", command, params)
        if command == "self" then SendCommandByObject(globalObject, "from self", "") end
    end
    SendCommandByName("rec", "frame", "")
    Update()
end)");
    ASSERT_TRUE(Load("rec t_system\necho t_interface\n"));
    Script("rec").Start();
    CPLuaScript& echo = Script("echo");
    manager->SendCommandByName("echo", "before start", "");
    echo.Start();
    manager->SendCommandByName("echo", "A", "1,2");
    manager->SendCommandByName("echo", "self", "");
    manager->SendCommandByName("echo", "C", "");
    Turn(echo);
    Turn(echo);
    EXPECT_EQ(Drain(Script("rec")), (Texts{"A|1|2", "self", "C", "from self", "frame", "frame"}))
        << "a command to itself waits behind those already queued";
    EXPECT_EQ(log, "");
}

TEST_F(ScriptRoutingTest, ShutDownQueuesReleaseAllForEveryScript) {
    WriteScript("s", "");
    ASSERT_TRUE(Load("s t_system\n"));
    CPLuaScript& script = Script("s");
    EXPECT_EQ(g_ScriptManager, manager.get());
    script.SendReleaseAll();
    EXPECT_EQ(Drain(script), (Texts{"release_all"})) << "whether running or not";
    manager.reset();
    EXPECT_EQ(g_ScriptManager, nullptr);
}

TEST(ScriptCommand, SplitsParameters) {
    const std::vector<std::pair<std::string, Texts>> cases = {
        {"", {}},
        {"a", {"a"}},
        {"a,", {"a"}},
        {"a,,b", {"a", "", "b"}},
        {" a , b ", {"a", "b"}},
        {"\"x,y\",z", {"x,y", "z"}},
        {"\"a\"\"b\"", {"a\"b"}},
        {"timeout!,1", {"timeout!", "1"}},
        {",", {""}},
        {"1.50,-2.00", {"1.50", "-2.00"}},
    };
    for (const auto& [text, params] : cases) {
        const ScriptCommand command("word", text);
        EXPECT_EQ(command.name, "word");
        EXPECT_EQ(command.params, params) << "\"" << text << "\"";
    }
}

} // namespace
