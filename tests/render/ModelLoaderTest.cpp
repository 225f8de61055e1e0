#include "render/ModelLoader.h"
#include "render/Mesh.h"
#include "render/Model.h"
#include "tests/render/ModelFixture.h"

#include <assimp/Exporter.hpp>
#include <assimp/scene.h>

#include <fstream>
#include <iterator>
#include <memory>

namespace {
// A unit quad facing +z, written as one four-corner face.
const char* quadVertices = "v -1 -1 0\nv 1 -1 0\nv 1 1 0\nv -1 1 0\n";

struct SceneParts {
    bool uvs = false;
    bool embeddedTexture = false;
    const char* diffuseTexture = nullptr;
    unsigned int lastIndex = 2;
    unsigned int materialIndex = 0;
    bool childWithOffset = false;
    unsigned int nodeMesh = 0;
};

// A scene of one triangle, built by hand so that it carries exactly the parts a test asks for.
aiScene* makeScene(const SceneParts& parts)
{
    aiScene* scene = new aiScene;
    scene->mRootNode = new aiNode("handmade");
    scene->mNumMeshes = 1;
    scene->mMeshes = new aiMesh*[1];
    aiMesh* mesh = new aiMesh;
    scene->mMeshes[0] = mesh;
    mesh->mPrimitiveTypes = aiPrimitiveType_TRIANGLE;
    mesh->mNumVertices = 3;
    mesh->mVertices = new aiVector3D[3] { { 0, 0, 0 }, { 1, 0, 0 }, { 0, 1, 0 } };
    if (parts.uvs) {
        mesh->mNumUVComponents[0] = 2;
        mesh->mTextureCoords[0] = new aiVector3D[3] { { 0, 0, 0 }, { 1, 0, 0 }, { 0, 1, 0 } };
    }
    mesh->mNumFaces = 1;
    mesh->mFaces = new aiFace[1];
    mesh->mFaces[0].mNumIndices = 3;
    mesh->mFaces[0].mIndices = new unsigned int[3] { 0, 1, parts.lastIndex };
    mesh->mMaterialIndex = parts.materialIndex;
    aiNode* holder = scene->mRootNode;
    if (parts.childWithOffset) {
        holder = new aiNode("moved");
        holder->mTransformation = aiMatrix4x4(1, 0, 0, 5, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
        holder->mParent = scene->mRootNode;
        scene->mRootNode->addChildren(1, &holder);
    }
    holder->mNumMeshes = 1;
    holder->mMeshes = new unsigned int[1] { parts.nodeMesh };
    scene->mNumMaterials = 1;
    scene->mMaterials = new aiMaterial*[1];
    scene->mMaterials[0] = new aiMaterial;
    aiString name("bare");
    scene->mMaterials[0]->AddProperty(&name, AI_MATKEY_NAME);
    if (parts.diffuseTexture) {
        aiString texture(parts.diffuseTexture);
        scene->mMaterials[0]->AddProperty(&texture, AI_MATKEY_TEXTURE_DIFFUSE(0));
    }
    if (parts.embeddedTexture) {
        scene->mNumTextures = 1;
        scene->mTextures = new aiTexture*[1];
        scene->mTextures[0] = new aiTexture;
        scene->mTextures[0]->mWidth = 1;
        scene->mTextures[0]->mHeight = 1;
        scene->mTextures[0]->pcData = new aiTexel[1];
    }
    return scene;
}

void exportScene(const SceneParts& parts, const char* format, const std::string& path)
{
    std::unique_ptr<aiScene> scene(makeScene(parts));
    Assimp::Exporter exporter;
    ASSERT_EQ(exporter.Export(scene.get(), format, path), AI_SUCCESS) << exporter.GetErrorString();
}

std::string readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool isLiveTexture(GLuint name)
{
    return glIsTexture(name) == GL_TRUE;
}
}

class ModelLoading : public ModelFixture {
protected:
    void SetUp() override
    {
        ModelFixture::SetUp();
        modelLoader.textureLoader = &loader();
    }

