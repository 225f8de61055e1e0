#include "RoomBuilder.h"

namespace {
MaterialSpec colour(const std::string& name, float r, float g, float b, float ambient = 2.5f, float specular = 0.1f)
{
    return { name, aiColor3D(r, g, b), aiColor3D(r * ambient, g * ambient, b * ambient),
        aiColor3D(specular, specular, specular), "" };
}

MeshBuilder boxPart(float seam, Vec lo, Vec hi)
{
    MeshBuilder mb(seam, false);
    mb.box(lo, hi);
    return mb;
}
}

RoomBuilder::RoomBuilder(const std::string& folder)
    : folder(folder)
{
}

void RoomBuilder::add(ModelFile& file, const std::string& name, const MeshBuilder& part, unsigned material)
{
    Footprint f;
    part.bounds(f.lo, f.hi);
    f.door = name == "door";
    boxes.push_back(f);
    file.add(name, part, material);
}

bool RoomBuilder::writeTutorialRoom()
{
    // The floor runs from (0, 0) to (5.5, 7.5); the light hangs at (1.07, 7.41, 3.38), under a
    // ceiling at 7.8. The player starts at (0.81, 5.59) looking towards the door wall (+z).
    boxes.clear();
    const float s = 0.003f, W = 5.5f, D = 7.5f, H = 7.8f, t = 0.12f;
    ModelFile file;
    unsigned wallM = file.material(colour("wall", 0.93f, 0.86f, 0.72f, 2.2f));
    // The window's texts fall on the panels, skirting and rails in normal play: a deep green and
    // a dark wood keep them readable.
    unsigned panelM = file.material(colour("panel", 0.3f, 0.44f, 0.37f, 2.2f));
    unsigned skirtM = file.material(colour("skirting", 0.36f, 0.24f, 0.15f, 2.2f, 0.15f));
    unsigned trimM = file.material(colour("trim", 0.96f, 0.96f, 0.94f, 2.2f, 0.3f));
    unsigned woodM = file.material(colour("wood", 0.55f, 0.34f, 0.18f, 2.2f, 0.25f));
    unsigned brassM = file.material(colour("brass", 0.9f, 0.72f, 0.3f, 2.0f, 0.8f));
    unsigned skyM = file.material(colour("sky", 0.62f, 0.82f, 1.0f, 6.0f, 0.6f));
    unsigned ceilM = file.material(colour("ceiling", 0.95f, 0.95f, 0.95f, 3.0f));
    unsigned lampM = file.material(colour("lampshade", 1.0f, 0.93f, 0.75f, 7.0f, 0.3f));
    unsigned shelfM = file.material(colour("shelf", 0.78f, 0.58f, 0.38f, 2.2f));
    unsigned redM = file.material(colour("red", 0.85f, 0.2f, 0.22f, 2.2f, 0.3f));
    unsigned blueM = file.material(colour("blue", 0.2f, 0.45f, 0.85f, 2.2f, 0.3f));
    unsigned cardM = file.material(colour("cardboard", 0.76f, 0.6f, 0.4f, 2.2f));
    unsigned tableM = file.material(colour("tabletop", 0.92f, 0.92f, 0.9f, 2.2f, 0.4f));
    unsigned greenM = file.material(colour("green", 0.3f, 0.72f, 0.36f, 2.2f, 0.3f));

    add(file, "panelN", boxPart(s, Vec(0, 0, 0), Vec(W, 1.0f, 0.02f)), panelM);
    add(file, "panelS", boxPart(s, Vec(0, 0, D - 0.02f), Vec(W, 1.0f, D)), panelM);
    add(file, "panelW", boxPart(s, Vec(0, 0, 0.02f), Vec(0.02f, 1.0f, D - 0.02f)), panelM);
    add(file, "panelE", boxPart(s, Vec(W - 0.02f, 0, 0.02f), Vec(W, 1.0f, D - 0.02f)), panelM);
    add(file, "skirtN", boxPart(s, Vec(0, 0, 0), Vec(W, 0.12f, 0.04f)), skirtM);
    add(file, "skirtS", boxPart(s, Vec(0, 0, D - 0.04f), Vec(W, 0.12f, D)), skirtM);
    add(file, "skirtW", boxPart(s, Vec(0, 0, 0.04f), Vec(0.04f, 0.12f, D - 0.04f)), skirtM);
    add(file, "skirtE", boxPart(s, Vec(W - 0.04f, 0, 0.04f), Vec(W, 0.12f, D - 0.04f)), skirtM);
    add(file, "railN", boxPart(s, Vec(0, 1.0f, 0), Vec(W, 1.06f, 0.035f)), skirtM);
    add(file, "railS", boxPart(s, Vec(0, 1.0f, D - 0.035f), Vec(W, 1.06f, D)), skirtM);

    // The door in the wall ahead of the start, with its frame and knob.
    add(file, "door", boxPart(s, Vec(3.6f, 0, D - 0.05f), Vec(4.5f, 2.1f, D)), woodM);
    MeshBuilder frame(s, false);
    frame.box(Vec(3.5f, 0, D - 0.07f), Vec(3.6f, 2.2f, D));
    frame.box(Vec(4.5f, 0, D - 0.07f), Vec(4.6f, 2.2f, D));
    frame.box(Vec(3.5f, 2.1f, D - 0.07f), Vec(4.6f, 2.2f, D));
    add(file, "doorframe", frame, trimM);
    MeshBuilder knob(s, false);
    knob.ellipsoid(Vec(4.38f, 1.0f, D - 0.09f), Vec(0.045f, 0.045f, 0.04f), 10, 5);
    add(file, "knob", knob, brassM);

    // A tall window in the west wall.
    MeshBuilder sky(s, false);
    sky.quad(Vec(0.005f, 2.6f, 4.8f), Vec(0.005f, 2.6f, 2.2f), Vec(0.005f, 5.4f, 2.2f), Vec(0.005f, 5.4f, 4.8f));
    add(file, "window", sky, skyM);
    MeshBuilder sash(s, false);
    sash.box(Vec(0, 2.5f, 2.1f), Vec(0.08f, 2.6f, 4.9f));
    sash.box(Vec(0, 5.4f, 2.1f), Vec(0.08f, 5.5f, 4.9f));
    sash.box(Vec(0, 2.6f, 2.1f), Vec(0.08f, 5.4f, 2.2f));
    sash.box(Vec(0, 2.6f, 4.8f), Vec(0.08f, 5.4f, 4.9f));
    sash.box(Vec(0, 2.6f, 3.46f), Vec(0.06f, 5.4f, 3.54f));
    sash.box(Vec(0, 3.96f, 2.2f), Vec(0.06f, 4.04f, 4.8f));
    add(file, "sash", sash, trimM);

    // The lamp sits just above the light, so it never stands between the light and the floor.
    MeshBuilder lamp(s, false);
    lamp.cylinder(Vec(1.07f, 7.45f, 3.38f), 1, 0.2f, 0.32f, 20);
    add(file, "lamp", lamp, lampM);
    add(file, "cord", boxPart(s, Vec(1.05f, 7.65f, 3.36f), Vec(1.09f, H, 3.4f)), woodM);

    // A shelf against the east wall with books, boxes and paint tins.
    MeshBuilder shelf(s, false);
    shelf.box(Vec(5.1f, 0, 1.0f), Vec(5.46f, 2.0f, 1.04f));
    shelf.box(Vec(5.1f, 0, 2.96f), Vec(5.46f, 2.0f, 3.0f));
    for (float y : { 0.15f, 0.75f, 1.35f, 1.95f })
        shelf.box(Vec(5.1f, y, 1.04f), Vec(5.46f, y + 0.05f, 2.96f));
    add(file, "shelf", shelf, shelfM);
    MeshBuilder books(s, false);
    for (int i = 0; i < 7; ++i)
        books.box(Vec(5.16f, 0.8f, 1.1f + i * 0.09f), Vec(5.4f, 1.1f + (i % 3) * 0.05f, 1.17f + i * 0.09f));
    add(file, "books", books, redM);
    MeshBuilder tins(s, false);
    tins.cylinder(Vec(5.28f, 0.2f, 2.2f), 1, 0.22f, 0.11f, 12);
    tins.cylinder(Vec(5.28f, 0.2f, 2.55f), 1, 0.22f, 0.11f, 12);
    tins.cylinder(Vec(5.28f, 1.4f, 2.4f), 1, 0.22f, 0.11f, 12);
    add(file, "tins", tins, blueM);
    MeshBuilder crates(s, false);
    crates.box(Vec(5.14f, 1.4f, 1.1f), Vec(5.42f, 1.7f, 1.6f));
    crates.box(Vec(5.14f, 0.2f, 1.2f), Vec(5.42f, 0.6f, 1.8f));
    add(file, "crates", crates, cardM);

    // A work table in the north half and a stack of cardboard boxes in the north-west corner.
    add(file, "tabletop", boxPart(s, Vec(2.6f, 0.72f, 1.2f), Vec(4.0f, 0.78f, 2.2f)), tableM);
    MeshBuilder legs(s, false);
    for (float x : { 2.66f, 3.88f })
        for (float z : { 1.26f, 2.08f })
            legs.box(Vec(x, 0, z), Vec(x + 0.06f, 0.72f, z + 0.06f));
    add(file, "tablelegs", legs, woodM);
    MeshBuilder bucket(s, false);
    bucket.cylinder(Vec(3.1f, 0.78f, 1.6f), 1, 0.18f, 0.1f, 14);
    add(file, "bucket", bucket, greenM);
    add(file, "box1", boxPart(s, Vec(0.1f, 0, 0.1f), Vec(0.7f, 0.45f, 0.6f)), cardM);
    add(file, "box2", boxPart(s, Vec(0.15f, 0.45f, 0.15f), Vec(0.6f, 0.8f, 0.55f)), cardM);
    add(file, "box3", boxPart(s, Vec(0.8f, 0, 0.1f), Vec(1.2f, 0.35f, 0.45f)), cardM);
    // Walls and ceiling come last: everything else stands in front of them, so that their hidden
    // fragments fail the depth test before they are shaded.
    add(file, "wallN", boxPart(s, Vec(-t, 0, -t), Vec(W + t, H, 0)), wallM);
    add(file, "wallS", boxPart(s, Vec(-t, 0, D), Vec(W + t, H, D + t)), wallM);
    add(file, "wallW", boxPart(s, Vec(-t, 0, 0), Vec(0, H, D)), wallM);
    add(file, "wallE", boxPart(s, Vec(W, 0, 0), Vec(W + t, H, D)), wallM);
    add(file, "ceiling", boxPart(s, Vec(-t, H, -t), Vec(W + t, H + 0.1f, D + t)), ceilM);
    return file.write(folder + "/tutorialRoom.3ds", "3ds");
}

