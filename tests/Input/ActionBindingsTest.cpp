#include "Input/FieldQuoting.h"
#include "InputFixture.h"

#include <random>

namespace {

using ActionBindingsTest = InputFixture;

constexpr const char* kFixture = "// the player's controls\n"
                                 "fire;Fire;Space;false\n"
                                 "x;X;3;true\n"
                                 "big;Big;200;true\n"
                                 "neg;Neg;-1;true\n"
                                 "open;Open menu;Enter;false\n"
                                 "select;Select;Enter;false\n"
                                 "dup;First;W;false\n"
                                 "dup;Second;S;false\n"
                                 "lower;Lower;space;false\n"
                                 "semi;\"Label; with semicolon\";Q;false\n";

int BoundKeys(const CNInput& input) {
    return static_cast<int>(std::count_if(input.keyBindings.begin(), input.keyBindings.end(),
                                          [](const ActionBinding& b) { return b.bound; }));
}

TEST_F(ActionBindingsTest, LoadingFillsTheThreeTables) {
    StartInput(kFixture);
    const ActionBinding& fire = *input->actionMap.Find("fire");
    EXPECT_EQ(fire.code, 57);
    EXPECT_EQ(fire.keyName, "Space");
    EXPECT_EQ(fire.text, "Fire");
    EXPECT_EQ(input->keyBindings[57].text, "fire");
    // Enter carries the later action; Space, Enter, W, S and Q are bound.
    EXPECT_EQ(input->keyBindings[28].text, "select");
    EXPECT_EQ(BoundKeys(*input), 5);
    EXPECT_EQ(input->keyBindings[17].text, "dup");
    EXPECT_EQ(input->keyBindings[31].text, "dup");
    EXPECT_EQ(input->actionMap.Find("dup")->text, "Second");
    EXPECT_EQ(input->actionNames, (std::vector<std::string>{"fire", "x", "big", "neg", "open", "select",
                                                            "dup", "dup", "lower", "semi"}));
    // Numeric codes: only 0 to 127 have a record; the map keeps each modulo 256.
    EXPECT_TRUE(input->codeBindings[3].bound);
    EXPECT_EQ(input->codeBindings[3].text, "x");
    EXPECT_TRUE(input->codeBindings[3].keyName.empty());
    EXPECT_EQ(std::count_if(input->codeBindings.begin(), input->codeBindings.end(),
                            [](const ActionBinding& b) { return b.bound; }),
              1);
    EXPECT_EQ(input->actionMap.Find("x")->code, 3);
    EXPECT_EQ(input->actionMap.Find("big")->code, 200);
    EXPECT_EQ(input->actionMap.Find("neg")->code, 255);
    // A name that is no key binds nothing and keeps code 0.
    EXPECT_EQ(input->actionMap.Find("lower")->code, 0);
    EXPECT_EQ(input->actionMap.Find("semi")->text, "Label; with semicolon");

    // Numeric bindings and unknown names drive nothing.
    Devices().SetKey(4, true);
    EXPECT_EQ(Pass(), Log{});
    Devices().SetKey(57, true);
    Devices().SetKey(28, true);
    EXPECT_EQ(Pass(),
              (Log{"key_action select|1", "standart_action enter|1", "enterPress", "key_action fire|1"}));
}

TEST_F(ActionBindingsTest, WritingFollowsTheNamesWithTheMapRecords) {
    StartInput(kFixture);
    EXPECT_EQ(input->FormatActions(), "fire;Fire;Space;false\r\n"
                                      "x;X;3;true\r\n"
                                      "big;Big;200;true\r\n"
                                      "neg;Neg;255;true\r\n"
                                      "open;Open menu;Enter;false\r\n"
                                      "select;Select;Enter;false\r\n"
                                      "dup;Second;S;false\r\n"
                                      "dup;Second;S;false\r\n"
                                      "lower;Lower;space;false\r\n"
                                      "semi;\"Label; with semicolon\";Q;false\r\n");
}

TEST_F(ActionBindingsTest, FilesInTheWrittenFormReadBackByteForByte) {
    const std::string written = "semicolon;\"Semi; colon\";\";\";false\r\n"
                                "quote;\"Say \"\"hi\"\"\";\"\"\"\";false\r\n"
                                "alpha;Alpha;NumPad Enter;false\r\n"
                                "n;N;7;true\r\n"
                                "empty;;;false\r\n";
    StartInput(written);
    EXPECT_EQ(input->actionMap.Find("semicolon")->code, 39);
    EXPECT_EQ(input->actionMap.Find("quote")->text, "Say \"hi\"");
    EXPECT_EQ(input->FormatActions(), written);
    ASSERT_EQ(input->SaveActions("Actions.cfg"), S_OK);
    EXPECT_EQ(TempGameRoot::ReadFile("Actions.cfg"), written);
}

TEST_F(ActionBindingsTest, FailedLoadKeepsEveryTable) {
    StartInput(kFixture);
    EXPECT_LT(input->LoadActions("missing.cfg"), 0);
    EXPECT_EQ(input->actionNames.size(), 10u);
    EXPECT_EQ(input->keyBindings[57].text, "fire");
    // Reloading rebuilds the key table but leaves numeric records.
    TempGameRoot::WriteFile("other.cfg", "jump;Jump;J;false\n");
    EXPECT_EQ(input->LoadActions("other.cfg"), 0);
    EXPECT_EQ(BoundKeys(*input), 1);
    EXPECT_TRUE(input->codeBindings[3].bound);
    EXPECT_EQ(input->actionNames, std::vector<std::string>{"jump"});
}

// Loading such a file and saving afterwards would replace the player's
// bindings with nothing.
TEST_F(ActionBindingsTest, AFileThatBindsNoKeyIsRefusedAndTheBindingsKept) {
    const std::pair<const char*, const char*> cases[] = {
        {"empty", ""},
        {"prose", "These are not the bindings you are looking for.\n"},
        {"no key name", "fire;Fire;Spacebar;false\n"},
        {"codes out of range", "n;N;128;true\nm;M;-1;true\n"},
        {"comments only", "// keys\n/* none */\n"},
    };
    StartInput(kFixture);
    const std::string before = input->FormatActions();
    for (const auto& [name, text] : cases) {
        TempGameRoot::WriteFile("other.cfg", text);
        logText.clear();
        EXPECT_EQ(input->LoadActions("other.cfg"), S_FALSE) << name;
        EXPECT_EQ(input->FormatActions(), before) << name;
        EXPECT_EQ(input->keyBindings[57].text, "fire") << name;
        EXPECT_FALSE(input->ActionsChanged()) << name;
        EXPECT_NE(logText.find("other.cfg holds no line that binds a key"), std::string::npos) << logText;
    }
    // One line that binds is enough.
    TempGameRoot::WriteFile("other.cfg", "prose\nn;N;127;true\n");
    EXPECT_EQ(input->LoadActions("other.cfg"), 0);
    EXPECT_EQ(input->actionNames, (std::vector<std::string>{"prose", "n"}));
}

TEST_F(ActionBindingsTest, AnEmptyBindingsFileStartsWithoutBindingsAndSaysSo) {
    StartInput("");
    EXPECT_NE(logText.find("Actions.cfg holds no line that binds a key"), std::string::npos) << logText;
    EXPECT_NE(logText.find("The game runs without key bindings"), std::string::npos) << logText;
    EXPECT_EQ(BoundKeys(*input), 0);
    EXPECT_FALSE(input->actionsLoaded);
}

TEST_F(ActionBindingsTest, SetActionMovesAKeyBetweenRecordsInMapOrder) {
    // "q" is written first, but "p" comes first in the map: it loses Space.
    StartInput("q;Q;Space;false\np;P;Space;false\nr;R;E;false\n");
    std::vector<std::string> order;
    input->actionMap.ForEach([&](const std::string& name, const ActionBinding&) { order.push_back(name); });
    ASSERT_EQ(order, (std::vector<std::string>{"p", "q", "r"}));

    input->SetAction("R", "Space", false);
    const ActionBinding& p = *input->actionMap.Find("p");
    EXPECT_EQ(p.keyName, "undefined key");
    EXPECT_EQ(p.code, 0);
    EXPECT_TRUE(p.bound);
    EXPECT_EQ(p.text, "P");
    EXPECT_EQ(input->actionMap.Find("q")->keyName, "Space");
    EXPECT_EQ(input->actionMap.Find("r")->keyName, "Space");
    EXPECT_EQ(input->actionMap.Find("r")->code, 57);
    // The keys keep their old actions until the file is read again.
    EXPECT_EQ(input->keyBindings[57].text, "p");
    EXPECT_EQ(input->keyBindings[18].text, "r");

    // A name that is no key still unbinds its holder but binds nothing.
    input->SetAction("Q", "Nope", false);
    EXPECT_EQ(input->actionMap.Find("q")->keyName, "Space");

    ASSERT_EQ(input->SaveActions("Actions.cfg"), S_OK);
    EXPECT_EQ(input->LoadActions("Actions.cfg"), 0);
    EXPECT_EQ(input->keyBindings[57].text, "r");
    EXPECT_EQ(input->keyBindings[0].text, "p");
}

TEST_F(ActionBindingsTest, OnlyBindingsChangedSinceLoadingCountAsChanged) {
    // The reader keeps one of these four bindings: rewriting from what it
    // kept would lose three of the player's.
    StartInput("// keys\nfire;Fire;Space;false\n/* unclosed\nleft;Left;LEFT;false\nright;Right;RIGHT;false\n"
               "jump;Jump;J;false\n");
    EXPECT_FALSE(input->ActionsChanged());
    input->SetAction(input->actionMap.Find(input->actionNames.front())->text, "K", false);
    EXPECT_TRUE(input->ActionsChanged());
    EXPECT_EQ(input->LoadActions("Actions.cfg"), 0);
    EXPECT_FALSE(input->ActionsChanged());
}

TEST_F(ActionBindingsTest, QuotingOnlyWhereTheSeparatorOrAQuoteAppears) {
    const std::pair<const char*, const char*> cases[] = {
        {"plain", "plain"}, {";", "\";\""}, {"a\"b", "\"a\"\"b\""}, {"", ""}, {",", ","}};
    for (const auto& [field, quoted] : cases)
        EXPECT_EQ(QuoteField(field, ';'), quoted) << field;
    EXPECT_EQ(QuoteField(",", ','), "\",\"");
}

TEST_F(ActionBindingsTest, MalformedFilesLoadWithoutHarm) {
    std::mt19937 random(7);
    std::string noise(4096, '\0');
    for (char& byte : noise)
        byte = static_cast<char>(random() & 0xFF);
    const std::string cases[] = {
        noise,
        std::string("fire;Fire;Space;false\n\0\0\0;;;\n", 28),
        std::string(200000, 'a') + ";" + std::string(100000, ';') + "\n",
        "\"unterminated;quote;Space;false\n;;;true\n-99999999999999999999;X;-99999999999999999999;true\n",
        ";;;;;;;;\n\n[section]\n/* open comment\n",
    };
    StartInput(kFixture);
    for (const std::string& text : cases) {
        TempGameRoot::WriteFile("noise.cfg", text);
        const std::string before = input->FormatActions();
        const int result = input->LoadActions("noise.cfg");
        ASSERT_TRUE(result == 0 || result == S_FALSE);
        if (result == S_FALSE) {
            EXPECT_EQ(input->FormatActions(), before);
        }
        const std::string written = input->FormatActions();
        TempGameRoot::WriteFile("again.cfg", written);
        EXPECT_EQ(input->LoadActions("again.cfg"), 0);
        EXPECT_EQ(input->FormatActions(), written);
        Devices().SetKey(57, true);
        Pass();
        Devices().SetKey(57, false);
        Pass();
    }
}

} // namespace
