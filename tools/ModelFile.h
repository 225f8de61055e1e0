// One model file in the making: materials and named parts, written through Assimp's exporter.
// Every part hangs on the root node with an identity transform, so the order of the parts is
// the order in which a reader that walks the nodes meets them.
#pragma once

#include "MeshBuilder.h"

#include <assimp/material.h>

#include <string>
#include <vector>

struct MaterialSpec {
    std::string name;
    aiColor3D diffuse;
    aiColor3D ambient;
    aiColor3D specular;
    std::string texture;
};

class ModelFile {
public:
    // Positions are multiplied by scale when written (rooms are built in world units).
    explicit ModelFile(float scale = 1.0f);

    unsigned material(const MaterialSpec& spec);
    void add(const std::string& name, const MeshBuilder& part, unsigned materialIndex);
    size_t partCount() const
    {
        return parts.size();
    }
    // formatId "3ds" or "obj"; returns false with a message on standard output on failure.
    bool write(const std::string& path, const std::string& formatId) const;

private:
    struct Part {
        std::string name;
        MeshBuilder builder;
        unsigned material;
    };
    float scale;
    std::vector<MaterialSpec> materials;
    std::vector<Part> parts;
};
