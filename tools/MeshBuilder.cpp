#include "MeshBuilder.h"

#include <algorithm>
#include <cmath>

namespace {
const float pi = 3.14159265358979f;

Vec cross(Vec a, Vec b)
{
    return Vec(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

Vec unit(Vec v)
{
    float l = v.Length();
    return l > 0.0f ? v / l : v;
}
}

MeshBuilder::MeshBuilder(float seam, bool textured)
    : seam(seam)
    , textured(textured)
{
}

unsigned MeshBuilder::addVertex(Vec p, Vec uv)
{
    positions.push_back(p);
    texcoords.push_back(uv);
    return static_cast<unsigned>(positions.size() - 1);
}

void MeshBuilder::polygon(const std::vector<Vec>& corners, const std::vector<Vec>& uvs)
{
    size_t n = corners.size();
    Vec normal(0, 0, 0);
    for (size_t i = 1; i + 1 < n; ++i)
        normal += cross(corners[i] - corners[0], corners[i + 1] - corners[0]);
    normal = unit(normal);
    // Push the face out by the seam and grow it in its plane by twice that, so that neighbouring
    // faces overlap at their edges instead of sharing corners.
    std::vector<unsigned> ids;
    for (size_t i = 0; i < n; ++i) {
        Vec prev = corners[(i + n - 1) % n], here = corners[i], next = corners[(i + 1) % n];
        Vec outA = unit(cross(here - prev, normal)), outB = unit(cross(next - here, normal));
        Vec bis = outA + outB;
        float d = 1.0f + (outA * outB);
        Vec offset = d > 0.01f ? bis * (2.0f * seam / d) : outA * (2.0f * seam);
        ids.push_back(addVertex(here + normal * seam + offset, i < uvs.size() ? uvs[i] : Vec()));
    }
    for (size_t i = 1; i + 1 < n; ++i) {
        indices.push_back(ids[0]);
        indices.push_back(ids[i]);
        indices.push_back(ids[i + 1]);
    }
}

void MeshBuilder::quad(Vec a, Vec b, Vec c, Vec d, Vec ta, Vec tb, Vec tc, Vec td)
{
    polygon({ a, b, c, d }, { ta, tb, tc, td });
}

void MeshBuilder::box(Vec lo, Vec hi)
{
    Vec p[8];
    for (int i = 0; i < 8; ++i)
        p[i] = Vec(i & 1 ? hi.x : lo.x, i & 2 ? hi.y : lo.y, i & 4 ? hi.z : lo.z);
    quad(p[4], p[5], p[7], p[6]); // +z
    quad(p[1], p[0], p[2], p[3]); // -z
    quad(p[5], p[1], p[3], p[7]); // +x
    quad(p[0], p[4], p[6], p[2]); // -x
    quad(p[6], p[7], p[3], p[2]); // +y
    quad(p[0], p[1], p[5], p[4]); // -y
}

void MeshBuilder::prismX(const std::vector<float>& zy, float x0, float x1)
{
    size_t n = zy.size() / 2;
    std::vector<Vec> right, left;
    for (size_t i = 0; i < n; ++i) {
        right.push_back(Vec(x1, zy[2 * i + 1], zy[2 * i]));
        left.push_back(Vec(x0, zy[2 * (n - 1 - i) + 1], zy[2 * (n - 1 - i)]));
    }
    // Seen from +x, z runs to the left, so the given order is clockwise there: reverse it.
    std::vector<Vec> rightFace(right.rbegin(), right.rend());
    polygon(rightFace);
    std::vector<Vec> leftFace(left.rbegin(), left.rend());
    polygon(leftFace);
    for (size_t i = 0; i < n; ++i) {
        size_t j = (i + 1) % n;
        Vec a(x0, zy[2 * i + 1], zy[2 * i]), b(x0, zy[2 * j + 1], zy[2 * j]);
        Vec c(x1, zy[2 * j + 1], zy[2 * j]), d(x1, zy[2 * i + 1], zy[2 * i]);
        quad(a, d, c, b);
    }
}

void MeshBuilder::cylinder(Vec start, int axis, float length, float radius, int segments, bool caps)
{
    auto at = [&](float along, float angle, float r) {
        float c = std::cos(angle) * r, s = std::sin(angle) * r;
        if (axis == 0)
            return start + Vec(along, c, s);
        if (axis == 1)
            return start + Vec(s, along, c);
        return start + Vec(c, s, along);
    };
    std::vector<Vec> points, uvs;
    for (int ring = 0; ring < 2; ++ring)
        for (int i = 0; i < segments; ++i) {
            points.push_back(at(ring * length, 2 * pi * i / segments, radius));
            uvs.push_back(Vec((float)i / segments, (float)ring, 0));
        }
    smoothGrid(points, uvs, 2, segments, true);
    if (!caps)
        return;
    std::vector<Vec> top, bottom;
    for (int i = 0; i < segments; ++i) {
        top.push_back(at(length, 2 * pi * i / segments, radius));
        bottom.push_back(at(0.0f, -2 * pi * i / segments, radius));
    }
    polygon(top);
    polygon(bottom);
}

void MeshBuilder::ellipsoid(Vec centre, Vec radii, int segments, int rings)
{
    std::vector<Vec> points, uvs;
    for (int r = 0; r <= rings; ++r) {
        // Keep the poles a little open so that no triangle degenerates to a point.
        float phi = pi * (0.02f + 0.96f * r / rings);
        for (int i = 0; i < segments; ++i) {
            float theta = 2 * pi * i / segments;
            Vec d(std::sin(phi) * std::sin(theta), -std::cos(phi), std::sin(phi) * std::cos(theta));
            points.push_back(centre + Vec(d.x * radii.x, d.y * radii.y, d.z * radii.z));
            uvs.push_back(Vec((float)i / segments, (float)r / rings, 0));
        }
    }
    smoothGrid(points, uvs, rings + 1, segments, true);
    std::vector<Vec> bottomCap, topCap;
    for (int i = 0; i < segments; ++i) {
        bottomCap.push_back(points[segments - 1 - i]);
        topCap.push_back(points[rings * segments + i]);
    }
    polygon(bottomCap);
    polygon(topCap);
}

void MeshBuilder::smoothGrid(
    const std::vector<Vec>& points, const std::vector<Vec>& uvs, int rows, int cols, bool wrapCols)
{
    unsigned base = static_cast<unsigned>(positions.size());
    for (size_t i = 0; i < points.size(); ++i)
        addVertex(points[i], i < uvs.size() ? uvs[i] : Vec());
    int colSpan = wrapCols ? cols : cols - 1;
    for (int r = 0; r + 1 < rows; ++r)
        for (int c = 0; c < colSpan; ++c) {
            unsigned a = base + r * cols + c, b = base + r * cols + (c + 1) % cols;
            unsigned d = base + (r + 1) * cols + c, e = base + (r + 1) * cols + (c + 1) % cols;
            indices.insert(indices.end(), { a, b, e, a, e, d });
        }
}

void MeshBuilder::bounds(Vec& lo, Vec& hi) const
{
    lo = hi = positions.empty() ? Vec() : positions[0];
    for (const Vec& p : positions) {
        lo = Vec(std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z));
        hi = Vec(std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z));
    }
}

aiMesh* MeshBuilder::build(const std::string& name, unsigned material, float scale) const
{
    aiMesh* mesh = new aiMesh;
    mesh->mName = name;
    mesh->mMaterialIndex = material;
    mesh->mPrimitiveTypes = aiPrimitiveType_TRIANGLE;
    mesh->mNumVertices = static_cast<unsigned>(positions.size());
    mesh->mVertices = new aiVector3D[positions.size()];
    for (size_t i = 0; i < positions.size(); ++i)
        mesh->mVertices[i] = positions[i] * scale;
    if (textured) {
        mesh->mTextureCoords[0] = new aiVector3D[positions.size()];
        mesh->mNumUVComponents[0] = 2;
        for (size_t i = 0; i < positions.size(); ++i)
            mesh->mTextureCoords[0][i] = texcoords[i];
    }
    mesh->mNumFaces = static_cast<unsigned>(indices.size() / 3);
    mesh->mFaces = new aiFace[mesh->mNumFaces];
    for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
        mesh->mFaces[f].mNumIndices = 3;
        mesh->mFaces[f].mIndices = new unsigned[3] { indices[3 * f], indices[3 * f + 1], indices[3 * f + 2] };
    }
    return mesh;
}
