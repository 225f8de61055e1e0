#include "ModelBuilder.h"

#include "ModelFile.h"
#include "TexturePainter.h"

#include <cmath>

namespace {
const float pi = 3.14159265358979f;

MaterialSpec colour(const std::string& name, float r, float g, float b, float ambient = 2.0f, float specular = 0.15f)
{
    return { name, aiColor3D(r, g, b), aiColor3D(r * ambient, g * ambient, b * ambient),
        aiColor3D(specular, specular, specular), "" };
}

// The outline of a track seen from the side: a stadium around the wheels, walked forwards along
// the bottom, up the front, back along the top and down the rear (z, y pairs).
std::vector<std::pair<float, float>> trackPath(float radius)
{
    const float zc = 1.3f, yc = 0.45f;
    std::vector<std::pair<float, float>> path;
    const int straight = 6, arc = 10;
    for (int i = 0; i < straight; ++i)
        path.push_back({ -zc + 2 * zc * i / straight, yc - radius });
    for (int i = 0; i < arc; ++i) {
        float a = -pi / 2 + pi * i / arc;
        path.push_back({ zc + radius * std::cos(a), yc + radius * std::sin(a) });
    }
    for (int i = 0; i < straight; ++i)
        path.push_back({ zc - 2 * zc * i / straight, yc + radius });
    for (int i = 0; i < arc; ++i) {
        float a = pi / 2 + pi * i / arc;
        path.push_back({ -zc + radius * std::cos(a), yc + radius * std::sin(a) });
    }
    return path;
}

// A track loop between x0 and x1, with u along the track: outer tread, inner face and the two
// side edges.
MeshBuilder track(float x0, float x1)
{
    MeshBuilder mb(0.002f, true);
    const float outer = 0.45f, inner = 0.35f;
    auto out = trackPath(outer), in = trackPath(inner);
    out.push_back(out.front());
    in.push_back(in.front());
    std::vector<float> u(out.size(), 0.0f);
    for (size_t i = 1; i < out.size(); ++i) {
        float dz = out[i].first - out[i - 1].first, dy = out[i].second - out[i - 1].second;
        u[i] = u[i - 1] + std::sqrt(dz * dz + dy * dy) / TexturePainter::trackRepeat;
    }
    int cols = static_cast<int>(out.size());
    std::vector<Vec> outerPts, outerUv, innerPts, innerUv;
    for (float x : { x1, x0 })
        for (int i = 0; i < cols; ++i) {
            outerPts.push_back(Vec(x, out[i].second, out[i].first));
            outerUv.push_back(Vec(u[i], x == x1 ? 1.0f : 0.0f, 0));
        }
    for (float x : { x0, x1 })
        for (int i = 0; i < cols; ++i) {
            innerPts.push_back(Vec(x, in[i].second, in[i].first));
            innerUv.push_back(Vec(u[i], x == x1 ? 1.0f : 0.0f, 0));
        }
    mb.smoothGrid(outerPts, outerUv, 2, cols, false);
    mb.smoothGrid(innerPts, innerUv, 2, cols, false);
    for (int i = 0; i + 1 < cols; ++i) {
        Vec o0(x1, out[i].second, out[i].first), o1(x1, out[i + 1].second, out[i + 1].first);
        Vec i0(x1, in[i].second, in[i].first), i1(x1, in[i + 1].second, in[i + 1].first);
        Vec t0(u[i], 0.05f, 0), t1(u[i + 1], 0.05f, 0);
        mb.quad(i0, i1, o1, o0, t0, t1, t1, t0);
        Vec p0(x0, out[i].second, out[i].first), p1(x0, out[i + 1].second, out[i + 1].first);
        Vec q0(x0, in[i].second, in[i].first), q1(x0, in[i + 1].second, in[i + 1].first);
        mb.quad(q0, p0, p1, q1, t0, t0, t1, t1);
    }
    return mb;
}

MeshBuilder wheel(float x0, float x1, float z)
{
    MeshBuilder mb(0.002f, false);
    mb.cylinder(Vec(x0, 0.43f, z), 0, x1 - x0, 0.29f, 14);
    return mb;
}
}

ModelBuilder::ModelBuilder(const std::string& folder)
    : folder(folder)
{
}

