#include "tests/support/GameProcess.h"
#include "tests/support/GlTest.h"
#include "tests/support/VirtualDisplay.h"

#include <gtest/gtest.h>

#include <regex>

TEST(GameEndToEnd, TitleShowsTheFrameRateAndEscapeEndsWithZero)
{
    VirtualDisplay display;
    ASSERT_TRUE(display.ready()) << "could not start Xvfb";
    GameProcess game(display.name(), buildPath(""));
    std::string window = game.waitForWindow();
    ASSERT_FALSE(window.empty()) << game.output();

    std::string title = game.windowName(window);
    EXPECT_EQ(title.rfind("Tintbox v0.001", 0), 0u) << title;
    std::string rate = game.waitForTitleChange(window, "Tintbox v0.001");
    EXPECT_TRUE(std::regex_match(rate, std::regex(R"(Tintbox v0\.001 @ [0-9]+\.[0-9]{6} fps)"))) << rate;

    EXPECT_EQ(game.focus(window), 0);
    game.xdotool("keydown Escape");
    EXPECT_EQ(game.waitExit(), 0) << game.output();
    game.xdotool("keyup Escape");
}

TEST(GameEndToEnd, ArgumentsThatAreNotNumbersAreRefusedWithUsage)
{
    VirtualDisplay display;
    ASSERT_TRUE(display.ready());
    for (std::vector<std::string> args : {std::vector<std::string>{"wide", "600"},
             std::vector<std::string>{"800", "600", "many"}, std::vector<std::string>{"800", "99999999999"}}) {
        GameProcess game(display.name(), buildPath(""), args);
        EXPECT_EQ(game.waitExit(), 2) << args[0];
        std::string out = game.output();
        EXPECT_NE(out.find("argument"), std::string::npos) << out;
        EXPECT_NE(out.find("usage: tintbox"), std::string::npos) << out;
    }
}
