// What start-up makes before the scene, made once per test process as the game makes it once:
// the orthographic program with its projection, the texture loader (the process's first two
// textures, the default and white ones), the font program and the font. Never freed.
#pragma once

#include "overlay/FontGen.h"
#include "render/Shader.h"
#include "render/TextureLoader.h"
#include "render/Uniform.h"

#include <glm/gtc/matrix_transform.hpp>

struct StartupLayer {
    Shader* orthoShader = nullptr;
    Shader* fontShader = nullptr;
    TextureLoader* textureLoader = nullptr;
    FontGen* fontGen = nullptr;

    // The font keeps the size pointers, so they must live as long as the process.
    static StartupLayer& get(int* windowWidth, int* windowHeight)
    {
        static StartupLayer layer;
        if (layer.fontGen)
            return layer;
        layer.orthoShader = new Shader("Shader/orthShader.vert", "Shader/orthShader.frag");
        layer.orthoShader->use();
        float aspect = static_cast<float>(*windowWidth) / static_cast<float>(*windowHeight);
        Uniform::set(layer.orthoShader, "projectionMatrix", glm::ortho(-aspect, aspect, -1.0f, 1.0f));
        layer.textureLoader = new TextureLoader();
        layer.fontShader = new Shader("Shader/fontShader.vert", "Shader/fontShader.frag");
        layer.fontGen
            = new FontGen(layer.fontShader, "Resources/LiberationSans-Regular.ttf", 2, 22, windowWidth, windowHeight);
        return layer;
    }
};
