#include "tests/support/GameProcess.h"
#include "tests/support/GlTest.h"
#include "tests/support/VirtualDisplay.h"

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
    for (const char* file :
        { "share/applications/tintbox.desktop", "share/metainfo/tintbox.metainfo.xml", "share/man/man6/tintbox.6.gz",
            "share/icons/hicolor/16x16/apps/tintbox.png", "share/icons/hicolor/256x256/apps/tintbox.png",
            "share/games/tintbox/Resources/LiberationSans-Regular.ttf" })
        EXPECT_TRUE(std::filesystem::exists(prefix + file)) << file;

    VirtualDisplay display;
    ASSERT_TRUE(display.ready()) << "could not start Xvfb";
    GameProcess game(display.name(), makeTempDir("elsewhere"), {}, prefix + "bin/tintbox");
    std::string window = game.waitForWindow();
    ASSERT_FALSE(window.empty()) << game.output();
    EXPECT_EQ(game.windowName(window).rfind("Tintbox v0.001", 0), 0u);
    EXPECT_EQ(game.focus(window), 0);
    game.xdotool("keydown Escape");
    EXPECT_EQ(game.waitExit(), 0) << game.output();
    game.xdotool("keyup Escape");
    std::filesystem::remove_all(dest);
}
