// Bad command lines on the real binary: what is not a number or does not fit in 32 bits is
// refused with one line naming the argument, a usage line and status 2; everything else
// starts the game, which never crashes over its arguments.
#include "app/CommandLine.h"
#include "tests/support/GameProcess.h"
#include "tests/support/GlTest.h"
#include "tests/support/VirtualDisplay.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {
std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        result.push_back(line);
    return result;
}

std::string joined(const std::vector<std::string>& args)
{
    std::string text;
    for (const std::string& arg : args)
        text += "\"" + arg + "\" ";
    return text;
}
}

TEST(CommandLineRobustness, SidesAboveTheLargestWindowAreRefused)
{
    std::vector<std::string> args = { "tintbox", "16384", "16385" };
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    CommandLine line = CommandLine::parse(3, argv.data());
    EXPECT_FALSE(line.ok);
    EXPECT_EQ(line.error, "tintbox: the height argument \"16385\" is larger than 16384, the largest window side");
    args[2] = "16384";
    argv[2] = args[2].data();
    line = CommandLine::parse(3, argv.data());
    EXPECT_TRUE(line.ok);
    EXPECT_EQ(line.width, 16384);
    args[1] = "99999";
    args.push_back("3000000000");
    argv = { args[0].data(), args[1].data(), args[2].data(), args[3].data() };
    EXPECT_NE(CommandLine::parse(4, argv.data()).error.find("third argument"), std::string::npos)
        << "the 32-bit check of every argument comes first";
}

TEST(CommandLineRobustness, RefusedArgumentsNameTheArgumentAndExitWithTwo)
{
    VirtualDisplay display;
    ASSERT_TRUE(display.ready());
    struct Case {
        std::vector<std::string> args;
        const char* named;
    };
    const Case cases[] = {
        { { "", "600" }, "width" },
        { { "-99999999999", "600" }, "width" },
        { { "2147483648", "600" }, "width" },
        { { "800", "x600" }, "height" },
        { { "800", "4294967296" }, "height" },
        { { "800", "600", "-2147483649" }, "third" },
        { { "abc", "def", "ghi", "jkl" }, "width" },
        // X and the driver crash on windows of 32768 and more.
        { { "2147483647", "2147483647" }, "width" },
        { { "800", "32768" }, "height" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(joined(c.args));
        GameProcess game(display.name(), buildPath(""), c.args);
        EXPECT_EQ(game.waitExit(), 2);
        std::vector<std::string> out = lines(game.output());
        ASSERT_EQ(out.size(), 2u) << game.output();
        EXPECT_NE(out[0].find(std::string("the ") + c.named + " argument"), std::string::npos) << out[0];
        EXPECT_EQ(out[1].rfind("usage: tintbox", 0), 0u) << out[1];
    }
}

TEST(CommandLineRobustness, NumbersOfAnyKindStartTheGame)
{
    VirtualDisplay display;
    ASSERT_TRUE(display.ready());
    // One argument is ignored, a fourth too, "800abc" reads as 800, and sizes out of the
    // screen's reach or below 320 x 240 still give a window the game can draw into.
    const std::vector<std::vector<std::string>> cases = { { "800" }, { "garbage" }, { "800abc", "600" },
        { "-800", "-600" }, { "0", "0" }, { "16384", "16384" }, { "1280", "720", "60", "extra" } };
    for (const std::vector<std::string>& args : cases) {
        SCOPED_TRACE(joined(args));
        GameProcess game(display.name(), buildPath(""), args);
        std::string window = game.waitForWindow();
        ASSERT_FALSE(window.empty()) << game.output();
        std::string title = game.waitForTitleChange(window, "Tintbox v0.001");
        EXPECT_EQ(title.rfind("Tintbox v0.001 @ ", 0), 0u) << title << game.output();
        game.focus(window);
        game.xdotool("keydown Escape");
        EXPECT_EQ(game.waitExit(), 0) << game.output();
        game.xdotool("keyup Escape");
    }
}