    Model* load(const std::string& path, float scale = 1.0f)
    {
        return modelLoader.loadModel(path, &unlitShader(), scale);
    }

    // Loads and returns what the loader printed.
    std::string loadPrinting(const std::string& path, std::unique_ptr<Model>& model)
    {
        testing::internal::CaptureStdout();
        model.reset(load(path));
        return testing::internal::GetCapturedStdout();
    }

    // The texture loader needs the context, which exists from SetUp on.
    ModelLoader modelLoader { nullptr };
};

TEST_F(ModelLoading, ObjWithoutTextureCoordinatesUsesWhiteOnUnitOneAndItsColoursScaled)
{
    writeText("plain.mtl", "newmtl red\nKa 0.1 0.2 0.3\nKd 1 0 0\nKs 0.5 0.5 0.5\n");
    writeText("plain.obj", std::string("mtllib plain.mtl\n") + quadVertices + "usemtl red\nf 1 2 3 4\n");
    std::unique_ptr<Model> model;
    EXPECT_EQ(loadPrinting("plain.obj", model), "") << "the quad is triangulated before the triangle check";
    ASSERT_TRUE(model);
    ASSERT_EQ(model->meshes.size(), 1u);
    const Mesh& mesh = *model->meshes[0];
    EXPECT_EQ(mesh.texture, loader().whiteTexture);
    EXPECT_EQ(mesh.textureUnit, 1);
    EXPECT_EQ(mesh.indexCount, 6u);
    EXPECT_EQ(mesh.material.diffuse, glm::vec4(1, 0, 0, 1));
    EXPECT_EQ(mesh.material.ambient, glm::vec4(0.1f, 0.2f, 0.3f, 1));
    EXPECT_EQ(mesh.material.specular, glm::vec4(0.5f, 0.5f, 0.5f, 1));
    EXPECT_EQ(model->modelMatrix, glm::mat4(1.0f));
    EXPECT_EQ(model->shader, &unlitShader());

    std::unique_ptr<Model> doubled(load("plain.obj", 2.0f));
    ASSERT_TRUE(doubled);
    EXPECT_EQ(doubled->meshes[0]->boundsMin, glm::vec3(-2, -2, 0));
    EXPECT_EQ(doubled->meshes[0]->boundsMax, glm::vec3(2, 2, 0));

    // Red times the white texture reaches the screen.
    beginUnlitFrame();
    model->draw();
    EXPECT_EQ(pixelAt(width / 2, height / 2), (std::vector<unsigned char> { 255, 0, 0, 255 }));
}

TEST_F(ModelLoading, AbsentColourKeysKeepTheDefaultOfPointEight)
{
    const glm::vec4 fallback(0.8f, 0.8f, 0.8f, 1.0f);
    // The OBJ importer writes all three colours for every material; these two files do not.
    exportScene(SceneParts {}, "assbin", "bare.assbin");
    std::unique_ptr<Model> bare(load("bare.assbin"));
    ASSERT_TRUE(bare);
    ASSERT_EQ(bare->meshes.size(), 1u);
    EXPECT_EQ(bare->meshes[0]->material.ambient, fallback);
    EXPECT_EQ(bare->meshes[0]->material.diffuse, fallback);
    EXPECT_EQ(bare->meshes[0]->material.specular, fallback);

    // The OFF importer's material carries only a diffuse colour.
    writeText("diffuse.off", "OFF\n3 1 0\n0 0 0\n1 0 0\n0 1 0\n3 0 1 2\n");
    std::unique_ptr<Model> diffuseOnly(load("diffuse.off"));
    ASSERT_TRUE(diffuseOnly);
    ASSERT_EQ(diffuseOnly->meshes.size(), 1u);
    EXPECT_EQ(diffuseOnly->meshes[0]->material.ambient, fallback);
    EXPECT_EQ(diffuseOnly->meshes[0]->material.specular, fallback);
    EXPECT_NEAR(diffuseOnly->meshes[0]->material.diffuse.r, 0.6f, 1e-6f);
}

TEST_F(ModelLoading, MaterialTexturesComeFromResourcesAndAPictureSharedByTwoGoesToTheLaterOne)
{
    writePicture("Resources/wall.png", 4, 2, glm::u8vec4(0, 255, 0, 255));
    exportScene(SceneParts { true, false, "wall.png" }, "3ds", "wall.3ds");
    std::unique_ptr<Model> wall(load("wall.3ds"));
    ASSERT_TRUE(wall);
    ASSERT_EQ(wall->meshes.size(), 1u);
    GLuint texture = wall->meshes[0]->texture;
    EXPECT_GT(texture, 2u);
    EXPECT_EQ(wall->meshes[0]->textureUnit, 1);
    GLint textureWidth = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &textureWidth);
    EXPECT_EQ(textureWidth, 4) << "made from Resources/wall.png";

