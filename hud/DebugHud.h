// The debug head-up display: six lines in the upper left corner (frame rate, the render
// switches, meshes drawn) and the function keys that switch wire-frame, texture sampling,
// mip-mapping, blending and frustum culling. Owns its labels and three sampler objects.
#pragma once

#include "hud/RenderSettings.h"

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <string>
#include <vector>

class FontGen;
class InputState;
class Scene;
class Shader;
class TextLabel;
class TextureLoader;

class DebugHud {
public:
    DebugHud(Shader* fontShader, InputState* input, TextureLoader* textureLoader, FontGen* fontGen, Scene* scene,
        int* windowWidth, int* windowHeight);
    DebugHud(const DebugHud&) = delete;
    DebugHud& operator=(const DebugHud&) = delete;

    void update(float dt);
    void draw();

    RenderSettings settings;
    Shader* fontShader;
    InputState* input;
    TextureLoader* textureLoader;
    FontGen* fontGen;
    Scene* scene;
    TextLabel* fpsText = nullptr;
    TextLabel* wireOnText = nullptr;
    TextLabel* wireOffText = nullptr;
    TextLabel* samplingNearestText = nullptr;
    TextLabel* samplingBilinearText = nullptr;
    TextLabel* mipOffText = nullptr;
    TextLabel* mipNearestText = nullptr;
    TextLabel* mipLinearText = nullptr;
    TextLabel* transparencyOnText = nullptr;
    TextLabel* transparencyOffText = nullptr;
    TextLabel* frustumText = nullptr;
    std::vector<GLuint> samplers;
    glm::vec3 textColour{0.85f, 0.85f, 0.85f};
    glm::vec2 fpsPosition{0.0f};
    glm::vec2 frustumPosition{0.0f};
    int* windowWidth;
    int* windowHeight;
    float fps = 0.0f;
    // The texts of the two lines that change, as last built.
    std::string fpsLine;
    std::string frustumLine;

private:
    void handleKeys();
    void applyFilters();
    void replaceLabel(TextLabel*& label, std::string& line, const std::string& text, glm::vec2 position);
};
