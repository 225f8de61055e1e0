// The rule that protects the textures everyone shares: name 0 (no texture) and the texture
// loader's default and white textures, the first two made (names 1 and 2), which stand in for
// every picture that failed to load. Their users never delete them; every other texture is
// deleted by whoever owns it, through release.
#pragma once

#include <GL/glew.h>

class SharedTextures {
public:
    // Called by each texture loader for its two fallback textures (1 and 2 for the game's own).
    static void add(GLuint texture);
    static bool isShared(GLuint texture);
    // Deletes the texture unless it is shared.
    static void release(GLuint texture);
};
