#include "hud/DebugHud.h"

#include "input/InputState.h"
#include "overlay/FontGen.h"
#include "overlay/TextLabel.h"
#include "render/Shader.h"
#include "render/TextureLoader.h"
#include "render/Uniform.h"
#include "world/Scene.h"

#include <GLFW/glfw3.h>

#include <cstdio>

DebugHud::DebugHud(Shader* fontShader, InputState* input, TextureLoader* textureLoader, FontGen* fontGen,
    Scene* scene, int* windowWidth, int* windowHeight)
    : fontShader(fontShader), input(input), textureLoader(textureLoader), fontGen(fontGen), scene(scene),
      windowWidth(windowWidth), windowHeight(windowHeight)
{
    // Unit 2 carries the glyphs and gets no sampler: text keeps its own linear filtering.
    for (int unit : {0, 1, 3})
        samplers.push_back(textureLoader->createSampler(unit, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR));
    fps = 0.0f;

    float x = static_cast<float>(-*windowWidth / 2 + 10);
    int top = *windowHeight / 2;
    auto line = [&](int offset) { return glm::vec2(x, static_cast<float>(top - offset)); };
    fpsPosition = line(25);
    frustumPosition = line(135);
    replaceLabel(fpsText, fpsLine, "FPS: 0.0", fpsPosition);
    wireOnText = fontGen->createText("Wire-Frame-Mode: On", line(47));
    wireOffText = fontGen->createText("Wire-Frame-Mode: Off", line(47));
    samplingNearestText = fontGen->createText("Textur-Sampling-Quality: Nearest Neighbor", line(69));
    samplingBilinearText = fontGen->createText("Textur-Sampling-Quality: Bilinear", line(69));
    mipOffText = fontGen->createText("Mip Mapping-Quality: Off", line(91));
    mipNearestText = fontGen->createText("Mip Mapping-Quality: Nearest Neighbor", line(91));
    mipLinearText = fontGen->createText("Mip Mapping-Quality: Linear", line(91));
    transparencyOnText = fontGen->createText("Transparency: On", line(113));
    transparencyOffText = fontGen->createText("Transparency: Off", line(113));
    replaceLabel(frustumText, frustumLine, "Frustum Culling: Off", frustumPosition);
}

void DebugHud::update(float dt)
{
    settings.fpsTimer -= dt;
    if (settings.fpsTimer <= 0.0f) {
        settings.fpsTimer = settings.fpsInterval;
        fps = static_cast<float>(1.0 / static_cast<double>(dt));
        char text[64];
        std::snprintf(text, sizeof text, "FPS: %f", fps);
        replaceLabel(fpsText, fpsLine, text, fpsPosition);
    }
    handleKeys();
    if (settings.frustumCulling) {
        char text[64];
        std::snprintf(text, sizeof text, "Frustum Culling: %u Meshes drawn", scene->meshesDrawn);
        replaceLabel(frustumText, frustumLine, text, frustumPosition);
    }
}

void DebugHud::handleKeys()
{
    if (input->wasPressed(GLFW_KEY_F2))
        settings.hudVisible = !settings.hudVisible;
    if (input->wasPressed(GLFW_KEY_F3)) {
        glPolygonMode(GL_FRONT, settings.wireframe ? GL_FILL : GL_LINE);
        settings.wireframe = !settings.wireframe;
    }
    if (input->wasPressed(GLFW_KEY_F4)) {
        settings.samplingMode = (settings.samplingMode + 1) % 2;
        applyFilters();
    }
    if (input->wasPressed(GLFW_KEY_F5)) {
        settings.mipMode = (settings.mipMode + 1) % 3;
        applyFilters();
    }
    if (input->wasPressed(GLFW_KEY_F8)) {
        if (settings.transparency)
            glDisable(GL_BLEND);
        else
            glEnable(GL_BLEND);
        settings.transparency = !settings.transparency;
    }
    if (input->wasPressed(GLFW_KEY_F9)) {
        settings.frustumCulling = !settings.frustumCulling;
        scene->setFrustumCulling(settings.frustumCulling);
        if (!settings.frustumCulling)
            replaceLabel(frustumText, frustumLine, "Frustum Culling: Off", frustumPosition);
    }
}

void DebugHud::applyFilters()
{
    for (GLuint sampler : samplers)
        textureLoader->setSamplerFilters(sampler, settings.minFilter(), settings.magFilter());
}

void DebugHud::replaceLabel(TextLabel*& label, std::string& line, const std::string& text, glm::vec2 position)
{
    delete label;
    label = fontGen->createText(text.c_str(), position);
    line = text;
}

// The display itself is always drawn blended and filled, whatever the switches say.
void DebugHud::draw()
{
    if (!settings.hudVisible)
        return;
    if (!settings.transparency)
        glEnable(GL_BLEND);
    if (settings.wireframe)
        glPolygonMode(GL_FRONT, GL_FILL);
    fontShader->use();
    Uniform::set(fontShader, "color", textColour);
    fpsText->draw();
    (settings.wireframe ? wireOnText : wireOffText)->draw();
    (settings.samplingMode == 0 ? samplingBilinearText : samplingNearestText)->draw();
    (settings.mipMode == 2 ? mipLinearText : settings.mipMode == 1 ? mipNearestText : mipOffText)->draw();
    (settings.transparency ? transparencyOnText : transparencyOffText)->draw();
    frustumText->draw();
    if (!settings.transparency)
        glDisable(GL_BLEND);
    if (settings.wireframe)
        glPolygonMode(GL_FRONT, GL_LINE);
}
