// A minute of scripted play on the real game: driving, turning, looking, painting, wiping,
// changing colours, the target picture and the level switch, then Escape. Under the
// sanitizer build the same run must end with status 0 and without a single report.
#include "tests/support/GameProcess.h"
#include "tests/support/GlTest.h"
#include "tests/support/VirtualDisplay.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {
using Clock = std::chrono::steady_clock;

void pause(int milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

// Holds the keys (xdotool names) and mouse buttons for about `milliseconds`, moving the
// mouse by (dx, dy) in small steps meanwhile.
void hold(GameProcess& game, const std::vector<std::string>& keys, const std::vector<int>& buttons, int milliseconds,
    int dx = 0, int dy = 0)
{
    for (const std::string& key : keys)
        game.xdotool("keydown " + key);
    for (int button : buttons)
        game.xdotool("mousedown " + std::to_string(button));
    const int steps = 10;
    for (int step = 0; step < steps; ++step) {
        if (dx != 0 || dy != 0)
            game.xdotool("mousemove_relative -- " + std::to_string(dx / steps) + " " + std::to_string(dy / steps));
        pause(milliseconds / steps);
    }
    for (int button : buttons)
        game.xdotool("mouseup " + std::to_string(button));
    for (const std::string& key : keys)
        game.xdotool("keyup " + key);
}
}

TEST(ScriptedPlayRobustness, AMinuteOfPlayEndsCleanlyWithEscape)
{
    VirtualDisplay display;
    ASSERT_TRUE(display.ready()) << "could not start Xvfb";
    GameProcess game(display.name(), buildPath(""));
    std::string window = game.waitForWindow(120.0);
    ASSERT_FALSE(window.empty()) << game.output();
    ASSERT_FALSE(game.waitForTitleChange(window, "Tintbox v0.001", 120.0).empty()) << game.output();
    ASSERT_EQ(game.focus(window), 0);

    auto start = Clock::now();
    auto seconds = [&] { return std::chrono::duration<double>(Clock::now() - start).count(); };
    int round = 0;
    while (seconds() < 60.0 && game.running()) {
        // Look down so that the crosshair meets the floor within reach, then paint while driving.
        hold(game, { "w" }, { 1 }, 2500, 0, 60);
        hold(game, { "a" }, { 1 }, 1500);
        hold(game, { "d", "w" }, { 1 }, 1500, 40, 0);
        hold(game, { "s" }, { 3 }, 1500, -40, -60);
        game.xdotool(round % 2 == 0 ? "click 4" : "click 5");
        hold(game, { "space" }, {}, 300);
        hold(game, {}, { 1, 3 }, 800, 0, 20);
        hold(game, { "space" }, {}, 300);
        hold(game, { "Up", "Page_Up" }, {}, 500);
        hold(game, { "Down", "Page_Down" }, {}, 500);
        // The server room from the second round on; its intro plays while the keys go on.
        if (round == 0)
            hold(game, { "BackSpace" }, {}, 300);
        if (round == 2)
            hold(game, { "F2" }, {}, 300);
        ++round;
    }
    ASSERT_TRUE(game.running()) << game.output();
    game.xdotool("keydown Escape");
    EXPECT_EQ(game.waitExit(120.0), 0) << game.output();
    game.xdotool("keyup Escape");
    std::string out = game.output();
    for (const char* report : { "Sanitizer", "runtime error", "LeakSanitizer", "ERROR" })
        EXPECT_EQ(out.find(report), std::string::npos) << out;
}
