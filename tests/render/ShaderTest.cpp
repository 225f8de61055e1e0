#include "render/Shader.h"
#include "tests/support/GlTest.h"
#include "tests/support/HostileFiles.h"

#include <fstream>
#include <unistd.h>

namespace {
const char* pairs[][2] = {
    { "Shader/orthShader.vert", "Shader/orthShader.frag" },
    { "Shader/fontShader.vert", "Shader/fontShader.frag" },
    { "Shader/diffuse.vert", "Shader/diffuse.frag" },
    { "Shader/simpleShader.vert", "Shader/simpleShader.frag" },
    { "Shader/heightmapShader.vert", "Shader/heightmapShader.frag" },
};

void writeFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
}

// Death tests check standard error; the shader reports on standard output.
void stdoutToStderr()
{
    dup2(2, 1);
}

const char* plainVertex = "#version 330\nlayout(location = 0) in vec3 position;\n"
                          "void main() { gl_Position = vec4(position, 1.0); }\n";
}

class ShaderFiles : public GlTest { };

TEST_F(ShaderFiles, AllFivePairsLinkWithTheSameAttributeLocations)
{
    for (const auto& pair : pairs) {
        Shader shader(pair[0], pair[1]);
        ASSERT_NE(shader.program, 0u) << pair[0];
        GLint linked = 0;
        glGetProgramiv(shader.program, GL_LINK_STATUS, &linked);
        EXPECT_EQ(linked, GL_TRUE) << pair[0];
        EXPECT_EQ(glGetFragDataLocation(shader.program, "fragColor"), 0) << pair[0];
        EXPECT_EQ(glGetAttribLocation(shader.program, "position"), 0) << pair[0];
        // Attributes a program does not use are inactive (-1); used ones sit at their fixed place.
        GLint normal = glGetAttribLocation(shader.program, "normal");
        GLint uv = glGetAttribLocation(shader.program, "uv");
        EXPECT_TRUE(normal == -1 || normal == 1) << pair[0];
        EXPECT_TRUE(uv == -1 || uv == 2) << pair[0];
        GLint deleted = GL_FALSE;
        glGetShaderiv(shader.vertexShader, GL_DELETE_STATUS, &deleted);
        EXPECT_EQ(deleted, GL_TRUE) << "the shader objects are flagged for deletion after the link";
    }
}

TEST_F(ShaderFiles, MeshUniformsSitAtTheSameLocationsInEveryProgram)
{
    // A mesh built against one program may be drawn while another is current.
    const char* names[] = { "meshMatrix", "k_ambient", "k_diffuse", "k_specular", "colorTexture" };
    Shader font(pairs[1][0], pairs[1][1]);
    Shader ortho(pairs[0][0], pairs[0][1]);
    for (const char* name : names) {
        GLint inFont = glGetUniformLocation(font.program, name);
        GLint inOrtho = glGetUniformLocation(ortho.program, name);
        if (inFont != -1 && inOrtho != -1) {
            EXPECT_EQ(inFont, inOrtho) << name;
        }
    }
    EXPECT_NE(glGetUniformLocation(font.program, "color"), -1);
    EXPECT_NE(glGetUniformLocation(font.program, "meshMatrix"), -1);
    EXPECT_NE(glGetUniformLocation(ortho.program, "colorTexture"), -1);
}

TEST_F(ShaderFiles, MainPassProgramsDeclareTheLightingUniforms)
{
    const char* names[] = { "modelMatrix", "projectionMatrix", "projectionLightSource", "cameraPosition",
        "lightPosition", "spotPosition", "spotDirection", "ambientLight", "shadowMap", "colorTexture", "k_diffuse" };
    for (int index : { 2, 4 }) {
        Shader shader(pairs[index][0], pairs[index][1]);
        for (const char* name : names)
            EXPECT_NE(glGetUniformLocation(shader.program, name), -1) << pairs[index][0] << " " << name;
    }
    Shader floor(pairs[4][0], pairs[4][1]);
    EXPECT_NE(glGetUniformLocation(floor.program, "paintLayer"), -1);
}

