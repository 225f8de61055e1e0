#include "tests/support/GameProcess.h"
#include "tests/support/GlTest.h"
#include "tests/support/VirtualDisplay.h"

#include <FreeImage.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

// Installs the build into a temporary DESTDIR and starts the installed launcher from a folder
// without game data: the game must reach its shaders and resources through the launcher alone.
TEST(InstallEndToEnd, InstalledLauncherStartsTheGameFromAnotherFolder)
{
    std::string dest = makeTempDir("install");
    std::string command
        = "DESTDIR=" + dest + " cmake --install " + buildPath("") + " --prefix /usr > " + dest + "/install.log 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const std::string prefix = dest + "/usr/";
    for (const char* file : { "share/applications/tintbox.desktop", "share/metainfo/tintbox.metainfo.xml",
             "share/man/man6/tintbox.6.gz", "share/games/tintbox/Resources/LiberationSans-Regular.ttf" })
        EXPECT_TRUE(std::filesystem::exists(prefix + file)) << file;
    // Menus pick an icon by its folder's size, so each picture must have the size it is filed under.
    for (int size : { 16, 24, 32, 48, 64, 128, 256 }) {
        std::string side = std::to_string(size);
        std::string icon = prefix + "share/icons/hicolor/" + side + "x" + side + "/apps/tintbox.png";
        FIBITMAP* picture = FreeImage_Load(FIF_PNG, icon.c_str());
        ASSERT_NE(picture, nullptr) << icon;
        EXPECT_EQ(FreeImage_GetWidth(picture), unsigned(size)) << icon;
        EXPECT_EQ(FreeImage_GetHeight(picture), unsigned(size)) << icon;
        FreeImage_Unload(picture);
    }

    VirtualDisplay display;
    ASSERT_TRUE(display.ready()) << "could not start Xvfb";
    const std::string elsewhere = makeTempDir("elsewhere"), launcher = prefix + "bin/tintbox";
    {
        // Arguments reach the game unsplit.
        GameProcess refused(display.name(), elsewhere, { "wide open", "600" }, launcher);
        EXPECT_EQ(refused.waitExit(), 2);
        EXPECT_NE(refused.output().find("\"wide open\""), std::string::npos) << refused.output();
    }
    GameProcess game(display.name(), elsewhere, {}, launcher);
    std::string window = game.waitForWindow();
    ASSERT_FALSE(window.empty()) << game.output();
    EXPECT_EQ(game.windowName(window).rfind("Tintbox v0.001", 0), 0u);
    EXPECT_EQ(game.focus(window), 0);
    game.xdotool("keydown Escape");
    EXPECT_EQ(game.waitExit(), 0) << game.output();
    game.xdotool("keyup Escape");
    std::filesystem::remove_all(dest);
}
