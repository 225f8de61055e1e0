#include "ResourceFiles.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {
// Share of the triangles whose normal (from the winding) points away from the mesh's centre.
float outwardShare(const aiMesh* m)
{
    aiVector3D centre(0, 0, 0);
    for (unsigned v = 0; v < m->mNumVertices; ++v)
        centre += m->mVertices[v];
    centre /= static_cast<float>(m->mNumVertices);
    unsigned out = 0;
    for (unsigned f = 0; f < m->mNumFaces; ++f) {
        const aiFace& face = m->mFaces[f];
        aiVector3D a = m->mVertices[face.mIndices[0]], b = m->mVertices[face.mIndices[1]],
                   c = m->mVertices[face.mIndices[2]];
        aiVector3D n = (b - a) ^ (c - a);
        out += n * ((a + b + c) / 3.0f - centre) > 0.0f;
    }
    return static_cast<float>(out) / m->mNumFaces;
}

// The crosshair's texture coordinates only tell the orthographic program to draw its ring.
void expectSound(const LoadedModel& model, const std::string& name, bool uvsShowPicture = true)
{
    ASSERT_NE(model.scene, nullptr) << name;
    EXPECT_TRUE(model.allTriangles()) << name;
    EXPECT_TRUE(model.indicesValid()) << name;
    EXPECT_EQ(model.scene->mNumTextures, 0u) << name << " must not embed textures";
    // The reader turns the file's z-up frame into y-up on its own root node only; the game reads
    // the positions as stored, so every node below it must leave them as they are.
    for (unsigned i = 0; i < model.scene->mRootNode->mNumChildren; ++i) {
        const aiNode* node = model.scene->mRootNode->mChildren[i];
        EXPECT_TRUE(node->mTransformation.IsIdentity()) << name;
        for (unsigned j = 0; j < node->mNumChildren; ++j)
            EXPECT_TRUE(node->mChildren[j]->mTransformation.IsIdentity()) << name;
    }
    for (const aiMesh* m : model.meshes) {
        EXPECT_GT(m->mNumFaces, 0u) << name;
        std::string texture = model.textureOf(m);
        if (!texture.empty()) {
            EXPECT_TRUE(std::filesystem::exists("Resources/" + texture)) << name << ": " << texture;
        }
        // A mesh with coordinates but no picture of its own would show the magenta checker.
        if (uvsShowPicture) {
            EXPECT_EQ(m->HasTextureCoords(0), !texture.empty()) << name << " mesh " << m->mName.C_Str();
        }
        aiColor4D diffuse;
        EXPECT_EQ(
            aiGetMaterialColor(model.scene->mMaterials[m->mMaterialIndex], "$clr.diffuse", 0, 0, &diffuse), AI_SUCCESS);
    }
}
}

TEST(Models, CrosshairIsASmallFlatFrontFacingSquareFlaggedByItsCoordinates)
{
    LoadedModel cross;
    ASSERT_TRUE(cross.load("Resources/crosshair.obj", 1.0f));
    expectSound(cross, "crosshair", false);
    Box b = cross.bounds();
    EXPECT_FLOAT_EQ(b.lo.z, 0.0f);
    EXPECT_FLOAT_EQ(b.hi.z, 0.0f);
    // At the scale 0.05 it holds the ring, 12.5 pixels of a window 768 pixels high, and no more.
    for (float extent : { -b.lo.x, b.hi.x, -b.lo.y, b.hi.y }) {
        EXPECT_GE(extent, 0.66f);
        EXPECT_LE(extent, 1.0f);
    }
    for (const aiMesh* m : cross.meshes)
        for (unsigned v = 0; v < m->mNumVertices; ++v)
            EXPECT_LT(m->HasTextureCoords(0) ? m->mTextureCoords[0][v].x : 0.0f, -1.0f) << "no picture's coordinates";
    for (const aiMesh* m : cross.meshes)
        for (unsigned f = 0; f < m->mNumFaces; ++f) {
            const aiFace& face = m->mFaces[f];
            aiVector3D a = m->mVertices[face.mIndices[0]], bb = m->mVertices[face.mIndices[1]],
                       c = m->mVertices[face.mIndices[2]];
            ASSERT_GT(((bb - a) ^ (c - a)).z, 0.0f) << "counter-clockwise seen from +z";
        }
}

