// The colours of a surface, copied into each mesh; only red, green and blue reach the shader.
#pragma once

#include <glm/glm.hpp>

struct Material {
    glm::vec4 ambient{0.0f};
    glm::vec4 diffuse{0.0f};
    glm::vec4 specular{0.0f};
};