bool ModelBuilder::writeCrosshair() const
{
    // One square, flat in z = 0, that the orthographic program turns into a ring measured in
    // pixels: round at any aspect. Its texture coordinates lie below -1, where no picture has
    // any, which is how the program tells it from the pictures it also draws. The ring spans
    // 0.033 device units of height at any size; the square 0.035 after the scale 0.05.
    ModelFile file;
    unsigned white = file.material(colour("cross", 1, 1, 1, 1.0f, 0.0f));
    MeshBuilder mb(0.0f, true);
    const float h = 0.7f;
    mb.quad(Vec(-h, -h, 0), Vec(h, -h, 0), Vec(h, h, 0), Vec(-h, h, 0), Vec(-3, -3, 0), Vec(-2, -3, 0), Vec(-2, -2, 0),
        Vec(-3, -2, 0));
    file.add("crosshair", mb, white);
    return file.write(folder + "/crosshair.obj", "obj");
}

bool ModelBuilder::writeVehicle() const
{
    // Front along +z, origin at the bottom centre; 3 wide, 2 high, 3.5 long. Parts 1 and 12 are
    // the left (+x) and right (-x) tracks.
    ModelFile file;
    unsigned hullM = file.material(colour("hull", 0.10f, 0.62f, 0.66f, 2.0f, 0.25f));
    unsigned trackM = file.material(
        { "track", aiColor3D(0.95f, 0.95f, 0.95f), aiColor3D(2, 2, 2), aiColor3D(0.1f, 0.1f, 0.1f), "track.png" });
    unsigned wheelM = file.material(colour("wheel", 0.46f, 0.47f, 0.52f, 2.0f, 0.3f));
    unsigned cabM = file.material(colour("cab", 0.96f, 0.76f, 0.18f, 2.0f, 0.3f));
    unsigned metalM = file.material(colour("metal", 0.70f, 0.72f, 0.76f, 2.0f, 0.6f));
    unsigned brushM = file.material(colour("brush", 0.93f, 0.20f, 0.26f));
    unsigned lampM = file.material(colour("lamp", 1.0f, 0.95f, 0.72f, 8.0f, 0.5f));
    unsigned tankM = file.material(colour("tank", 0.22f, 0.55f, 0.95f, 2.0f, 0.4f));
    unsigned darkM = file.material(colour("dark", 0.12f, 0.12f, 0.14f));
    unsigned glassM = file.material(colour("glass", 0.22f, 0.38f, 0.55f, 2.0f, 0.9f));

    MeshBuilder hull(0.002f, false);
    hull.prismX({ -1.45f, 0.35f, 1.45f, 0.35f, 1.7f, 0.75f, 1.2f, 1.05f, -1.5f, 1.05f, -1.6f, 0.6f }, -0.95f, 0.95f);
    file.add("hull", hull, hullM);
    file.add("trackL", track(0.95f, 1.45f), trackM);
    const float wheelZ[] = { -1.28f, -0.43f, 0.43f, 1.28f };
    for (float z : wheelZ)
        file.add("wheelL", wheel(1.0f, 1.4f, z), wheelM);
    MeshBuilder cab(0.002f, false);
    cab.prismX({ -1.2f, 1.0f, 0.5f, 1.0f, 0.3f, 1.55f, -1.1f, 1.55f }, -0.7f, 0.7f);
    file.add("cab", cab, cabM);
    MeshBuilder arm(0.002f, false);
    arm.box(Vec(-0.1f, 1.12f, 0.3f), Vec(0.1f, 1.3f, 1.62f));
    arm.box(Vec(-0.1f, 0.5f, 1.44f), Vec(0.1f, 1.12f, 1.62f));
    file.add("arm", arm, metalM);
    MeshBuilder brush(0.002f, false);
    brush.box(Vec(-0.55f, 0.1f, 1.5f), Vec(0.55f, 0.5f, 1.74f));
    file.add("brush", brush, brushM);
    for (float x : { 0.6f, -0.6f }) {
        MeshBuilder lamp(0.002f, false);
        lamp.cylinder(Vec(x, 0.86f, 1.36f), 2, 0.2f, 0.11f, 12);
        file.add(x > 0 ? "lampL" : "lampR", lamp, lampM);
    }
    MeshBuilder tank(0.002f, false);
    tank.cylinder(Vec(0, 1.55f, -0.55f), 1, 0.35f, 0.33f, 16);
    file.add("tank", tank, tankM);
    file.add("trackR", track(-1.45f, -0.95f), trackM);
    for (float z : wheelZ)
        file.add("wheelR", wheel(-1.4f, -1.0f, z), wheelM);
    MeshBuilder antenna(0.002f, false);
    antenna.box(Vec(0.45f, 1.55f, -1.0f), Vec(0.5f, 1.96f, -0.95f));
    antenna.ellipsoid(Vec(0.475f, 1.96f, -0.975f), Vec(0.04f, 0.04f, 0.04f), 8, 4);
    file.add("antenna", antenna, darkM);
    MeshBuilder glass(0.002f, false);
    glass.quad(
        Vec(0.55f, 1.08f, 0.49f), Vec(0.55f, 1.45f, 0.34f), Vec(-0.55f, 1.45f, 0.34f), Vec(-0.55f, 1.08f, 0.49f));
    file.add("window", glass, glassM);
    return file.write(folder + "/Tintbox.3ds", "3ds");
}