    // Different colours keep the two materials apart; both name the same picture.
    writeText("shared.mtl",
        "newmtl first\nKd 1 0 0\nmap_Kd wall.png\nnewmtl second\nKd 0 0 1\nmap_Kd wall.png\n"
        "newmtl missing\nKd 0 1 0\nmap_Kd nowhere.png\n");
    writeText("shared.obj",
        std::string("mtllib shared.mtl\n") + quadVertices
            + "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nusemtl first\nf 1/1 2/2 3/3\nusemtl second\nf 1/1 3/3 4/4\n"
              "usemtl missing\nf 2/2 3/3 4/4\n");
    std::unique_ptr<Model> shared;
    std::string printed = loadPrinting("shared.obj", shared);
    EXPECT_EQ(printed, "TextureLoader: Could not load Texture \"Resources/nowhere.png\"\n");
    ASSERT_TRUE(shared);
    ASSERT_EQ(shared->meshes.size(), 3u);
    int textured = 0;
    int fallback = 0;
    for (const Mesh* mesh : shared->meshes) {
        if (mesh->material.diffuse.g == 1.0f) {
            EXPECT_EQ(mesh->texture, loader().defaultTexture) << "a missing picture gives the default texture";
            EXPECT_EQ(mesh->textureUnit, 1);
        } else if (mesh->texture == loader().defaultTexture) {
            EXPECT_EQ(mesh->textureUnit, 0);
            ++fallback;
        } else {
            EXPECT_GT(mesh->texture, 2u);
            EXPECT_EQ(mesh->textureUnit, 1);
            ++textured;
        }
    }
    EXPECT_EQ(textured, 1);
    EXPECT_EQ(fallback, 1);
}

TEST_F(ModelLoading, TheSameFileTwiceGivesSeparateMeshesAndTexturesThatOutliveEachOther)
{
    writePicture("Resources/green.png", 2, 2, glm::u8vec4(0, 255, 0, 255));
    writeText("green.mtl", "newmtl lit\nKd 1 1 1\nmap_Kd green.png\n");
    writeText("green.obj",
        std::string("mtllib green.mtl\n") + quadVertices
            + "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nusemtl lit\nf 1/1 2/2 3/3 4/4\n");
    std::unique_ptr<Model> first(load("green.obj"));
    std::unique_ptr<Model> second(load("green.obj"));
    ASSERT_TRUE(first && second);
    ASSERT_EQ(first->meshes.size(), 1u);
    ASSERT_EQ(second->meshes.size(), 1u);
    EXPECT_NE(first->meshes[0], second->meshes[0]);
    GLuint firstTexture = first->meshes[0]->texture;
    GLuint secondTexture = second->meshes[0]->texture;
    EXPECT_NE(firstTexture, secondTexture);
    EXPECT_EQ(modelLoader.loadedMeshes, second->meshes) << "the working list holds the last model's meshes";

    first.reset();
    EXPECT_FALSE(isLiveTexture(firstTexture));
    EXPECT_TRUE(isLiveTexture(secondTexture));
    EXPECT_TRUE(isLiveTexture(loader().defaultTexture));
    beginUnlitFrame();
    second->draw();
    EXPECT_EQ(pixelAt(width / 2, height / 2), (std::vector<unsigned char> { 0, 255, 0, 255 }));
}

