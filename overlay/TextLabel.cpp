#include "overlay/TextLabel.h"

#include "render/Mesh.h"
#include "render/Shader.h"

#include <glm/gtc/type_ptr.hpp>

#include <utility>

TextLabel::TextLabel(std::vector<Mesh*> meshes, glm::mat4 transform, Shader* shader)
    : meshes(std::move(meshes))
    , transform(transform)
    , shader(shader)
{
}

TextLabel::~TextLabel()
{
    for (Mesh* mesh : meshes)
        delete mesh;
}

void TextLabel::draw()
{
    glUniformMatrix4fv(glGetUniformLocation(shader->program, "modelMatrix"), 1, GL_FALSE, glm::value_ptr(transform));
    for (Mesh* mesh : meshes)
        mesh->draw();
}