bool ModelBuilder::writeFigure() const
{
    // Feet at y = 0, facing -z, about 1.75 tall; parts 0 and 2 are the arms, hanging from the
    // shoulders at (-0.9, 1.22, 0) and (0.9, 1.22, 0).
    ModelFile file;
    unsigned skinM = file.material(colour("skin", 0.94f, 0.90f, 0.86f, 2.2f, 0.2f));
    unsigned shirtM = file.material(colour("shirt", 0.20f, 0.32f, 0.58f, 2.0f, 0.1f));
    unsigned trousersM = file.material(colour("trousers", 0.22f, 0.22f, 0.25f));
    unsigned shoeM = file.material(colour("shoes", 0.08f, 0.07f, 0.07f, 2.0f, 0.4f));
    unsigned eyeM = file.material(colour("eyes", 0.06f, 0.06f, 0.08f, 2.0f, 0.8f));
    unsigned noseM = file.material(colour("nose", 0.95f, 0.66f, 0.62f));
    unsigned hairM = file.material(colour("hair", 0.35f, 0.22f, 0.12f));
    unsigned tieM = file.material(colour("tie", 0.85f, 0.18f, 0.22f));

    auto armPart = [](float side) {
        MeshBuilder mb(0.002f, false);
        mb.ellipsoid(Vec(side * 0.9f, 1.2f, 0), Vec(0.17f, 0.15f, 0.17f), 12, 6);
        mb.cylinder(Vec(side * 0.96f, 0.52f, 0), 1, 0.68f, 0.12f, 12, false);
        mb.ellipsoid(Vec(side * 0.97f, 0.46f, 0), Vec(0.13f, 0.14f, 0.13f), 10, 5);
        return mb;
    };
    file.add("armL", armPart(-1.0f), skinM);
    MeshBuilder body(0.002f, false);
    body.ellipsoid(Vec(0, 0.93f, 0), Vec(0.84f, 0.52f, 0.46f), 20, 10);
    file.add("body", body, shirtM);
    file.add("armR", armPart(1.0f), skinM);
    MeshBuilder head(0.002f, false);
    head.ellipsoid(Vec(0, 1.5f, 0), Vec(0.25f, 0.25f, 0.24f), 16, 10);
    file.add("head", head, skinM);
    for (float side : { -1.0f, 1.0f }) {
        MeshBuilder leg(0.002f, false);
        leg.cylinder(Vec(side * 0.34f, 0.08f, 0), 1, 0.5f, 0.16f, 12);
        file.add(side < 0 ? "legL" : "legR", leg, trousersM);
    }
    MeshBuilder shoes(0.002f, false);
    shoes.box(Vec(-0.52f, 0, -0.32f), Vec(-0.17f, 0.12f, 0.15f));
    shoes.box(Vec(0.17f, 0, -0.32f), Vec(0.52f, 0.12f, 0.15f));
    file.add("shoes", shoes, shoeM);
    MeshBuilder eyes(0.002f, false);
    eyes.ellipsoid(Vec(-0.09f, 1.55f, -0.215f), Vec(0.04f, 0.05f, 0.03f), 8, 4);
    eyes.ellipsoid(Vec(0.09f, 1.55f, -0.215f), Vec(0.04f, 0.05f, 0.03f), 8, 4);
    file.add("eyes", eyes, eyeM);
    MeshBuilder nose(0.002f, false);
    nose.ellipsoid(Vec(0, 1.48f, -0.25f), Vec(0.045f, 0.05f, 0.05f), 8, 4);
    file.add("nose", nose, noseM);
    MeshBuilder hair(0.002f, false);
    hair.ellipsoid(Vec(0, 1.6f, 0.02f), Vec(0.26f, 0.16f, 0.25f), 16, 6);
    file.add("hair", hair, hairM);
    MeshBuilder tie(0.002f, false);
    tie.box(Vec(-0.05f, 0.95f, -0.46f), Vec(0.05f, 1.3f, -0.42f));
    file.add("tie", tie, tieM);
    MeshBuilder mouth(0.002f, false);
    mouth.box(Vec(-0.07f, 1.4f, -0.235f), Vec(0.07f, 1.42f, -0.2f));
    file.add("mouth", mouth, eyeM);
    return file.write(folder + "/paleface.3ds", "3ds");
}
