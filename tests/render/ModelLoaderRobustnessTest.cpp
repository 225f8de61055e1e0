// Model files that the importer itself mishandles: material libraries that would make it write
// through a null material, garbage that parses as nothing, and rooms with faces of more than
// three corners.
#include "render/Mesh.h"
#include "render/Model.h"
#include "render/ModelLoader.h"
#include "tests/render/ModelFixture.h"
#include "tests/support/HostileFiles.h"

#include <functional>
#include <memory>

namespace {
const char* square = "v -1 -1 0\nv 1 -1 0\nv 1 1 0\nv -1 1 0\n";

// A 3DS chunk: its id, its length with the 6-byte header, its data.
std::string chunk(unsigned int id, const std::string& data)
{
    std::string out;
    unsigned long length = data.size() + 6;
    for (unsigned long value : { static_cast<unsigned long>(id), length })
        for (int shift = 0; shift < (value == id ? 16 : 32); shift += 8)
            out.push_back(static_cast<char>(value >> shift));
    return out + data;
}

std::string repeated(int times, const std::function<std::string(int)>& make)
{
    std::string out;
    for (int k = 0; k < times; ++k)
        out += make(k);
    return out;
}

// A 3DS file of `meshes` one-triangle objects named "o", `materials` materials and `nodes`
// animation nodes naming "o".
std::string threeDs(int meshes, int materials, int nodes)
{
    // (0, 0, 0), (1, 0, 0), (0, 1, 0): 1.0f is 0x3F800000.
    std::string one("\0\0\x80\x3F", 4), zero(4, '\0');
    std::string vertices = std::string("\x03\0", 2) + zero + zero + zero + one + zero + zero + zero + one + zero;
    std::string face = std::string("\x01\0\0\0\x01\0\x02\0\0\0", 10);
    std::string object
        = chunk(0x4000, std::string("o\0", 2) + chunk(0x4100, chunk(0x4110, vertices) + chunk(0x4120, face)));
    std::string material = chunk(0xAFFF, chunk(0xA000, std::string("m\0", 2)));
    std::string node = chunk(0xB002, chunk(0xB010, std::string("o\0\0\0\0\0\xFF\xFF", 8)));
    return chunk(0x4D4D, chunk(0x3D3D, repeated(meshes, [&](int) { return object; }) + repeated(materials, [&](int) {
        return material;
    })) + chunk(0xB000, repeated(nodes, [&](int) { return node; })));
}
}

class ModelLoaderRobustness : public ModelFixture {
protected:
    void SetUp() override
    {
        ModelFixture::SetUp();
        modelLoader.textureLoader = &loader();
    }

    // Loads and returns what the loader printed.
    std::string loadPrinting(const std::string& path, std::unique_ptr<Model>& model)
    {
        testing::internal::CaptureStdout();
        model.reset(modelLoader.loadModel(path, &unlitShader(), 1.0f));
        return testing::internal::GetCapturedStdout();
    }

    // An OBJ square that uses material "m" of the library `mtl`, written with `library`.
    void writeSquare(const std::string& obj, const std::string& mtl, const std::string& library)
    {
        writeText(obj, "mtllib " + mtl + " \r\n" + square + "usemtl m\nf 1 2 3\nf 1 3 4\n");
        writeText(mtl, library);
    }

    ModelLoader modelLoader { nullptr };
};

TEST_F(ModelLoaderRobustness, MaterialLibrariesThatWouldCrashTheImporterAreRefused)
{
    std::unique_ptr<Model> model;
    for (const char* statement : { "map_Kd wall.png\n", "bump wall.png\n", "norm wall.png\n", "Kd 1 0 0\n" }) {
        writeSquare("early.obj", "early.mtl", std::string(statement) + "newmtl m\n");
        EXPECT_EQ(loadPrinting("early.obj", model),
            "ModelLoader: Couldn't import model from: early.obj\n"
            "a material library has statements before its first newmtl")
            << statement;
        EXPECT_FALSE(model);
    }
    writeSquare("binary.obj", "binary.mtl", std::string("newmtl m\nKd 1 0 0\n\x01\x00map_Kd\x02", 25));
    EXPECT_EQ(loadPrinting("binary.obj", model),
        "ModelLoader: Couldn't import model from: binary.obj\na material library is not text");
    EXPECT_FALSE(model);
    // Found by fuzzing: a library that cannot be read makes the importer read the one named
    // like the model instead, which crashed it on NUL bytes.
    writeText("named.obj", "mtllib nowhere.mtl\n" + std::string(square) + "f 1 2 3\n");
    writeText("named.mtl", std::string("mtllib >`\0a\0d\0e\0f\0g\0h\0j\0k\0l\0m\n", 30));
    EXPECT_EQ(loadPrinting("named.obj", model),
        "ModelLoader: Couldn't import model from: named.obj\na material library is not text");
    EXPECT_FALSE(model);
}

