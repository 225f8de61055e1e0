// Every shader and resource file of the run folder, one at a time missing, empty, cut in half
// or replaced by garbage: the real game either stops at once with its message and status -1
// (255), or names the file and keeps running with its fallback until Escape.
#include "tests/support/GameProcess.h"
#include "tests/support/GlTest.h"
#include "tests/support/HostileFiles.h"
#include "tests/support/VirtualDisplay.h"

#include <gtest/gtest.h>

#include <FreeImage.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <regex>
#include <set>
#include <thread>

namespace fs = std::filesystem;

namespace {
enum class Fault { missing, empty, truncated, garbage };
const Fault allFaults[] = { Fault::missing, Fault::empty, Fault::truncated, Fault::garbage };

const char* faultName(Fault fault)
{
    switch (fault) {
    case Fault::missing:
        return "missing";
    case Fault::empty:
        return "empty";
    case Fault::truncated:
        return "truncated";
    default:
        return "garbage";
    }
}

// TINTBOX_FAULTS (names separated by commas) narrows the faults tried; scripts/test tries only
// those that reach the parsers in its slower sanitizer run.
bool faultWanted(Fault fault)
{
    const char* wanted = std::getenv("TINTBOX_FAULTS");
    return !wanted
        || ("," + std::string(wanted) + ",").find("," + std::string(faultName(fault)) + ",") != std::string::npos;
}

// What the game does about one faulty file: `message` is a pattern that its output must
// contain (empty: nothing is required); level 2 files are only read after Backspace.
struct Outcome {
    bool fatal = false;
    std::string message;
    int level = 1;
    // A pattern that the output must not contain (empty: no such check).
    std::string absent;
};

Outcome fatal(const std::string& message)
{
    Outcome outcome;
    outcome.fatal = true;
    outcome.message = message;
    return outcome;
}

Outcome runs(const std::string& message = "", int level = 1, const std::string& absent = "")
{
    Outcome outcome;
    outcome.message = message;
    outcome.level = level;
    outcome.absent = absent;
    return outcome;
}

std::string quoted(const std::string& file)
{
    return std::regex_replace(file, std::regex(R"([.])"), R"(\.)");
}

std::string bytesOf(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The same garbage on every run: a fixed seed per file name.
std::string garbageFor(const std::string& file, size_t size)
{
    std::mt19937 random(static_cast<std::mt19937::result_type>(std::hash<std::string>()(file) & 0xFFFFFFFF));
    std::string bytes(size, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(random() & 0xFF);
    return bytes;
}

// A run folder of symlinks to the build folder's Shader/ and Resources/ files, except `file`,
// which is written by `write` (or left out when `write` is empty).
class RunFolder {
public:
    RunFolder(const std::string& file, const std::function<void(const std::string&)>& write)
    {
        static int counter = 0;
        path = makeRunFolder("faults-" + std::to_string(counter++), { file });
        if (write)
            write(path + "/" + file);
    }
    ~RunFolder()
    {
        fs::remove_all(path);
    }
    RunFolder(const RunFolder&) = delete;
    RunFolder& operator=(const RunFolder&) = delete;

    std::string path;
};

std::function<void(const std::string&)> writerFor(const std::string& file, Fault fault)
{
    if (fault == Fault::missing)
        return {};
    std::string original = bytesOf(buildPath(file));
    std::string bytes;
    if (fault == Fault::truncated)
        bytes = original.substr(0, original.size() / 2);
    else if (fault == Fault::garbage)
        bytes = garbageFor(file, original.size());
    return [bytes](const std::string& path) {
        std::ofstream out(path, std::ios::binary);
        out << bytes;
    };
}

bool waitForOutput(GameProcess& game, const std::regex& pattern, double seconds)
{
    auto start = std::chrono::steady_clock::now();
    while (std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() < seconds) {
        if (std::regex_search(game.output(), pattern))
            return true;
        if (!game.running())
            return std::regex_search(game.output(), pattern);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

// A key or button held over a few frames: one pressed and released between two frames is lost.
void holdFor(GameProcess& game, const std::string& down, const std::string& up, int milliseconds)
{
    game.xdotool(down);
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    game.xdotool(up);
}

// Starts the game in `folder` and checks that it does what `expected` says; `play` runs once the
// frame-rate title is up (after the level switch for level 2 files).
void expectOutcome(const VirtualDisplay& display, const std::string& folder, const Outcome& expected,
    const std::string& what, const std::function<void(GameProcess&, const std::string&)>& play = {})
{
    SCOPED_TRACE(what);
    GameProcess game(display.name(), folder);
    std::regex message(expected.message.empty() ? std::string(".*") : expected.message);
    if (expected.fatal) {
        EXPECT_EQ(game.waitExit(60.0), 255) << game.output();
        EXPECT_TRUE(std::regex_search(game.output(), message)) << game.output();
        return;
    }
    std::string window = game.waitForWindow();
    ASSERT_FALSE(window.empty()) << game.output();
    std::string title = game.waitForTitleChange(window, "Tintbox v0.001");
    ASSERT_EQ(title.rfind("Tintbox v0.001 @ ", 0), 0u) << title << "\n" << game.output();
    EXPECT_EQ(game.focus(window), 0);
    if (expected.level == 2) {
        holdFor(game, "keydown BackSpace", "keyup BackSpace", 300);
        EXPECT_TRUE(waitForOutput(game, message, 60.0)) << game.output();
        // Frames go on after the switch: the title keeps changing.
        title = game.windowName(window);
        EXPECT_FALSE(game.waitForTitleChange(window, title).empty()) << game.output();
    }
    if (play)
        play(game, window);
    EXPECT_TRUE(std::regex_search(game.output(), message)) << game.output();
    EXPECT_TRUE(game.running()) << game.output();
    game.xdotool("keydown Escape");
    EXPECT_EQ(game.waitExit(60.0), 0) << game.output();
    game.xdotool("keyup Escape");
    std::string out = game.output();
    EXPECT_EQ(out.find("Sanitizer"), std::string::npos) << out;
    EXPECT_EQ(out.find("runtime error"), std::string::npos) << out;
    if (!expected.absent.empty()) {
        EXPECT_FALSE(std::regex_search(out, std::regex(expected.absent))) << out;
    }
}
void expectFaults(const std::vector<std::string>& files, const std::function<Outcome(const std::string&, Fault)>& rule)
{
    VirtualDisplay display;
    ASSERT_TRUE(display.ready()) << "could not start Xvfb";
    for (const std::string& file : files) {
        ASSERT_TRUE(fs::exists(buildPath(file))) << file;
        for (Fault fault : allFaults) {
            if (!faultWanted(fault))
                continue;
            RunFolder folder(file, writerFor(file, fault));
            expectOutcome(display, folder.path, rule(file, fault), file + " " + faultName(fault));
        }
    }
}

Outcome textureFallback(const std::string& file, int level = 1)
{
    return runs("TextureLoader: Could not load Texture \"" + quoted(file) + "\"", level);
}

Outcome modelFallback(const std::string& file, Fault fault, int level = 1)
{
    if (fault == Fault::missing)
        return runs("ModelLoader: Couldn't open file: " + quoted(file), level);
    return runs("ModelLoader: Couldn't import model from: " + quoted(file), level);
}
}

TEST(ResourceFaultRobustness, EveryShaderFileIsFatal)
{
    std::vector<std::string> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(buildPath("Shader")))
        files.push_back("Shader/" + entry.path().filename().string());
    std::sort(files.begin(), files.end());
    ASSERT_EQ(files.size(), 10u);
    expectFaults(files, [](const std::string& file, Fault fault) {
        if (fault == Fault::missing)
            return fatal("Failed to load Shader \"" + quoted(file) + "\"");
        // A shader cut in half may still compile and then lack its main at the link.
        return fatal("Failed to (compile|link) Shaders\\.\n.");
    });
}

TEST(ResourceFaultRobustness, FontAndStartPicturesFallBackOrStop)
{
    expectFaults({ "Resources/LiberationSans-Regular.ttf" }, [](const std::string&, Fault fault) {
        // FreeType opens the first half of a font and renders the glyphs it finds there.
        if (fault == Fault::truncated)
            return runs();
        return fatal("FontGen: failed to load font\\.");
    });
    expectFaults({ "Resources/default.png", "Resources/defaultWhite.png", "Resources/colorBall.png",
                     "Resources/winScreen.png", "Resources/looseScreen.png" },
        [](const std::string& file, Fault) { return textureFallback(file); });
    expectFaults({ "Resources/loadingScreen.jpg" }, [](const std::string& file, Fault fault) {
        // The JPEG decoder fills the missing half of a cut picture with grey.
        return fault == Fault::truncated ? runs() : textureFallback(file);
    });
}

TEST(ResourceFaultRobustness, ModelsOfTheVehicleCrosshairAndFigureFallBack)
{
    expectFaults({ "Resources/Tintbox.3ds", "Resources/paleface.3ds" },
        [](const std::string& file, Fault fault) { return modelFallback(file, fault, 2); });
    expectFaults({ "Resources/track.png" }, [](const std::string& file, Fault) { return textureFallback(file); });
    expectFaults({ "Resources/crosshair.obj" }, [](const std::string& file, Fault fault) {
        // Half an OBJ file is still an OBJ file, with fewer triangles.
        return fault == Fault::truncated ? runs() : modelFallback(file, fault);
    });
    expectFaults({ "Resources/crosshair.mtl" }, [](const std::string&, Fault fault) {
        // Without its materials the crosshair keeps the default colour; garbage is refused
        // before the importer parses it.
        if (fault == Fault::garbage)
            return modelFallback("Resources/crosshair.obj", fault);
        return runs();
    });
}

TEST(ResourceFaultRobustness, TutorialLevelFilesFallBack)
{
    expectFaults({ "Resources/tutorial_level_floor.png" },
        [](const std::string& file, Fault) { return runs("Heightmap: could not load image: " + quoted(file)); });
    expectFaults({ "Resources/tutorial_level_paint.png", "Resources/tutorial_level_original.png" },
        [](const std::string& file, Fault) {
            return runs("TextureLoader: Could not load Texture \"" + quoted(file)
                + "\"\nHeightmap: Original Picture size does not match paint Picture");
        });
    expectFaults({ "Resources/tutorialRoom.3ds" },
        [](const std::string& file, Fault fault) { return modelFallback(file, fault); });
    expectFaults({ "Resources/floor.jpg" }, [](const std::string& file, Fault fault) {
        return fault == Fault::truncated ? runs() : textureFallback(file);
    });
}

TEST(ResourceFaultRobustness, ServerRoomFilesFallBack)
{
    expectFaults({ "Resources/server_floor.png" },
        [](const std::string& file, Fault) { return runs("Heightmap: could not load image: " + quoted(file), 2); });
    expectFaults({ "Resources/floor_server_paint.png", "Resources/floor_server_original.png" },
        [](const std::string& file, Fault) {
            return runs("TextureLoader: Could not load Texture \"" + quoted(file)
                    + "\"\nHeightmap: Original Picture size does not match paint Picture",
                2);
        });
    expectFaults({ "Resources/serverraum.3ds" },
        [](const std::string& file, Fault fault) { return modelFallback(file, fault, 2); });
    expectFaults({ "Resources/rack.png" }, [](const std::string& file, Fault) { return textureFallback(file, 2); });
}

TEST(ResourceFaultRobustness, EveryFileOfTheRunFolderIsCovered)
{
    const std::set<std::string> covered = { "LiberationSans-Regular.ttf", "Tintbox.3ds", "colorBall.png",
        "crosshair.mtl", "crosshair.obj", "default.png", "defaultWhite.png", "floor.jpg", "floor_server_original.png",
        "floor_server_paint.png", "loadingScreen.jpg", "looseScreen.png", "paleface.3ds", "rack.png",
        "server_floor.png", "serverraum.3ds", "track.png", "tutorialRoom.3ds", "tutorial_level_floor.png",
        "tutorial_level_original.png", "tutorial_level_paint.png", "winScreen.png" };
    for (const fs::directory_entry& entry : fs::directory_iterator(buildPath("Resources"))) {
        std::string name = entry.path().filename().string();
        if (name != "resgen.stamp") {
            EXPECT_EQ(covered.count(name), 1u) << name << " is read by nobody or has no fault test";
        }
    }
}

namespace {
// Decodes a file of the build folder as 32-bit RGBA, bottom row first.
struct Rgba {
    unsigned int width = 0;
    unsigned int height = 0;
    std::vector<RGBQUAD> pixels;
};

Rgba decode(const std::string& file)
{
    Rgba result;
    std::string path = buildPath(file);
    FIBITMAP* loaded = FreeImage_Load(FreeImage_GetFileType(path.c_str(), 0), path.c_str(), 0);
    FIBITMAP* picture = FreeImage_ConvertTo32Bits(loaded);
    FreeImage_Unload(loaded);
    result.width = FreeImage_GetWidth(picture);
    result.height = FreeImage_GetHeight(picture);
    for (unsigned int y = 0; y < result.height; ++y) {
        const RGBQUAD* row = reinterpret_cast<const RGBQUAD*>(FreeImage_GetScanLine(picture, static_cast<int>(y)));
        result.pixels.insert(result.pixels.end(), row, row + result.width);
    }
    FreeImage_Unload(picture);
    return result;
}

void savePng(FIBITMAP* picture, const std::string& path)
{
    ASSERT_TRUE(FreeImage_Save(FIF_PNG, picture, path.c_str(), 0)) << path;
    FreeImage_Unload(picture);
}

// The same colours as an 8-bit palette picture with a transparency table.
void writePalette(const Rgba& source, const std::string& path)
{
    FIBITMAP* picture = FreeImage_Allocate(static_cast<int>(source.width), static_cast<int>(source.height), 8);
    RGBQUAD* palette = FreeImage_GetPalette(picture);
    std::vector<RGBQUAD> colours;
    BYTE alpha[256] = {};
    for (unsigned int y = 0; y < source.height; ++y) {
        BYTE* row = FreeImage_GetScanLine(picture, static_cast<int>(y));
        for (unsigned int x = 0; x < source.width; ++x) {
            RGBQUAD colour = source.pixels[y * source.width + x];
            auto same = [&](const RGBQUAD& c) {
                return c.rgbRed == colour.rgbRed && c.rgbGreen == colour.rgbGreen && c.rgbBlue == colour.rgbBlue
                    && c.rgbReserved == colour.rgbReserved;
            };
            auto found = std::find_if(colours.begin(), colours.end(), same);
            ASSERT_TRUE(found != colours.end() || colours.size() < 256) << "too many colours for a palette";
            if (found == colours.end()) {
                alpha[colours.size()] = colour.rgbReserved;
                palette[colours.size()] = colour;
                colours.push_back(colour);
                found = colours.end() - 1;
            }
            row[x] = static_cast<BYTE>(found - colours.begin());
        }
    }
    FreeImage_SetTransparencyTable(picture, alpha, static_cast<int>(colours.size()));
    savePng(picture, path);
}

// The same colours with 16 bits per sample (each byte b as b * 257).
void writeRgba16(const Rgba& source, const std::string& path)
{
    FIBITMAP* picture
        = FreeImage_AllocateT(FIT_RGBA16, static_cast<int>(source.width), static_cast<int>(source.height));
    for (unsigned int y = 0; y < source.height; ++y) {
        FIRGBA16* row = reinterpret_cast<FIRGBA16*>(FreeImage_GetScanLine(picture, static_cast<int>(y)));
        for (unsigned int x = 0; x < source.width; ++x) {
            RGBQUAD colour = source.pixels[y * source.width + x];
            row[x] = { static_cast<WORD>(colour.rgbRed * 257), static_cast<WORD>(colour.rgbGreen * 257),
                static_cast<WORD>(colour.rgbBlue * 257), static_cast<WORD>(colour.rgbReserved * 257) };
        }
    }
    savePng(picture, path);
}

// The red channel as an 8-bit grey picture: the same heights for a height picture.
void writeGrey(const Rgba& source, const std::string& path)
{
    FIBITMAP* picture = FreeImage_Allocate(static_cast<int>(source.width), static_cast<int>(source.height), 8);
    RGBQUAD* palette = FreeImage_GetPalette(picture);
    for (int i = 0; i < 256; ++i)
        palette[i] = { static_cast<BYTE>(i), static_cast<BYTE>(i), static_cast<BYTE>(i), 255 };
    for (unsigned int y = 0; y < source.height; ++y) {
        BYTE* row = FreeImage_GetScanLine(picture, static_cast<int>(y));
        for (unsigned int x = 0; x < source.width; ++x)
            row[x] = source.pixels[y * source.width + x].rgbRed;
    }
    savePng(picture, path);
}

// One colour everywhere but at the centre pixel.
std::function<void(const std::string&)> flatPicture(
    unsigned int width, unsigned int height, RGBQUAD colour, RGBQUAD centre)
{
    return [=](const std::string& path) {
        FIBITMAP* picture = FreeImage_Allocate(static_cast<int>(width), static_cast<int>(height), 32);
        for (unsigned int y = 0; y < height; ++y) {
            RGBQUAD* row = reinterpret_cast<RGBQUAD*>(FreeImage_GetScanLine(picture, static_cast<int>(y)));
            for (unsigned int x = 0; x < width; ++x)
                row[x] = x == width / 2 && y == height / 2 ? centre : colour;
        }
        savePng(picture, path);
    };
}

const RGBQUAD clear = { 0, 0, 0, 0 };
const RGBQUAD red = { 0, 0, 255, 255 };

// Looks down in small mouse steps, so that the crosshair meets the floor near the vehicle.
void lookDown(GameProcess& game)
{
    for (int step = 0; step < 10; ++step)
        game.xdotool("mousemove_relative -- 0 12");
}

}

TEST(ResourceFaultRobustness, OddButReadableLevelPicturesAreHandled)
{
    VirtualDisplay display;
    ASSERT_TRUE(display.ready());
    {
        SCOPED_TRACE("a height picture one pixel wide has no cells");
        RunFolder folder("Resources/tutorial_level_floor.png", flatPicture(1, 40, red, red));
        expectOutcome(display, folder.path,
            runs("Heightmap: could not load image: Resources/tutorial_level_floor\\.png"), "one pixel wide");
    }
    {
        SCOPED_TRACE("a target picture of another size than the paint picture sets up no targets");
        RunFolder folder("Resources/tutorial_level_original.png", flatPicture(5, 7, red, red));
        expectOutcome(display, folder.path, runs("Heightmap: Original Picture size does not match paint Picture"),
            "other size", [](GameProcess& game, const std::string&) {
                lookDown(game);
                holdFor(game, "mousedown 1", "mouseup 1", 500);
                game.xdotool("click 4");
            });
    }
    {
        SCOPED_TRACE("3 x 3 paint and target pictures: one paintable pixel");
        RunFolder both("Resources/tutorial_level_original.png", flatPicture(3, 3, clear, red));
        fs::remove(both.path + "/Resources/tutorial_level_paint.png");
        flatPicture(3, 3, clear, clear)(both.path + "/Resources/tutorial_level_paint.png");
        expectOutcome(display, both.path, runs("", 1, "does not match|could not load"), "3 x 3",
            [](GameProcess& game, const std::string&) {
                lookDown(game);
                holdFor(game, "mousedown 1", "mouseup 1", 800);
                holdFor(game, "mousedown 3", "mouseup 3", 300);
                holdFor(game, "keydown space", "keyup space", 300);
                holdFor(game, "keydown space", "keyup space", 300);
            });
    }
}

TEST(ResourceFaultRobustness, PicturesOfOtherDepthsLoadWithoutComplaint)
{
    VirtualDisplay display;
    ASSERT_TRUE(display.ready());
    Rgba paint = decode("Resources/tutorial_level_paint.png");
    Rgba original = decode("Resources/tutorial_level_original.png");
    Rgba heights = decode("Resources/tutorial_level_floor.png");
    Rgba ball = decode("Resources/colorBall.png");
    ASSERT_GT(paint.width, 0u);
    RunFolder folder("Resources/tutorial_level_paint.png", [&](const std::string& path) { writePalette(paint, path); });
    const std::string resources = folder.path + "/Resources/";
    for (const char* name : { "tutorial_level_original.png", "tutorial_level_floor.png", "colorBall.png" })
        fs::remove(resources + name);
    writeRgba16(original, resources + "tutorial_level_original.png");
    writeGrey(heights, resources + "tutorial_level_floor.png");
    writeRgba16(ball, resources + "colorBall.png");
    expectOutcome(display, folder.path, runs("", 1, "Could not load|could not load|does not match"),
        "palette, 16-bit and grey pictures",
        [](GameProcess& game, const std::string&) { holdFor(game, "keydown space", "keyup space", 300); });
}

TEST(ResourceFaultRobustness, HostileFilesNeitherCrashNorHangNorBalloonTheGame)
{
    VirtualDisplay display;
    ASSERT_TRUE(display.ready());
    {
        RunFolder folder("Shader/diffuse.frag", [](const std::string& path) { fs::create_directory(path); });
        expectOutcome(display, folder.path, fatal("Failed to load Shader \"Shader/diffuse\\.frag\""), "folder shader");
    }
    // Metadata that crashed the decoder, sizes that took gigabytes, a device and a FIFO.
    RunFolder folder("Resources/loadingScreen.jpg", writeExifBombJpeg);
    const std::pair<const char*, std::function<void(const std::string&)>> others[] = {
        { "Resources/colorBall.png", [](const std::string& path) { writeSparsePng(path, 16384); } },
        { "Resources/tutorial_level_floor.png", [](const std::string& path) { writeSparsePng(path, 4096); } },
        { "Resources/Tintbox.3ds", linkToDevice },
        { "Resources/crosshair.mtl", makeFifo },
    };
    for (const auto& [file, write] : others) {
        fs::remove(folder.path + "/" + file);
        write(folder.path + "/" + file);
    }
    Outcome outcome = runs("^(?=[\\s\\S]*TextureLoader: Could not load Texture \"Resources/colorBall\\.png\")"
                           "(?=[\\s\\S]*Heightmap: could not load image: Resources/tutorial_level_floor\\.png)"
                           "(?=[\\s\\S]*ModelLoader: Couldn't open file: Resources/Tintbox\\.3ds)");
    outcome.absent = "loadingScreen|crosshair";
    expectOutcome(display, folder.path, outcome, "hostile files", [](GameProcess& game, const std::string&) {
#ifndef __SANITIZE_ADDRESS__
        EXPECT_LT(game.peakResident(), 1L << 30);
#else
        (void)game;
#endif
    });
}

TEST(ResourceFaultRobustness, AVehicleWithFewerThanThirteenMeshesDrivesWithoutTracks)
{
    VirtualDisplay display;
    ASSERT_TRUE(display.ready());
    // The intro figure has far fewer meshes than the vehicle.
    RunFolder folder("Resources/Tintbox.3ds",
        [](const std::string& path) { fs::copy_file(buildPath("Resources/paleface.3ds"), path); });
    expectOutcome(display, folder.path, runs(), "small vehicle", [](GameProcess& game, const std::string&) {
        holdFor(game, "keydown w", "keyup w", 700);
        holdFor(game, "keydown a", "keyup a", 400);
        holdFor(game, "keydown d", "keyup d", 400);
        holdFor(game, "keydown s", "keyup s", 500);
    });
}
