// Builds the two level rooms in world units: the tutorial room (written at scale 1) and the
// server room (written divided by its load scale of 5.5). Every part is its own mesh, since the
// game collides the vehicle with each mesh's box; the boxes are kept for the floor maps.
#pragma once

#include "ModelFile.h"

#include <string>
#include <vector>

struct Footprint {
    Vec lo, hi;
    // A door in a wall, left open on the floor maps.
    bool door = false;
};

class RoomBuilder {
public:
    explicit RoomBuilder(const std::string& folder);

    bool writeTutorialRoom();
    bool writeServerRoom();
    const std::vector<Footprint>& footprints() const
    {
        return boxes;
    }

    static constexpr float serverScale = 5.5f;

private:
    void add(ModelFile& file, const std::string& name, const MeshBuilder& part, unsigned material);
    void rackRow(ModelFile& file, float x0, float z0, int cabinets, unsigned bodyM, unsigned frontM, unsigned endM,
        unsigned trayM);

    std::string folder;
    std::vector<Footprint> boxes;
};
