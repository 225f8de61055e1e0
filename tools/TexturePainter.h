// The small textures of the game: the default and white fallbacks, the floor surface, the
// vehicle's track tread, the server-rack fronts and the colour ball of the indicator.
#pragma once

#include <string>

class TexturePainter {
public:
    explicit TexturePainter(const std::string& folder);

    bool writeDefaults() const;
    bool writeFloor() const;
    bool writeTrack() const;
    bool writeRackFront() const;
    bool writeColourBall() const;

    // The track texture repeats once every this many model units along the track.
    static constexpr float trackRepeat = 27.6f;

private:
    std::string folder;
};
