#include "render/SharedTextures.h"

#include <algorithm>
#include <vector>

namespace {
// Fallback textures of loaders made after the first (tests make several); a handful at most.
std::vector<GLuint>& added()
{
    static std::vector<GLuint> names;
    return names;
}
}

void SharedTextures::add(GLuint texture)
{
    if (!isShared(texture))
        added().push_back(texture);
}

bool SharedTextures::isShared(GLuint texture)
{
    return texture <= 2 || std::find(added().begin(), added().end(), texture) != added().end();
}

void SharedTextures::release(GLuint texture)
{
    if (!isShared(texture))
        glDeleteTextures(1, &texture);
}
