#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
CommandLine parse(std::vector<std::string> args)
{
    args.insert(args.begin(), "tintbox");
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    return CommandLine::parse(static_cast<int>(argv.size()), argv.data());
}
}

TEST(CommandLine, NoSizeMeansA1024By768Window)
{
    for (const auto& args : {std::vector<std::string>{}, std::vector<std::string>{"800"}}) {
        CommandLine line = parse(args);
        EXPECT_TRUE(line.ok);
        EXPECT_FALSE(line.fullscreen);
        EXPECT_EQ(line.width, 1024);
        EXPECT_EQ(line.height, 768);
    }
}

TEST(CommandLine, ASizeMeansFullScreenAtLeast320By240)
{
    CommandLine line = parse({"1280", "720", "60"});
    EXPECT_TRUE(line.ok);
    EXPECT_TRUE(line.fullscreen);
    EXPECT_EQ(line.width, 1280);
    EXPECT_EQ(line.height, 720);

    for (const auto& args : {std::vector<std::string>{"200", "600"}, std::vector<std::string>{"640", "100"}}) {
        line = parse(args);
        EXPECT_TRUE(line.fullscreen);
        EXPECT_EQ(line.width, 320) << "the pair is replaced, not each value clamped";
        EXPECT_EQ(line.height, 240);
    }
}

TEST(CommandLine, NumbersAreReadLikeTheStandardConversion)
{
    CommandLine line = parse({"  800abc", "+600", "7x"});
    EXPECT_TRUE(line.ok);
    EXPECT_EQ(line.width, 800);
    EXPECT_EQ(line.height, 600);
    line = parse({"800", "600", "1", "extra"});
    EXPECT_TRUE(line.ok) << "a fourth argument is ignored";
}

TEST(CommandLine, NonNumbersAndOutOfRangeValuesAreRefused)
{
    for (const auto& args : {std::vector<std::string>{"wide", "600"}, std::vector<std::string>{"800", ""},
             std::vector<std::string>{"99999999999", "600"}, std::vector<std::string>{"800", "600", "x"},
             std::vector<std::string>{"800", "-99999999999"}}) {
        CommandLine line = parse(args);
        EXPECT_FALSE(line.ok) << args[0] << " " << args[1];
        EXPECT_NE(line.error.find("argument"), std::string::npos);
    }
    CommandLine negative = parse({"-800", "600"});
    EXPECT_TRUE(negative.ok) << "a negative number is a number: it is below 320";
    EXPECT_EQ(negative.width, 320);
}