TEST_F(ModelLoaderRobustness, SoundMaterialLibrariesStillLoad)
{
    std::unique_ptr<Model> model;
    // Comments, blank lines and a byte-order mark before the first material are fine.
    writeSquare("marked.obj", "marked.mtl", "\xEF\xBB\xBF# made by hand\n\n   \nnewmtl m\nKd 0 1 0\n");
    EXPECT_EQ(loadPrinting("marked.obj", model), "");
    ASSERT_TRUE(model);
    ASSERT_EQ(model->meshes.size(), 1u);
    EXPECT_EQ(model->meshes[0]->material.diffuse, glm::vec4(0, 1, 0, 1));

    // A library that is not there only costs the colours.
    writeText("orphan.obj", std::string("mtllib nowhere.mtl\n") + square + "usemtl m\nf 1 2 3\n");
    EXPECT_EQ(loadPrinting("orphan.obj", model), "");
    ASSERT_TRUE(model);
    ASSERT_EQ(model->meshes.size(), 1u);
    EXPECT_EQ(model->meshes[0]->material.diffuse, glm::vec4(0.6f, 0.6f, 0.6f, 1.0f))
        << "the importer's default material";
}

TEST_F(ModelLoaderRobustness, FilesWithoutMeshesOrWithHoursOfTriangulationAreRefused)
{
    std::unique_ptr<Model> model;
    writeText("nothing.obj", "# a comment\nqq 1 2\nzz\n");
    EXPECT_EQ(loadPrinting("nothing.obj", model),
        "ModelLoader: Couldn't import model from: nothing.obj\nthe file holds no meshes");
    EXPECT_FALSE(model);
    // Triangulating this one would take hours; polygons of 1024 corners, as a disc's, load.
    auto polygon = [](int corners) {
        std::string face = "f";
        for (int k = 0; k < corners; ++k)
            face += k % 2 ? " 1" : " 2";
        return face + "\n";
    };
    writeText("polygon.obj", std::string(square) + polygon(100000));
    EXPECT_EQ(loadPrinting("polygon.obj", model),
        "ModelLoader: Couldn't import model from: polygon.obj\nthe file has more than 134217728 steps of "
        "triangulation");
    EXPECT_FALSE(model);
    std::string disc = "";
    for (int k = 0; k < 1024; ++k)
        disc += "v " + std::to_string(std::cos(k * 6.2832f / 1024)) + " " + std::to_string(std::sin(k * 6.2832f / 1024))
            + " 0\n";
    disc += "f";
    for (int k = 1; k <= 1024; ++k)
        disc += " " + std::to_string(k);
    writeText("disc.obj", disc + "\n");
    EXPECT_EQ(loadPrinting("disc.obj", model), "");
    ASSERT_TRUE(model);
    ASSERT_EQ(model->meshes.size(), 1u);
    EXPECT_EQ(model->meshes[0]->indexCount, 3u * 1022u);
}

TEST_F(ModelLoaderRobustness, RoomFacesOfMoreThanThreeCornersAreTriangulated)
{
    std::unique_ptr<Model> model;
    writeText("room.obj",
        std::string(square)
            + "v 0 2 0\nv 2 2 0\n"
              "f 1 2 3 4\n" // a quad
              "f 1 2 6 5 4\n" // a pentagon
              "f 2 6 3\n" // a triangle
              "f 1 1 2 2\n"); // a quad folded onto a line
    EXPECT_EQ(loadPrinting("room.obj", model), "");
    ASSERT_TRUE(model);
    ASSERT_EQ(model->meshes.size(), 1u);
    const Mesh& mesh = *model->meshes[0];
    EXPECT_GE(mesh.indexCount, (2u + 3u + 1u) * 3u);
    EXPECT_EQ(mesh.indexCount % 3, 0u);
    std::vector<unsigned int> indices(mesh.indexCount);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, mesh.indexBuffer);
    glGetBufferSubData(GL_ELEMENT_ARRAY_BUFFER, 0, indices.size() * sizeof(unsigned int), indices.data());
    for (unsigned int index : indices)
        ASSERT_LT(index, mesh.vertexCount);
}

