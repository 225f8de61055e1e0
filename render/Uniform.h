// Setting a uniform of a program by name. Locations are looked up at every use and never
// cached; a name the program lacks is silently not set (GL ignores location -1). Writes go to
// the program that is current.
#pragma once

#include "render/Shader.h"

#include <GL/glew.h>
#include <glm/glm.hpp>
#include <glm/gtc/type_ptr.hpp>

namespace Uniform {
inline void set(const Shader* shader, const char* name, const glm::mat4& value)
{
    glUniformMatrix4fv(glGetUniformLocation(shader->program, name), 1, GL_FALSE, glm::value_ptr(value));
}
inline void set(const Shader* shader, const char* name, glm::vec3 value)
{
    glUniform3f(glGetUniformLocation(shader->program, name), value.x, value.y, value.z);
}
inline void set(const Shader* shader, const char* name, int value)
{
    glUniform1i(glGetUniformLocation(shader->program, name), value);
}
}
