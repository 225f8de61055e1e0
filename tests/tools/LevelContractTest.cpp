#include "ResourceFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <tuple>

namespace {
struct LevelFiles {
    const char* height;
    const char* paint;
    const char* original;
    const char* room;
    float roomScale;
    float startX, startZ;
    aiVector3D light;
    size_t minTargets, maxTargets, minColours, maxColours;
};

const LevelFiles tutorial { "Resources/tutorial_level_floor.png", "Resources/tutorial_level_paint.png",
    "Resources/tutorial_level_original.png", "Resources/tutorialRoom.3ds", 1.0f, 0.808716f, 5.59216f,
    aiVector3D(1.07096028f, 7.41268396f, 3.38264966f), 40, 120, 2, 2 };
const LevelFiles server { "Resources/server_floor.png", "Resources/floor_server_paint.png",
    "Resources/floor_server_original.png", "Resources/serverraum.3ds", 5.5f, 3.0f, 9.5f,
    aiVector3D(14.2045946f, 3.20135546f, 9.54005814f), 250, 600, 3, 4 };

// The floor as the game builds it from the height picture: grid points 0.1 apart, the
// height of the grid point at or before a position.
struct Floor {
    Picture height;
    float extentX() const
    {
        return (height.width - 1) * 0.1f;
    }
    float extentZ() const
    {
        return (height.height - 1) * 0.1f;
    }
    float heightAt(float x, float z) const
    {
        if (x < 0 || z < 0)
            return -1.0f;
        unsigned c = static_cast<unsigned>(x / 0.1f), r = static_cast<unsigned>(z / 0.1f);
        if (c >= height.width || r >= height.height)
            return -1.0f;
        return height.at(c, r)[0] / 64.0f;
    }
};

struct Level {
    Floor floor;
    Picture paint, original;
    LoadedModel room, car;

