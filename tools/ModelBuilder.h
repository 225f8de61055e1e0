// Builds the game's models: the crosshair, the player's vehicle and the intro figure, each
// written to its file under the resource folder.
#pragma once

#include <string>

class ModelBuilder {
public:
    explicit ModelBuilder(const std::string& folder);

    bool writeCrosshair() const;
    bool writeVehicle() const;
    bool writeFigure() const;

private:
    std::string folder;
};
