// The game's desktop icon: paint strokes on a tiled floor with the little tracked vehicle,
// drawn anew at every hicolor size so that small icons stay crisp.
#pragma once

#include <string>

class Image;

class IconPainter {
public:
    // Writes <folder>/hicolor/<N>x<N>/apps/tintbox.png for every size.
    explicit IconPainter(const std::string& folder);

    bool writeAll() const;

    static constexpr int sizes[] = { 16, 24, 32, 48, 64, 128, 256 };

private:
    static Image paint(int size);

    std::string folder;
};
