#include "tests/support/GameProcess.h"
#include "tests/support/GlTest.h"
#include "tests/support/VirtualDisplay.h"

#include <FreeImage.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>

namespace {
// A screenshot of the game window, RGB rows top first.
struct Shot {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;

    // Pixels that differ between two shots inside the rectangle (x, y from the top left).
    int differences(const Shot& other, int x, int y, int w, int h) const
    {
        if (other.width != width || other.height != height)
            return w * h;
        int count = 0;
        for (int row = y; row < y + h && row < height; ++row)
            for (int column = x; column < x + w && column < width; ++column) {
                size_t i = (static_cast<size_t>(row) * width + column) * 3;
                count += (std::abs(rgb[i] - other.rgb[i]) + std::abs(rgb[i + 1] - other.rgb[i + 1])
                                 + std::abs(rgb[i + 2] - other.rgb[i + 2])
                             > 24)
                    ? 1
                    : 0;
            }
        return count;
    }
};

class Player {
public:
    Player(GameProcess& game, const VirtualDisplay& display, std::string window, std::string folder)
        : game(game)
        , display(display)
        , window(std::move(window))
        , folder(std::move(folder))
    {
    }

    Shot shot(const std::string& name)
    {
        std::string path = folder + "/" + name + ".png";
        runWithDisplay(display.name(), "import -window " + window + " " + path + " 2>/dev/null");
        Shot result;
        FIBITMAP* picture = FreeImage_Load(FIF_PNG, path.c_str(), 0);
        if (!picture)
            return result;
        FIBITMAP* rgb = FreeImage_ConvertTo24Bits(picture);
        result.width = static_cast<int>(FreeImage_GetWidth(rgb));
        result.height = static_cast<int>(FreeImage_GetHeight(rgb));
        result.rgb.resize(static_cast<size_t>(result.width) * result.height * 3);
        for (int y = 0; y < result.height; ++y) {
            BYTE* row = FreeImage_GetScanLine(rgb, result.height - 1 - y);
            for (int x = 0; x < result.width; ++x) {
                size_t i = (static_cast<size_t>(y) * result.width + x) * 3;
                result.rgb[i] = row[x * 3 + FI_RGBA_RED];
                result.rgb[i + 1] = row[x * 3 + FI_RGBA_GREEN];
                result.rgb[i + 2] = row[x * 3 + FI_RGBA_BLUE];
            }
        }
        FreeImage_Unload(rgb);
        FreeImage_Unload(picture);
        return result;
    }

    // Polls screenshots until `changed` says so; false after the time-out.
    bool waitFor(const std::function<bool(const Shot&)>& changed, const std::string& name, double seconds = 60.0)
    {
        auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (std::chrono::steady_clock::now() < end) {
            if (changed(shot(name)))
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
        return false;
    }

    // The game sees a key only when it is down at a frame: hold it until the picture shows it.
    bool holdUntil(const std::string& key, const std::function<bool(const Shot&)>& changed, const std::string& name)
    {
        game.xdotool("keydown " + key);
        bool seen = waitFor(changed, name);
        game.xdotool("keyup " + key);
        return seen;
    }

    GameProcess& game;
    const VirtualDisplay& display;
    std::string window;
    std::string folder;
};
}

TEST(PlayEndToEnd, DrivePaintSkipToTheServerRoomAndQuit)
{
    VirtualDisplay display;
    ASSERT_TRUE(display.ready()) << "could not start Xvfb";
    GameProcess game(display.name(), buildPath(""));
    std::string window = game.waitForWindow();
    ASSERT_FALSE(window.empty()) << game.output();
    ASSERT_EQ(game.focus(window), 0);
    const char* keep = std::getenv("TINTBOX_SHOTS");
    Player player(game, display, window, keep ? keep : makeTempDir("play-e2e"));

    // The first frames of the tutorial replace the loading picture.
    Shot loading = player.shot("loading");
    ASSERT_TRUE(player.waitFor(
        [&](const Shot& s) { return s.differences(loading, 0, 0, s.width, s.height) > s.width * s.height / 4; },
        "start"));
    Shot start = player.shot("start");
    ASSERT_EQ(start.width, 1024);

    // F2: the six lines appear in the upper left corner.
    ASSERT_TRUE(player.holdUntil(
        "F2", [&](const Shot& s) { return s.differences(start, 0, 0, 400, 140) > 800; }, "hud"));

    // S drives backwards, away from the door wall ahead, so that the floor ahead stays in view.
    Shot hud = player.shot("hud");
    ASSERT_TRUE(player.holdUntil(
        "s", [&](const Shot& s) { return s.differences(hud, 0, 300, 1024, 300) > 20000; }, "driven"));

    // Look down about 10 degrees, then hold the left button: the ball count in the lower left counts down.
    // Only the last cursor event of a frame counts, so each step waits for frames to pass (the
    // title changes at least every 0.1 s of frame time).
    for (int i = 0; i < 10; ++i) {
        game.xdotool("mousemove_relative -- 0 10");
        for (int frames = 0; frames < 2; ++frames)
            game.waitForTitleChange(window, game.windowName(window), 5.0);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    Shot aimed = player.shot("aimed");
    game.xdotool("mousedown 1");
    bool painted = player.waitFor([&](const Shot& s) { return s.differences(aimed, 55, 728, 80, 30) > 20; }, "painted");
    game.xdotool("mouseup 1");
    EXPECT_TRUE(painted) << "the count beside the ball changed";

    // Backspace: the loading picture, then the server room with its intro.
    Shot tutorial = player.shot("tutorial");
    ASSERT_TRUE(player.holdUntil(
        "BackSpace", [&](const Shot& s) { return s.differences(tutorial, 0, 200, 1024, 500) > 100000; }, "server"));
    // The intro itself is timed by the game clock and may be over by the time a slow machine has
    // taken its screenshots; its walk is checked frame by frame in the in-process intro test.
    game.xdotool("keydown Escape");
    EXPECT_EQ(game.waitExit(), 0) << game.output();
    game.xdotool("keyup Escape");
}

TEST(PlayEndToEnd, MissingFontEndsWithItsMessageAndMinusOne)
{
    std::string run = makeRunFolder("e2e-nofont", { "Resources/LiberationSans-Regular.ttf" });

    VirtualDisplay display;
    ASSERT_TRUE(display.ready());
    GameProcess game(display.name(), run);
    EXPECT_EQ(game.waitExit(), 255);
    EXPECT_NE(game.output().find("FontGen: failed to load font."), std::string::npos) << game.output();
}