TEST(Models, VehicleHasTracksAtOneAndTwelve)
{
    LoadedModel car;
    ASSERT_TRUE(car.load("Resources/Tintbox.3ds", 0.1f));
    expectSound(car, "Tintbox");
    ASSERT_GE(car.meshes.size(), 13u);
    Box b = car.bounds();
    EXPECT_NEAR(b.lo.y, 0.0f, 0.005f) << "origin at the bottom";
    EXPECT_NEAR(b.hi.x - b.lo.x, 0.3f, 0.04f);
    EXPECT_NEAR(b.hi.y - b.lo.y, 0.2f, 0.03f);
    EXPECT_NEAR(b.hi.z - b.lo.z, 0.35f, 0.04f);
    EXPECT_NEAR(b.lo.x + b.hi.x, 0.0f, 0.01f);
    EXPECT_NEAR(b.lo.z + b.hi.z, 0.0f, 0.01f);
    for (size_t track : { 1u, 12u }) {
        const aiMesh* m = car.meshes[track];
        ASSERT_TRUE(m->HasTextureCoords(0)) << track;
        EXPECT_EQ(car.textureOf(m), "track.png");
        // Along the bottom run the tread's u grows with z: u runs along the track.
        float uBack = 1e9f, uFront = -1e9f;
        for (unsigned v = 0; v < m->mNumVertices; ++v) {
            const aiVector3D& p = m->mVertices[v];
            if (p.y > 0.05f)
                continue;
            if (p.z < -1.0f)
                uBack = std::min(uBack, m->mTextureCoords[0][v].x);
            if (p.z > 1.0f)
                uFront = std::max(uFront, m->mTextureCoords[0][v].x);
        }
        EXPECT_GT(uFront, uBack) << track;
    }
    EXPECT_GT(car.boxes[1].lo.x, 0.0f) << "mesh 1 is the left track (+x)";
    EXPECT_LT(car.boxes[12].hi.x, 0.0f) << "mesh 12 is the right track (-x)";
    for (const aiMesh* m : car.meshes) {
        if (m->mNumFaces >= 8) {
            EXPECT_GT(outwardShare(m), 0.6f) << m->mName.C_Str();
        }
    }
}

TEST(Models, FigureArmsHangFromTheShoulders)
{
    LoadedModel figure;
    ASSERT_TRUE(figure.load("Resources/paleface.3ds", 0.5f));
    expectSound(figure, "paleface");
    ASSERT_GE(figure.meshes.size(), 4u);
    Box all = figure.bounds();
    EXPECT_NEAR(all.lo.y, 0.0f, 0.005f) << "feet at y = 0";
    EXPECT_GT(all.hi.y, 0.75f);
    EXPECT_LT(all.hi.y, 0.95f);
    const float pivotX[] = { -0.45f, 0.45f };
    const size_t arms[] = { 0, 2 };
    for (int i = 0; i < 2; ++i) {
        const Box& arm = figure.boxes[arms[i]];
        EXPECT_NEAR(arm.hi.y, 0.61f, 0.08f) << "arm " << arms[i] << " top at the shoulder";
        EXPECT_LT(arm.lo.y, 0.3f) << "arm " << arms[i] << " hangs down";
        EXPECT_LE(arm.lo.x, pivotX[i] + 0.05f);
        EXPECT_GE(arm.hi.x, pivotX[i] - 0.05f);
        EXPECT_GT(arm.lo.z, -0.15f);
        EXPECT_LT(arm.hi.z, 0.15f);
    }
    EXPECT_LT(figure.boxes[0].hi.x, 0.0f);
    EXPECT_GT(figure.boxes[2].lo.x, 0.0f);
    for (const aiMesh* m : figure.meshes) {
        if (m->mNumFaces >= 8) {
            EXPECT_GT(outwardShare(m), 0.6f) << m->mName.C_Str();
        }
    }
}

TEST(Models, RoomsAreSeparateLowPolyParts)
{
    struct Room {
        const char* path;
        float scale;
        size_t maxMeshes;
    };
    for (const Room& room :
        { Room { "Resources/tutorialRoom.3ds", 1.0f, 40 }, Room { "Resources/serverraum.3ds", 5.5f, 120 } }) {
        LoadedModel model;
        ASSERT_TRUE(model.load(room.path, room.scale)) << room.path;
        expectSound(model, room.path);
        EXPECT_GE(model.meshes.size(), 15u) << room.path;
        EXPECT_LT(model.meshes.size(), room.maxMeshes) << room.path;
        unsigned triangles = 0;
        for (const aiMesh* m : model.meshes)
            triangles += m->mNumFaces;
        EXPECT_LT(triangles, 5000u) << room.path;
    }
}