TEST_F(ModelLoading, PointsAndLinesAreLeftOutAndNodeTransformsAreNotApplied)
{
    writeText("mixed.obj", std::string(quadVertices) + "f 1 2 3\nl 1 4\np 2\n");
    std::unique_ptr<Model> mixed;
    EXPECT_EQ(loadPrinting("mixed.obj", mixed), "");
    ASSERT_TRUE(mixed);
    ASSERT_EQ(mixed->meshes.size(), 1u);
    EXPECT_EQ(mixed->meshes[0]->indexCount, 3u);
    EXPECT_EQ(mixed->meshes[0]->texture, loader().whiteTexture);

    writeText("lines.obj", std::string(quadVertices) + "l 1 2 3 4\n");
    std::unique_ptr<Model> lines;
    EXPECT_EQ(loadPrinting("lines.obj", lines), "");
    ASSERT_TRUE(lines);
    EXPECT_TRUE(lines->meshes.empty());

    SceneParts moved;
    moved.childWithOffset = true;
    exportScene(moved, "assbin", "moved.assbin");
    std::unique_ptr<Model> child(load("moved.assbin"));
    ASSERT_TRUE(child);
    ASSERT_EQ(child->meshes.size(), 1u) << "meshes of child nodes are collected";
    EXPECT_EQ(child->meshes[0]->boundsMax, glm::vec3(1, 1, 0)) << "the node's offset of 5 is not applied";
}

TEST_F(ModelLoading, EmbeddedTexturesGiveAModelWithoutMeshesAndOneMessage)
{
    SceneParts parts;
    parts.embeddedTexture = true;
    exportScene(parts, "assbin", "embedded.assbin");
    std::unique_ptr<Model> model;
    EXPECT_EQ(loadPrinting("embedded.assbin", model),
        "ModelLoader:Support for meshes with embedded textures is not implemented\n");
    ASSERT_TRUE(model);
    EXPECT_TRUE(model->meshes.empty());
}

TEST_F(ModelLoading, MissingUnreadableAndInconsistentFilesGiveAMessageAndNull)
{
    std::unique_ptr<Model> model;
    EXPECT_EQ(loadPrinting("nothere.obj", model), "ModelLoader: Couldn't open file: nothere.obj\n");
    EXPECT_FALSE(model);

    writeText("notes.txt", "nothing a model importer reads\n");
    std::string printed = loadPrinting("notes.txt", model);
    EXPECT_EQ(printed.rfind("ModelLoader: Couldn't import model from: notes.txt\n", 0), 0u) << printed;
    EXPECT_FALSE(model);

    // Index and material checks run before the post-processing steps would read out of bounds.
    SceneParts pastVertices;
    pastVertices.lastIndex = 7;
    exportScene(pastVertices, "assbin", "pastVertices.assbin");
    EXPECT_EQ(loadPrinting("pastVertices.assbin", model),
        "ModelLoader: Couldn't import model from: pastVertices.assbin\na face has indices past its mesh's vertices");
    EXPECT_FALSE(model);

    SceneParts pastMaterials;
    pastMaterials.materialIndex = 4;
    exportScene(pastMaterials, "assbin", "pastMaterials.assbin");
    printed = loadPrinting("pastMaterials.assbin", model);
    EXPECT_EQ(printed.rfind("ModelLoader: Couldn't import model from: pastMaterials.assbin\n", 0), 0u) << printed;
    EXPECT_FALSE(model);

    SceneParts pastMeshes;
    pastMeshes.nodeMesh = 3;
    exportScene(pastMeshes, "assbin", "pastMeshes.assbin");
    EXPECT_EQ(loadPrinting("pastMeshes.assbin", model),
        "ModelLoader: Couldn't import model from: pastMeshes.assbin\na node names a mesh past the scene's meshes");
    EXPECT_FALSE(model);

    // The loader stays usable after every failure.
    writeText("after.obj", std::string(quadVertices) + "f 1 2 3\n");
    model.reset(load("after.obj"));
    ASSERT_TRUE(model);
    EXPECT_EQ(model->meshes.size(), 1u);
}