    void load(const LevelFiles& files)
    {
        ASSERT_TRUE(floor.height.load(files.height));
        ASSERT_TRUE(paint.load(files.paint));
        ASSERT_TRUE(original.load(files.original));
        ASSERT_TRUE(room.load(files.room, files.roomScale));
        ASSERT_TRUE(car.load("Resources/Tintbox.3ds", 0.1f));
    }
    bool isTarget(unsigned x, unsigned y) const
    {
        const unsigned char* o = original.at(x, y);
        const unsigned char* p = paint.at(x, y);
        return o[3] == 255 && (o[0] != p[0] || o[1] != p[1] || o[2] != p[2] || o[3] != p[3]);
    }
    bool vehicleFree(float x, float z) const
    {
        float y = floor.heightAt(x, z);
        if (y < 0.0f)
            return false;
        aiVector3D at(x, y, z), origin(0, 0, 0);
        for (const Box& roomBox : room.boxes)
            for (const Box& carBox : car.boxes)
                if (boxesOverlap(carBox, at, roomBox, origin))
                    return false;
        return true;
    }
    // World point of the middle of a paint pixel.
    aiVector2D pixelCentre(unsigned x, unsigned y) const
    {
        return aiVector2D((x + 0.5f) * floor.extentX() / paint.width, (y + 0.5f) * floor.extentZ() / paint.height);
    }
};

void checkLevel(const LevelFiles& files)
{
    Level level;
    level.load(files);
    ASSERT_EQ(level.paint.width, level.original.width);
    ASSERT_EQ(level.paint.height, level.original.height);
    EXPECT_GT(level.floor.extentX(), files.startX + 1.0f);
    EXPECT_GT(level.floor.extentZ(), files.startZ + 1.0f);

    // Targets and budgets per exact colour. Colour by number: every pixel of the drawing (the
    // opaque ones) is a target, and the floor shows every target, and nothing else, as a hint, a
    // faint copy of the target's own colour.
    using Rgb = std::tuple<int, int, int>;
    auto rgb = [](const unsigned char* c) { return Rgb { c[0], c[1], c[2] }; };
    std::set<Rgb> drawingColours;
    for (size_t i = 0; i < level.original.rgba.size(); i += 4)
        if (level.original.rgba[i + 3] == 255)
            drawingColours.insert(rgb(&level.original.rgba[i]));
    std::map<Rgb, int> budgets;
    std::vector<std::pair<unsigned, unsigned>> targets;
    unsigned misleading = 0;
    for (unsigned y = 0; y < level.paint.height; ++y)
        for (unsigned x = 0; x < level.paint.width; ++x) {
            const unsigned char* o = level.original.at(x, y);
            const unsigned char* p = level.paint.at(x, y);
            bool target = level.isTarget(x, y);
            bool faint = p[3] > 0 && p[3] < 255 && drawingColours.count(rgb(p)) > 0;
            bool right = faint == target && (o[3] == 255) == target && (!target || rgb(p) == rgb(o));
            if (!right && misleading++ == 0)
                ADD_FAILURE() << "pixel " << x << "," << y << ": target " << target << ", hint " << faint;
            if (target) {
                ++budgets[rgb(o)];
                targets.push_back({ x, y });
            }
        }
    EXPECT_EQ(misleading, 0u) << "pixels where hints and targets differ";
    EXPECT_GE(targets.size(), files.minTargets);
    EXPECT_LE(targets.size(), files.maxTargets);
    EXPECT_GE(budgets.size(), files.minColours);
    EXPECT_LE(budgets.size(), files.maxColours);
    float pixelSize = level.floor.extentX() / level.paint.width;
    EXPECT_GE(pixelSize, 0.045f);
    EXPECT_LE(pixelSize, 0.105f);

    // The start place is free for the vehicle, and the light hangs inside the room over the floor.
    EXPECT_TRUE(level.vehicleFree(files.startX, files.startZ));
    Box walls = level.room.bounds();
    EXPECT_GT(files.light.x, walls.lo.x);
    EXPECT_LT(files.light.x, walls.hi.x);
    EXPECT_GT(files.light.z, walls.lo.z);
    EXPECT_LT(files.light.z, walls.hi.z);
    EXPECT_LT(files.light.y, walls.hi.y);
    EXPECT_GT(files.light.y, level.floor.heightAt(files.light.x, files.light.z));
    EXPECT_LE(walls.lo.x, 0.0f);
    EXPECT_LE(walls.lo.z, 0.0f);
    EXPECT_GE(walls.hi.x, level.floor.extentX());
    EXPECT_GE(walls.hi.z, level.floor.extentZ());

    // Where the vehicle can drive to from the start, on a grid 0.05 apart.
    const float step = 0.05f;
    const int nx = static_cast<int>(level.floor.extentX() / step) + 1;
    const int nz = static_cast<int>(level.floor.extentZ() / step) + 1;
    std::vector<char> free(static_cast<size_t>(nx) * nz, 0), reached(free.size(), 0);
    for (int j = 0; j < nz; ++j)
        for (int i = 0; i < nx; ++i)
            free[j * nx + i] = level.vehicleFree(i * step, j * step);
    int si = static_cast<int>(std::lround(files.startX / step)),
        sj = static_cast<int>(std::lround(files.startZ / step));
    ASSERT_TRUE(free[sj * nx + si]);
    std::vector<int> queue { sj * nx + si };
    reached[queue[0]] = 1;
    while (!queue.empty()) {
        int k = queue.back();
        queue.pop_back();
        int i = k % nx, j = k / nx;
        for (auto [di, dj] : { std::pair { 1, 0 }, { -1, 0 }, { 0, 1 }, { 0, -1 } }) {
            int a = i + di, b = j + dj;
            if (a < 0 || b < 0 || a >= nx || b >= nz || !free[b * nx + a] || reached[b * nx + a])
                continue;
            reached[b * nx + a] = 1;
            queue.push_back(b * nx + a);
        }
    }

    const float reach = 0.75f;
    for (auto [x, y] : targets) {
        ASSERT_GT(x, 0u);
        ASSERT_GT(y, 0u);
        ASSERT_LT(x, level.paint.width - 1);
        ASSERT_LT(y, level.paint.height - 1);
        aiVector2D p = level.pixelCentre(x, y);
        float floorY = level.floor.heightAt(p.x, p.y);
        ASSERT_GE(floorY, 0.0f);
        for (const Box& b : level.room.boxes) {
            bool blocks = b.hi.y > floorY && b.lo.y < floorY + 0.2f;
            bool over = p.x > b.lo.x && p.x < b.hi.x && p.y > b.lo.z && p.y < b.hi.z;
            ASSERT_FALSE(blocks && over) << "target pixel " << x << "," << y << " lies under a room part";
        }
        bool canPaint = false;
        for (int j = std::max(0, (int)((p.y - reach) / step));
             j <= std::min(nz - 1, (int)((p.y + reach) / step)) && !canPaint; ++j)
            for (int i = std::max(0, (int)((p.x - reach) / step)); i <= std::min(nx - 1, (int)((p.x + reach) / step));
                 ++i)
                if (reached[j * nx + i] && std::abs(i * step - p.x) <= reach && std::abs(j * step - p.y) <= reach) {
                    canPaint = true;
                    break;
                }
        ASSERT_TRUE(canPaint) << "target pixel " << x << "," << y << " cannot be reached";
    }
}
}

TEST(Levels, HeightPictures)
{
    Floor tutorialFloor, serverFloor;
    ASSERT_TRUE(tutorialFloor.height.load(tutorial.height));
    ASSERT_TRUE(serverFloor.height.load(server.height));
    EXPECT_GE(tutorialFloor.extentX(), 5.0f);
    EXPECT_GE(tutorialFloor.extentZ(), 7.0f);
    EXPECT_GE(serverFloor.extentX(), 15.0f);
    EXPECT_GE(serverFloor.extentZ(), 12.0f);
    EXPECT_FLOAT_EQ(tutorialFloor.heightAt(0.808716f, 5.59216f), 0.0f);
    EXPECT_FLOAT_EQ(serverFloor.heightAt(3.0f, 9.5f), 1.0f);
    // The intro figure walks on the raised floor from (10.5, 4.8) to the west wall.
    for (float t = 0.0f; t <= 1.0f; t += 0.05f)
        EXPECT_FLOAT_EQ(serverFloor.heightAt(10.5f - 10.4f * t, 4.8f + 3.0f * t), 1.0f);
}

TEST(Levels, TutorialTargetsAreHintedAndReachable)
{
    checkLevel(tutorial);
}

TEST(Levels, ServerRoomTargetsAreHintedAndReachable)
{
    checkLevel(server);
}
