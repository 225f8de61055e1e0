// The game's shader pairs, each built once per test process (programs are never deleted).
#pragma once

#include "render/Shader.h"

#include <map>
#include <memory>
#include <string>

inline Shader* testShader(const std::string& name)
{
    static std::map<std::string, std::unique_ptr<Shader>> shaders;
    std::unique_ptr<Shader>& shader = shaders[name];
    if (!shader)
        shader = std::make_unique<Shader>("Shader/" + name + ".vert", "Shader/" + name + ".frag");
    return shader.get();
}
