// One picture shown over the whole window, scaled uniformly to fit and centred. Owns the quad
// mesh, rebuilt from the live window size on request; the texture belongs to whoever loaded it.
#pragma once

#include <GL/glew.h>

class Mesh;
class Shader;

class ImageOverlay {
public:
    ImageOverlay(Shader* shader, GLuint texture, int textureUnit, int imageWidth, int imageHeight, int* windowWidth,
        int* windowHeight);
    ~ImageOverlay();
    ImageOverlay(const ImageOverlay&) = delete;
    ImageOverlay& operator=(const ImageOverlay&) = delete;

    // Builds the quad again for the window size as it is now.
    void rebuild();
    // Only draws: the caller has made the overlay's shader current.
    void draw();

    Mesh* mesh = nullptr;
    Shader* shader = nullptr;
    GLuint texture = 0;
    int textureUnit = 0;
    int* windowWidth = nullptr;
    int* windowHeight = nullptr;
    int imageWidth = 0;
    int imageHeight = 0;
};
