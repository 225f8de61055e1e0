// One built string: a quad mesh per character in string order, drawn with the font shader.
// Owns its meshes; a label never changes, its owner replaces it with a new one.
#pragma once

#include <glm/glm.hpp>

#include <string>
#include <vector>

class Mesh;
class Shader;

class TextLabel {
public:
    TextLabel(std::vector<Mesh*> meshes, glm::mat4 transform, Shader* shader);
    ~TextLabel();
    TextLabel(const TextLabel&) = delete;
    TextLabel& operator=(const TextLabel&) = delete;

    // The caller has made the font shader current and set its "color".
    void draw();

    std::vector<Mesh*> meshes;
    glm::mat4 transform { 1.0f };
    Shader* shader = nullptr;
    // The string the label was built from, kept so that its owner can be checked.
    std::string text;
};
