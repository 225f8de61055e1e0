// What a model file asks the importer and the loader to build, counted from the file before the
// importer reads it and again from the scene as read. Their memory and time follow these counts,
// not the file's size: a material named in a dozen bytes costs the importer 9 KB (3DS) to 36 KB
// (OBJ), a face corner of two bytes up to 250 bytes, a polygon of n corners n squared steps.
#pragma once

#include <string>

class ModelCensus {
public:
    // Why building what was counted would cost more than the budget allows, or empty.
    std::string fault(const ModelCensus& budget) const;

    // What the game affords for one model, measured as the game's peak resident size (136 MB
    // with its own files): 2^21 corners take it to 520 MB, 1024 materials (OBJ) to 190 MB, 8192
    // meshes to 210 MB, 8192 nodes to 200 MB, all of them at once to 540 MB; the triangulation
    // budget is half a second's work (128 polygons of 1024 corners, or one of 11585).
    static const ModelCensus& gameBudget();

    // Face, line and point corners.
    unsigned long long corners = 0;
    unsigned long long materials = 0;
    // Objects, groups and material switches (each may start a mesh), or the meshes the loader makes.
    unsigned long long meshes = 0;
    // Animation nodes, and the pairs of a node and a mesh the importer tries to join by name.
    unsigned long long nodes = 0;
    unsigned long long nodeMeshPairs = 0;
    // Material libraries, each time one is named: a library named a thousand times is read a
    // thousand times.
    unsigned long long libraryBytes = 0;
    // The sum over polygons of more than four corners of their corners squared.
    unsigned long long triangulation = 0;
};
