#include "ResourceFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {
Picture picture(const std::string& name)
{
    Picture p;
    EXPECT_TRUE(p.load("Resources/" + name)) << name;
    return p;
}
}

TEST(Pictures, AllDecodeAt24Or32Bits)
{
    for (const char* name : { "default.png", "defaultWhite.png", "loadingScreen.jpg", "colorBall.png", "winScreen.png",
             "looseScreen.png", "floor.jpg", "track.png", "rack.png", "tutorial_level_floor.png", "server_floor.png",
             "tutorial_level_paint.png", "tutorial_level_original.png", "floor_server_paint.png",
             "floor_server_original.png" }) {
        Picture p = picture(name);
        EXPECT_TRUE(p.bpp == 24 || p.bpp == 32) << name << " has " << p.bpp << " bits";
        EXPECT_GT(p.width, 0u) << name;
        EXPECT_GT(p.height, 0u) << name;
    }
}

TEST(Pictures, SizesAndTransparency)
{
    Picture checker = picture("default.png");
    EXPECT_EQ(checker.width, 64u);
    EXPECT_NE(checker.at(0, 0)[0], checker.at(8, 0)[0]) << "the default texture shows a checker";
    Picture white = picture("defaultWhite.png");
    for (unsigned i = 0; i < white.rgba.size(); ++i)
        ASSERT_EQ(white.rgba[i], 255);

    Picture loading = picture("loadingScreen.jpg");
    EXPECT_EQ(loading.width, 1024u);
    EXPECT_EQ(loading.height, 768u);

    Picture ball = picture("colorBall.png");
    EXPECT_EQ(ball.bpp, 32u);
    EXPECT_EQ(ball.at(0, 0)[3], 0) << "transparent corner";
    const unsigned char* centre = ball.at(ball.width / 2, ball.height / 2);
    EXPECT_EQ(centre[3], 255);
    EXPECT_GT(centre[0], 150) << "light, so that the tint shows";
    EXPECT_EQ(centre[0], centre[2]) << "grey, so that the tint is the only colour";

    for (const char* name : { "winScreen.png", "looseScreen.png" }) {
        Picture p = picture(name);
        EXPECT_EQ(p.bpp, 32u) << name;
        EXPECT_EQ(p.width, 400u) << name;
        EXPECT_EQ(p.height, 120u) << name;
        EXPECT_EQ(p.at(0, 0)[3], 0) << name;
        unsigned opaque = 0;
        for (unsigned i = 3; i < p.rgba.size(); i += 4)
            opaque += p.rgba[i] == 255;
        EXPECT_GT(opaque, 2000u) << name << " carries lettering";
    }

    Picture floor = picture("floor.jpg");
    EXPECT_EQ(floor.width, 512u);
    EXPECT_EQ(floor.height, 512u);
    // Tileable: the left and right columns, and the top and bottom rows, both lie on a tile edge.
    EXPECT_NEAR(floor.at(0, 200)[0], floor.at(511, 200)[0], 40);
    EXPECT_NEAR(floor.at(200, 0)[0], floor.at(200, 511)[0], 40);

    Picture track = picture("track.png");
    EXPECT_NE(track.at(0, 3)[0], track.at(3, 3)[0]) << "the tread changes along u";
    EXPECT_EQ(track.at(5, 3)[0], track.at(5 + track.width / 2, 3)[0]) << "the tread repeats";
}

TEST(Pictures, FontIsCopied)
{
    std::ifstream font("Resources/LiberationSans-Regular.ttf", std::ios::binary);
    ASSERT_TRUE(font.good());
    char magic[4] = {};
    font.read(magic, 4);
    EXPECT_EQ(magic[0], 0);
    EXPECT_EQ(magic[1], 1) << "a TrueType face";
    EXPECT_GT(std::filesystem::file_size("Resources/LiberationSans-Regular.ttf"), 10000u);
}
