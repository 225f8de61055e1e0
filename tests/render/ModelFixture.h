// GL fixture for model tests: a temp working folder with the two default pictures, one texture
// loader per process (so that its textures are names 1 and 2, as in the game), an unlit test
// program and helpers that write small model and picture files.
#pragma once

#include "render/Shader.h"
#include "render/TextureLoader.h"
#include "tests/support/GlTest.h"

#include <FreeImage.h>
#include <glm/glm.hpp>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <filesystem>
#include <fstream>
#include <string>

class ModelFixture : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        previousFolder = std::filesystem::current_path().string();
        std::filesystem::current_path(folder());
        // The first texture loader of the process makes names 1 and 2, which models never delete.
        // When other tests of the same process made textures first, deleting a model would
        // delete the defaults too; ctest runs every test in a process of its own.
        if (loader().defaultTexture != 1 || loader().whiteTexture != 2)
            GTEST_SKIP() << "needs the process's first two textures: run it alone or through ctest";
    }

    void TearDown() override
    {
        std::filesystem::current_path(previousFolder);
        GlTest::TearDown();
    }

    // One working folder per process, with Resources/ holding the two default pictures.
    static const std::string& folder()
    {
        static const std::string path = [] {
            std::string dir = makeTempDir("models");
            std::filesystem::create_directories(dir + "/Resources");
            writePicture(dir + "/Resources/default.png", 2, 2, glm::u8vec4(255, 0, 255, 255));
            writePicture(dir + "/Resources/defaultWhite.png", 2, 2, glm::u8vec4(255, 255, 255, 255));
            return dir;
        }();
        return path;
    }

    static TextureLoader& loader()
    {
        static TextureLoader* textureLoader = new TextureLoader();
        return *textureLoader;
    }

    // Draws k_diffuse times the texture, transformed by projectionMatrix * modelMatrix * meshMatrix.
    static Shader& unlitShader()
    {
        static Shader* shader = [] {
            writeText(folder() + "/unlit.vert",
                "#version 330\n"
                "layout(location = 0) in vec3 position;\n"
                "layout(location = 1) in vec3 normal;\n"
                "layout(location = 2) in vec2 uv;\n"
                "uniform mat4 projectionMatrix;\n"
                "uniform mat4 modelMatrix;\n"
                "uniform mat4 meshMatrix;\n"
                "out vec2 texCoord;\n"
                "void main() {\n"
                "    texCoord = uv + normal.xy * 0.0;\n"
                "    gl_Position = projectionMatrix * modelMatrix * meshMatrix * vec4(position, 1.0);\n"
                "}\n");
            writeText(folder() + "/unlit.frag",
                "#version 330\n"
                "uniform vec3 k_diffuse;\n"
                "uniform sampler2D colorTexture;\n"
                "in vec2 texCoord;\n"
                "out vec4 fragColor;\n"
                "void main() { fragColor = vec4(k_diffuse * texture(colorTexture, texCoord).rgb, 1.0); }\n");
            return new Shader(folder() + "/unlit.vert", folder() + "/unlit.frag");
        }();
        return *shader;
    }

    static void writeText(const std::string& path, const std::string& text)
    {
        std::ofstream out(path, std::ios::binary);
        out << text;
    }

    static void writePicture(const std::string& path, unsigned int width, unsigned int height, glm::u8vec4 rgba)
    {
        FIBITMAP* picture = FreeImage_Allocate(static_cast<int>(width), static_cast<int>(height), 32);
        for (unsigned int y = 0; y < height; ++y) {
            BYTE* row = FreeImage_GetScanLine(picture, static_cast<int>(y));
            for (unsigned int x = 0; x < width; ++x) {
                row[x * 4 + FI_RGBA_RED] = rgba.r;
                row[x * 4 + FI_RGBA_GREEN] = rgba.g;
                row[x * 4 + FI_RGBA_BLUE] = rgba.b;
                row[x * 4 + FI_RGBA_ALPHA] = rgba.a;
            }
        }
        FreeImage_Save(FIF_PNG, picture, path.c_str(), 0);
        FreeImage_Unload(picture);
    }

    // Clears and sets projectionMatrix of the unlit program for an eye at (0, 0, 3) looking at
    // the origin; leaves the program current.
    static void beginUnlitFrame()
    {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        Shader& shader = unlitShader();
        shader.use();
        glm::mat4 projection = glm::perspective(glm::radians(60.0f), float(width) / float(height), 0.1f, 50.0f)
            * glm::lookAt(glm::vec3(0.0f, 0.0f, 3.0f), glm::vec3(0.0f), glm::vec3(0.0f, 1.0f, 0.0f));
        glUniformMatrix4fv(
            glGetUniformLocation(shader.program, "projectionMatrix"), 1, GL_FALSE, glm::value_ptr(projection));
    }

private:
    std::string previousFolder;
};