TEST_F(ShaderFiles, WindowsLineEndsCompileAndUseIsHarmlessTwice)
{
    std::string dir = makeTempDir("shader-crlf");
    writeFile(dir + "/crlf.vert",
        "#version 330\r\nlayout(location = 0) in vec3 position;\r\n"
        "void main() { gl_Position = vec4(position, 1.0); }\r\n");
    writeFile(dir + "/crlf.frag", "#version 330\r\nout vec4 fragColor;\r\nvoid main() { fragColor = vec4(1.0); }\r\n");
    Shader shader(dir + "/crlf.vert", dir + "/crlf.frag");
    shader.use();
    shader.use();
    GLint current = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    EXPECT_EQ(static_cast<GLuint>(current), shader.program);
    EXPECT_EQ(glGetFragDataLocation(shader.program, "fragColor"), 0);
    glUseProgram(0);
}

using ShaderFailure = ShaderFiles;

TEST_F(ShaderFailure, MissingVertexFileStopsWithItsPath)
{
    EXPECT_EXIT(
        {
            stdoutToStderr();
            Shader shader("Shader/x.vert", "Shader/orthShader.frag");
        },
        ::testing::ExitedWithCode(255), "^Failed to load Shader \"Shader/x.vert\"\n");
}

TEST_F(ShaderFailure, FilesThatAreNotRegularStopLikeMissingOnes)
{
    std::string dir = makeTempDir("shader-odd");
    makeFifo(dir + "/fifo.vert");
    linkToDevice(dir + "/zero.vert");
    for (std::string path : { dir, dir + "/fifo.vert", dir + "/zero.vert" }) {
        EXPECT_EXIT(
            {
                stdoutToStderr();
                Shader shader(path, "Shader/orthShader.frag");
            },
            ::testing::ExitedWithCode(255), "^Failed to load Shader \"" + path + "\"\n")
            << path;
    }
}

TEST_F(ShaderFailure, EmptyFileFailsToCompileWithTheLog)
{
    std::string dir = makeTempDir("shader-empty");
    writeFile(dir + "/empty.vert", "");
    writeFile(dir + "/plain.frag", "#version 330\nout vec4 fragColor;\nvoid main() { fragColor = vec4(1.0); }\n");
    EXPECT_EXIT(
        {
            stdoutToStderr();
            Shader shader(dir + "/empty.vert", dir + "/plain.frag");
        },
        ::testing::ExitedWithCode(255), "^Failed to compile Shaders.\n.+");
}

TEST_F(ShaderFailure, BrokenFragmentFileIsReportedAfterTheVertexFile)
{
    std::string dir = makeTempDir("shader-broken");
    writeFile(dir + "/plain.vert", plainVertex);
    writeFile(dir + "/broken.frag", "#version 330\nout vec4 fragColor;\nvoid main() { fragColor = nonsense; }\n");
    EXPECT_EXIT(
        {
            stdoutToStderr();
            Shader shader(dir + "/plain.vert", dir + "/missing.frag");
        },
        ::testing::ExitedWithCode(255), "^Failed to load Shader \".*missing.frag\"\n");
    EXPECT_EXIT(
        {
            stdoutToStderr();
            Shader shader(dir + "/plain.vert", dir + "/broken.frag");
        },
        ::testing::ExitedWithCode(255), "^Failed to compile Shaders.\n.*nonsense");
}

TEST_F(ShaderFailure, UnlinkablePairIsReported)
{
    std::string dir = makeTempDir("shader-link");
    writeFile(dir + "/nomain.vert", "#version 330\nvoid helper() {}\n");
    writeFile(dir + "/plain.frag", "#version 330\nout vec4 fragColor;\nvoid main() { fragColor = vec4(1.0); }\n");
    EXPECT_EXIT(
        {
            stdoutToStderr();
            Shader shader(dir + "/nomain.vert", dir + "/plain.frag");
        },
        ::testing::ExitedWithCode(255), "^Failed to link Shaders.\n");
}