void RoomBuilder::rackRow(
    ModelFile& file, float x0, float z0, int cabinets, unsigned bodyM, unsigned frontM, unsigned endM, unsigned trayM)
{
    // A row of cabinets along x, 0.6 wide, 1.0 deep, standing on the raised floor at y = 1.
    const float s = 0.0055f, w = 0.6f, depth = 1.0f, y0 = 1.0f, y1 = 2.5f;
    float x1 = x0 + cabinets * w, z1 = z0 + depth;
    add(file, "rack", boxPart(s, Vec(x0 + 0.03f, y0, z0 + 0.02f), Vec(x1 - 0.03f, y1, z1 - 0.02f)), bodyM);
    MeshBuilder fronts(s, true);
    float u = cabinets / 4.0f;
    fronts.quad(Vec(x1 - 0.03f, y0 + 0.05f, z0), Vec(x0 + 0.03f, y0 + 0.05f, z0), Vec(x0 + 0.03f, y1, z0),
        Vec(x1 - 0.03f, y1, z0), Vec(0, 0, 0), Vec(u, 0, 0), Vec(u, 1, 0), Vec(0, 1, 0));
    fronts.quad(Vec(x0 + 0.03f, y0 + 0.05f, z1), Vec(x1 - 0.03f, y0 + 0.05f, z1), Vec(x1 - 0.03f, y1, z1),
        Vec(x0 + 0.03f, y1, z1), Vec(0.5f, 0, 0), Vec(0.5f + u, 0, 0), Vec(0.5f + u, 1, 0), Vec(0.5f, 1, 0));
    add(file, "rackfront", fronts, frontM);
    MeshBuilder ends(s, false);
    ends.box(Vec(x0, y0, z0), Vec(x0 + 0.03f, y1 + 0.04f, z1));
    ends.box(Vec(x1 - 0.03f, y0, z0), Vec(x1, y1 + 0.04f, z1));
    ends.box(Vec(x0, y1, z0), Vec(x1, y1 + 0.04f, z1));
    add(file, "rackend", ends, endM);
    MeshBuilder tray(s, false);
    tray.box(Vec(x0, 3.0f, z0 + 0.3f), Vec(x1, 3.04f, z1 - 0.3f));
    tray.box(Vec(x0, 3.04f, z0 + 0.3f), Vec(x1, 3.1f, z0 + 0.33f));
    tray.box(Vec(x0, 3.04f, z1 - 0.33f), Vec(x1, 3.1f, z1 - 0.3f));
    add(file, "tray", tray, trayM);
}

