// Collects the triangles of one model part. Flat faces get vertices of their own, set apart from
// their neighbours by a hair (`seam`), because the 3DS reader smooths the normals of every corner
// that faces share; curved surfaces share their vertices and come out smooth.
#pragma once

#include <assimp/mesh.h>

#include <string>
#include <vector>

using Vec = aiVector3D;

class MeshBuilder {
public:
    MeshBuilder(float seam, bool textured);

    // A flat convex polygon, corners counter-clockwise seen from its front; uvs optional.
    void polygon(const std::vector<Vec>& corners, const std::vector<Vec>& uvs = {});
    void quad(Vec a, Vec b, Vec c, Vec d, Vec ta = {}, Vec tb = {}, Vec tc = {}, Vec td = {});
    void box(Vec lo, Vec hi);
    // A prism: the polygon (z, y pairs, counter-clockwise with z to the right and y up) extruded
    // from x0 to x1.
    void prismX(const std::vector<float>& zy, float x0, float x1);
    // A cylinder along one axis (0 x, 1 y, 2 z) from start for length, with flat caps.
    void cylinder(Vec start, int axis, float length, float radius, int segments, bool caps = true);
    // An ellipsoid, smooth.
    void ellipsoid(Vec centre, Vec radii, int segments, int rings);
    // A smooth surface patch from a grid of rows x cols points, front counter-clockwise when
    // rows grow along the first and columns along the second tangent direction.
    void smoothGrid(const std::vector<Vec>& points, const std::vector<Vec>& uvs, int rows, int cols, bool wrapCols);

    bool empty() const
    {
        return indices.empty();
    }
    // Smallest and largest corner of all positions (before scaling).
    void bounds(Vec& lo, Vec& hi) const;
    // A new mesh of triangles with positions multiplied by scale.
    aiMesh* build(const std::string& name, unsigned material, float scale) const;

private:
    unsigned addVertex(Vec p, Vec uv);

    float seam;
    bool textured;
    std::vector<Vec> positions;
    std::vector<Vec> texcoords;
    std::vector<unsigned> indices;
};
