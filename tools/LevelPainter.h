// The level pictures: the height pictures of both floors, and for each level the paint
// picture (faint outlines of the drawing on a transparent floor) and the target picture (the
// drawing in opaque colours over a translucent map of the room).
#pragma once

#include "Image.h"
#include "RoomBuilder.h"

#include <functional>
#include <string>
#include <vector>

class LevelPainter {
public:
    explicit LevelPainter(const std::string& folder);

    bool writeTutorial(const std::vector<Footprint>& room);
    bool writeServer(const std::vector<Footprint>& room);

    // Paint-picture pixels per world unit (0.05 units per pixel).
    static constexpr float pixelsPerUnit = 20.0f;

private:
    // Colour index of the drawing at a world point (x, z), or -1.
    using Drawing = std::function<int(float x, float z)>;

    bool writeHeight(const std::string& name, int width, int height, int red) const;
    bool writePair(const std::string& paintName, const std::string& originalName, float floorW, float floorD,
        float floorY, const std::vector<Footprint>& room, const Drawing& drawing, const std::vector<Colour>& colours,
        float startX, float startZ, float facing) const;

    std::string folder;
};