TEST_F(ModelLoading, TruncatedAndGarbageFilesNeverCrash)
{
    exportScene(SceneParts { true, false, "wall.png" }, "3ds", "whole.3ds");
    std::string whole3ds = readAll("whole.3ds");
    ASSERT_GT(whole3ds.size(), 40u);
    std::string wholeObj = std::string("mtllib plain.mtl\n") + quadVertices + "vt 0 0\nvt 1 0\nvt 1 1\n"
        + "usemtl red\nf 1/1 2/2 3/3 4/1\nf 4/1 3/3 2/2\n";

    std::vector<std::pair<std::string, std::string>> files;
    for (size_t cut : { size_t(6), size_t(16), whole3ds.size() / 2, whole3ds.size() - 3 })
        files.emplace_back("cut" + std::to_string(cut) + ".3ds", whole3ds.substr(0, cut));
    for (size_t cut : { size_t(30), size_t(70), wholeObj.size() - 7, wholeObj.size() - 2 })
        files.emplace_back("cut" + std::to_string(cut) + ".obj", wholeObj.substr(0, cut));
    files.emplace_back("faces.obj", std::string(quadVertices) + "f 1 2 99\nf -9 1 2\nf 0 1 2\nf 1/7/9 2 3\nf\n");
    files.emplace_back("words.obj", "v a b c\nvt\nvn 1\nf x y z\nusemtl\nmtllib\no\ng\ns 1\n");
    files.emplace_back("empty.obj", "");
    files.emplace_back("empty.3ds", "");
    std::string noise;
    unsigned int state = 12345;
    for (int i = 0; i < 4096; ++i) {
        state = state * 1103515245u + 12345u;
        noise.push_back(static_cast<char>(state >> 16));
    }
    files.emplace_back("noise.obj", noise);
    files.emplace_back("noise.3ds", noise);
    files.emplace_back("header.3ds", whole3ds.substr(0, 6) + noise);

    for (const auto& [name, content] : files) {
        writeText(name, content);
        std::unique_ptr<Model> model;
        std::string printed = loadPrinting(name, model);
        if (!model) {
            EXPECT_EQ(printed.rfind("ModelLoader: Couldn't import model from: " + name + "\n", 0), 0u)
                << name << ": " << printed;
            continue;
        }
        for (const Mesh* mesh : model->meshes) {
            EXPECT_GT(mesh->vertexCount, 0u) << name;
            EXPECT_EQ(mesh->indexCount % 3, 0u) << name;
        }
        beginUnlitFrame();
        model->draw();
    }
}

TEST_F(ModelLoading, TheGeneratedModelsLoadCleanlyWithTheMeshesTheGameIndexes)
{
    std::filesystem::current_path(TINTBOX_BUILD_DIR);
    const struct {
        const char* path;
        float scale;
        size_t meshesNeeded;
    } files[] = {
        { "Resources/crosshair.obj", 0.05f, 1 },
        { "Resources/Tintbox.3ds", 0.1f, 13 },
        { "Resources/paleface.3ds", 0.5f, 3 },
        { "Resources/tutorialRoom.3ds", 1.0f, 1 },
        { "Resources/serverraum.3ds", 5.5f, 1 },
    };
    for (const auto& file : files) {
        std::unique_ptr<Model> model;
        EXPECT_EQ(loadPrinting(file.path, model), "") << file.path;
        ASSERT_TRUE(model) << file.path;
        EXPECT_GE(model->meshes.size(), file.meshesNeeded) << file.path;
        for (const Mesh* mesh : model->meshes)
            EXPECT_NE(mesh->texture, 0u) << file.path;
    }
}
