#pragma once

#include "Game/PGameData.h"
#include "Support/TempGameRoot.h"

#include <gtest/gtest.h>

#include <string>

// A fresh game folder with a game data store; its data files are written
// by the test.
class GameDataFixture : public ::testing::Test {
protected:
    static void Write(const std::string& path, const std::string& text) {
        TempGameRoot::WriteFile(path, text);
    }

    TempGameRoot root;
    CPGameData data;
};
