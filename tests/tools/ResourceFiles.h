// Reading the generated resources back as the game reads them: Assimp with the game's import
// preset, walking the nodes in the game's order, and FreeImage pictures as RGBA rows, top first.
#pragma once

#include <assimp/Importer.hpp>
#include <assimp/scene.h>

#include <string>
#include <vector>

struct Box {
    aiVector3D lo, hi;
};

// The game's overlap rule for two boxes, each moved by its offset: strict on every axis.
bool boxesOverlap(const Box& own, const aiVector3D& ownOffset, const Box& other, const aiVector3D& otherOffset);

struct LoadedModel {
    Assimp::Importer importer;
    const aiScene* scene = nullptr;
    // Meshes in the order the game's loader meets them: a node's meshes, then its children.
    std::vector<const aiMesh*> meshes;
    std::vector<Box> boxes;

    bool load(const std::string& path, float scale);
    bool allTriangles() const;
    bool indicesValid() const;
    std::string textureOf(const aiMesh* mesh) const;
    Box bounds() const;
};

struct Picture {
    unsigned width = 0, height = 0, bpp = 0;
    std::vector<unsigned char> rgba; // top row first

    bool load(const std::string& path);
    const unsigned char* at(unsigned x, unsigned y) const
    {
        return &rgba[(y * width + x) * 4];
    }
};
