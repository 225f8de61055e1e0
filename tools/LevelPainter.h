// The level pictures: the height pictures of both floors, and for each level the paint picture
// (every target pixel as a hint of half strength in its own colour, the tutorial's controls
// lettered near the start) and the target picture (the drawing in opaque colours at its place on
// a translucent plan of the room with its walls, doors and start place, beside an enlarged copy
// that reads at a glance).
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

    // Opacity of a hint: half way between the floor and the paint, so that it stands apart from
    // both; the floor shows through, and a hint never equals its opaque target.
    static constexpr float hintAlpha = 128.0f / 255.0f;

private:
    // Colour index of the drawing at a world point (x, z), or -1.
    using Drawing = std::function<int(float x, float z)>;

    // Where the vehicle stands and which way it looks when the level starts, in world x and z.
    struct Start {
        float x, z, headingX, headingZ;
    };

    // The drawing laid out on the paint pictures' pixels.
    struct Layout {
        float pixelsPerUnit = 0;
        int width = 0, height = 0;
        std::vector<int> index; // colour index per pixel, -1 off the drawing
        std::vector<Colour> colours;
        int lo[2] = {}, hi[2] = {}; // the drawing's bounds: first and last column and row

        int at(int c, int r) const
        {
            return index[static_cast<size_t>(r) * width + c];
        }
    };

    // A line of floor lettering, upright for a player looking along +z, or along +x where
    // `facingX` is set; (x, z) is the middle of the near edge of its capitals. Each font row
    // takes `stretch` picture rows: tall letters stay legible when seen at a slant.
    struct Line {
        const char* text;
        float x, z;
        bool facingX = false;
        int stretch = 1;
    };

    bool writeHeight(const std::string& name, int width, int height, int red) const;
    static Layout layOut(
        float floorW, float floorD, float pixelsPerUnit, const Drawing& drawing, const std::vector<Colour>& colours);
    static Image paintPicture(const Layout& layout, const std::vector<Line>& lettering);
    static Image targetPicture(const Layout& layout, float floorY, const std::vector<Footprint>& room, Start start);
    bool writePair(const std::string& paintName, const std::string& originalName, const Layout& layout, float floorY,
        const std::vector<Footprint>& room, Start start, const std::vector<Line>& lettering) const;

    std::string folder;
};