bool RoomBuilder::writeServerRoom()
{
    // World units; the file holds them divided by 5.5. The raised floor is at y = 1 over
    // (0, 0) to (15, 12). The west wall is one-sided, facing into the room, so that the intro
    // camera outside it looks through it; the figure walks out through its door at z = 7.85.
    boxes.clear();
    const float s = 0.0055f, W = 15.0f, D = 12.0f, H = 4.2f, t = 0.1f;
    ModelFile file(1.0f / serverScale);
    // The west wall faces the light head-on; a lighter grey would turn it pure white.
    unsigned wallM = file.material(colour("wall", 0.6f, 0.63f, 0.66f, 2.0f));
    unsigned bandM = file.material(colour("band", 0.12f, 0.5f, 0.72f, 2.0f, 0.3f));
    unsigned skirtM = file.material(colour("skirting", 0.2f, 0.22f, 0.25f, 2.0f, 0.05f));
    unsigned doorM = file.material(colour("door", 0.42f, 0.48f, 0.56f, 2.0f, 0.4f));
    unsigned exitM = file.material(colour("exit", 0.2f, 0.9f, 0.4f, 5.0f, 0.2f));
    unsigned bodyM = file.material(colour("rackbody", 0.13f, 0.14f, 0.16f, 2.0f, 0.3f));
    unsigned frontM = file.material(
        { "rackfront", aiColor3D(1, 1, 1), aiColor3D(3.5f, 3.5f, 3.5f), aiColor3D(0.3f, 0.3f, 0.3f), "rack.png" });
    unsigned endM = file.material(colour("rackend", 0.1f, 0.36f, 0.62f, 2.0f, 0.4f));
    unsigned trayM = file.material(colour("tray", 0.92f, 0.75f, 0.15f, 2.0f, 0.3f));
    unsigned cracM = file.material(colour("crac", 0.88f, 0.89f, 0.9f, 2.0f, 0.3f));
    unsigned grilleM = file.material(colour("grille", 0.3f, 0.32f, 0.35f, 2.0f));
    unsigned ceilM = file.material(colour("ceiling", 0.85f, 0.86f, 0.88f, 2.0f));
    unsigned panelLightM = file.material(colour("lightpanel", 1.0f, 0.98f, 0.92f, 6.0f));
    unsigned deskM = file.material(colour("desk", 0.8f, 0.78f, 0.74f, 2.0f, 0.3f));
    unsigned blackM = file.material(colour("black", 0.06f, 0.06f, 0.07f, 2.0f, 0.5f));
    unsigned screenM = file.material(colour("screen", 0.3f, 0.65f, 1.0f, 5.0f, 0.6f));
    unsigned redM = file.material(colour("red", 0.85f, 0.12f, 0.12f, 2.0f, 0.5f));
    unsigned pipeM = file.material(colour("pipe", 0.62f, 0.64f, 0.68f, 2.0f, 0.6f));

    // A tall dark skirting, a dado: the window's texts fall on the west wall, which faces the
    // light, in the start view after the intro.
    const float top = 2.0f;
    add(file, "skirtN", boxPart(s, Vec(0, 0.9f, 0), Vec(W, top, 0.04f)), skirtM);
    add(file, "skirtS", boxPart(s, Vec(0, 0.9f, D - 0.04f), Vec(W, top, D)), skirtM);
    add(file, "skirtE", boxPart(s, Vec(W - 0.04f, 0.9f, 0.04f), Vec(W, top, D - 0.04f)), skirtM);
    MeshBuilder westSkirt(s, false);
    westSkirt.quad(Vec(0.01f, 0.9f, D), Vec(0.01f, 0.9f, 0), Vec(0.01f, top, 0), Vec(0.01f, top, D));
    add(file, "skirtW", westSkirt, skirtM);
    add(file, "bandN", boxPart(s, Vec(0, 2.7f, 0), Vec(W, 2.9f, 0.02f)), bandM);
    add(file, "bandS", boxPart(s, Vec(0, 2.7f, D - 0.02f), Vec(W, 2.9f, D)), bandM);
    add(file, "bandE", boxPart(s, Vec(W - 0.02f, 2.7f, 0.02f), Vec(W, 2.9f, D - 0.02f)), bandM);

    // The door in the west wall, facing into the room only, and the exit sign above it.
    MeshBuilder door(s, false);
    door.quad(Vec(0.02f, 1.0f, 8.4f), Vec(0.02f, 1.0f, 7.3f), Vec(0.02f, 2.6f, 7.3f), Vec(0.02f, 2.6f, 8.4f));
    add(file, "door", door, doorM);
    MeshBuilder frame(s, false);
    frame.quad(Vec(0.025f, 1.0f, 7.3f), Vec(0.025f, 1.0f, 7.2f), Vec(0.025f, 2.7f, 7.2f), Vec(0.025f, 2.7f, 7.3f));
    frame.quad(Vec(0.025f, 1.0f, 8.5f), Vec(0.025f, 1.0f, 8.4f), Vec(0.025f, 2.7f, 8.4f), Vec(0.025f, 2.7f, 8.5f));
    frame.quad(Vec(0.025f, 2.6f, 8.4f), Vec(0.025f, 2.6f, 7.3f), Vec(0.025f, 2.7f, 7.3f), Vec(0.025f, 2.7f, 8.4f));
    add(file, "doorframe", frame, skirtM);
    MeshBuilder sign(s, false);
    sign.quad(Vec(0.03f, 2.8f, 8.1f), Vec(0.03f, 2.8f, 7.6f), Vec(0.03f, 3.0f, 7.6f), Vec(0.03f, 3.0f, 8.1f));
    add(file, "exitsign", sign, exitM);

    rackRow(file, 4.0f, 1.2f, 16, bodyM, frontM, endM, trayM);
    rackRow(file, 4.0f, 3.3f, 7, bodyM, frontM, endM, trayM);
    rackRow(file, 8.0f, 6.9f, 9, bodyM, frontM, endM, trayM);
    rackRow(file, 8.0f, 9.1f, 9, bodyM, frontM, endM, trayM);
    rackRow(file, 4.4f, 10.0f, 5, bodyM, frontM, endM, trayM);

    // Two air conditioners against the north wall, west of the racks.
    for (float x : { 0.4f, 2.0f }) {
        add(file, "crac", boxPart(s, Vec(x, 1.0f, 0.05f), Vec(x + 1.4f, 2.8f, 0.9f)), cracM);
        MeshBuilder grille(s, false);
        for (float y = 1.3f; y < 2.6f; y += 0.18f)
            grille.box(Vec(x + 0.15f, y, 0.9f), Vec(x + 1.25f, y + 0.08f, 0.92f));
        add(file, "grille", grille, grilleM);
    }

    // An operator's desk by the west wall with a monitor.
    add(file, "desk", boxPart(s, Vec(0.2f, 1.72f, 3.0f), Vec(1.0f, 1.78f, 4.6f)), deskM);
    MeshBuilder deskLegs(s, false);
    deskLegs.box(Vec(0.25f, 1.0f, 3.05f), Vec(0.95f, 1.72f, 3.1f));
    deskLegs.box(Vec(0.25f, 1.0f, 4.5f), Vec(0.95f, 1.72f, 4.55f));
    add(file, "desklegs", deskLegs, blackM);
    add(file, "monitor", boxPart(s, Vec(0.3f, 1.85f, 3.4f), Vec(0.38f, 2.3f, 4.2f)), blackM);
    add(file, "stand", boxPart(s, Vec(0.28f, 1.78f, 3.72f), Vec(0.42f, 1.85f, 3.88f)), blackM);
    MeshBuilder screen(s, false);
    screen.quad(
        Vec(0.385f, 1.88f, 4.17f), Vec(0.385f, 1.88f, 3.43f), Vec(0.385f, 2.27f, 3.43f), Vec(0.385f, 2.27f, 4.17f));
    add(file, "screen", screen, screenM);
    MeshBuilder extinguisher(s, false);
    extinguisher.cylinder(Vec(0.25f, 1.0f, 6.8f), 1, 0.5f, 0.1f, 12);
    add(file, "extinguisher", extinguisher, redM);

    // Ceiling with light panels, and pipes along the north and south walls.
    MeshBuilder panels(s, false);
    for (float x = 1.5f; x < W; x += 3.0f)
        for (float z : { 2.75f, 6.0f, 9.25f })
            panels.quad(Vec(x, H - 0.01f, z), Vec(x + 1.2f, H - 0.01f, z), Vec(x + 1.2f, H - 0.01f, z + 0.6f),
                Vec(x, H - 0.01f, z + 0.6f));
    add(file, "lightpanels", panels, panelLightM);
    MeshBuilder pipeN(s, false);
    pipeN.cylinder(Vec(0, 3.7f, 0.2f), 0, W, 0.08f, 10);
    add(file, "pipeN", pipeN, pipeM);
    MeshBuilder pipeS(s, false);
    pipeS.cylinder(Vec(0, 3.7f, D - 0.2f), 0, W, 0.08f, 10);
    add(file, "pipeS", pipeS, pipeM);
    // Walls and ceiling come last: everything else stands in front of them, so that their hidden
    // fragments fail the depth test before they are shaded.
    add(file, "wallN", boxPart(s, Vec(-t, 0, -t), Vec(W + t, H, 0)), wallM);
    add(file, "wallS", boxPart(s, Vec(-t, 0, D), Vec(W + t, H, D + t)), wallM);
    add(file, "wallE", boxPart(s, Vec(W, 0, 0), Vec(W + t, H, D)), wallM);
    MeshBuilder west(s, false);
    west.quad(Vec(0, 0, D), Vec(0, 0, 0), Vec(0, H, 0), Vec(0, H, D));
    add(file, "wallW", west, wallM);
    add(file, "ceiling", boxPart(s, Vec(-t, H, -t), Vec(W + t, H + 0.1f, D + t)), ceilM);
    return file.write(folder + "/serverraum.3ds", "3ds");
}