TEST_F(ModelLoaderRobustness, DevicesFifosAndFoldersAreNeverRead)
{
    std::unique_ptr<Model> model;
    linkToDevice("zero.3ds");
    makeFifo("fifo.obj");
    std::filesystem::create_directories("folder.obj");
    for (std::string path : { "zero.3ds", "fifo.obj", "folder.obj" }) {
        EXPECT_EQ(loadPrinting(path, model), "ModelLoader: Couldn't open file: " + path + "\n");
        EXPECT_FALSE(model);
    }
    // A material library that is not a regular file costs the colours, like a missing one.
    linkToDevice("zero.mtl");
    makeFifo("fifo.mtl");
    for (std::string library : { "zero.mtl", "fifo.mtl" }) {
        writeText("square.obj", "mtllib " + library + "\n" + square + "usemtl m\nf 1 2 3\n");
        EXPECT_EQ(loadPrinting("square.obj", model), "") << library;
        ASSERT_TRUE(model);
        EXPECT_EQ(model->meshes.size(), 1u);
    }
}

TEST_F(ModelLoaderRobustness, TexturePathsAreRefusedOnlyWhenTheyLeaveResources)
{
    // The pictures are there: only the path decides which is read.
    writePicture("outside.png", 2, 2, glm::u8vec4(0, 255, 0, 255));
    writePicture("Resources/inside.png", 2, 2, glm::u8vec4(0, 0, 255, 255));
    std::unique_ptr<Model> model;
    auto load = [&](const std::string& path) {
        writeText("textured.mtl", "newmtl m\nmap_Kd " + path + "\n");
        writeText("textured.obj",
            "mtllib textured.mtl\n" + std::string(square) + "vt 0 0\nvt 1 0\nvt 1 1\nusemtl m\nf 1/1 2/2 3/3\n");
        std::string printed = loadPrinting("textured.obj", model);
        EXPECT_TRUE(model && model->meshes.size() == 1u) << path;
        return printed;
    };
    for (std::string path : { "../outside.png", "sub/../../outside.png", "./../outside.png", "a//../../outside.png" }) {
        EXPECT_EQ(load(path), "ModelLoader: Texture \"" + path + "\" lies outside Resources/\n");
        EXPECT_EQ(model->meshes[0]->texture, loader().defaultTexture) << path;
    }
    // "Resources/" + "/inside.png" names Resources//inside.png, inside the folder. The path is
    // read as the file system reads it: the folders a ".." climbs out of must be there.
    std::filesystem::create_directories("Resources/a/b");
    std::filesystem::create_directories("Resources/sub");
    for (std::string path : { "sub/../inside.png", "/inside.png", "./a/b/../../inside.png" }) {
        EXPECT_EQ(load(path), "") << path;
        std::vector<unsigned char> texel(2 * 2 * 4);
        glBindTexture(GL_TEXTURE_2D, model->meshes[0]->texture);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel.data());
        EXPECT_EQ(std::vector<unsigned char>(texel.begin(), texel.begin() + 4),
            std::vector<unsigned char>({ 0, 0, 255, 255 }))
            << path;
    }
}

TEST_F(ModelLoaderRobustness, FilesThatWouldBuildMoreThanTheGameAffordsAreRefusedUnread)
{
    // Each of these took the importer past a gigabyte, or the loader, which makes a mesh each
    // time a node names one, past twenty.
    std::unique_ptr<Model> model;
    const std::pair<std::string, std::string> refused[] = {
        { threeDs(1, 1025, 0), "the file has more than 1024 materials" },
        { threeDs(4097, 0, 4097), "the file has more than 16777216 pairs of an animation node and a mesh" },
        { threeDs(1, 0, 8193), "the file has more than 8192 animation nodes" },
    };
    for (const auto& [file, fault] : refused) {
        writeText("heavy.3ds", file);
        EXPECT_EQ(loadPrinting("heavy.3ds", model), "ModelLoader: Couldn't import model from: heavy.3ds\n" + fault);
        EXPECT_FALSE(model);
    }
    writeText("heavy.mtl", repeated(1025, [](int k) { return "newmtl m" + std::to_string(k) + "\n"; }));
    writeText("heavy.obj", "mtllib heavy.mtl\n" + std::string(square) + "usemtl m1\nf 1 2 3\n");
    EXPECT_EQ(loadPrinting("heavy.obj", model),
        "ModelLoader: Couldn't import model from: heavy.obj\nthe file has more than 1024 materials");
    writeText("heavy.obj", std::string(square) + "f" + repeated(1 << 21, [](int) { return " 1"; }) + " \\\n 2 3\n");
    EXPECT_EQ(loadPrinting("heavy.obj", model),
        "ModelLoader: Couldn't import model from: heavy.obj\nthe file has more than 2097152 face corners");
    // At the limits they load: each node takes the mesh of its name.
    for (auto [file, meshes] : { std::pair(threeDs(4096, 1024, 0), 4096u), std::pair(threeDs(1, 0, 8192), 8192u) }) {
        writeText("heavy.3ds", file);
        EXPECT_EQ(loadPrinting("heavy.3ds", model), "");
        ASSERT_TRUE(model);
        EXPECT_EQ(model->meshes.size(), meshes);
    }
}
