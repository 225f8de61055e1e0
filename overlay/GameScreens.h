// The 2D layer of the game over the 3D scene: the ball indicator with its count, the target
// picture view and the end screen with the score, the win or lose picture and the key lines.
// Owns its quads, labels, overlay and the pictures it loaded.
#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <string>

class FontGen;
class ImageOverlay;
class Mesh;
class Shader;
class TextLabel;
class TextureLoader;

class GameScreens {
public:
    GameScreens(Shader* fontShader, Shader* orthoShader, FontGen* fontGen, TextureLoader* textureLoader,
        int* windowWidth, int* windowHeight);
    ~GameScreens();
    GameScreens(const GameScreens&) = delete;
    GameScreens& operator=(const GameScreens&) = delete;

    // Builds the quads and the fixed texts for the window size as it is now.
    void layout();
    void onResize();
    void setBallInfo(int count, glm::vec3 colour);
    // A score from 0 to 1 shows the end screen; -1 leaves it.
    void setResult(float score, bool lastLevel);
    void togglePicture(const std::string& path);
    void draw();
    // A quad of width x height pixels with its lower left corner at (x, y) in device coordinates.
    Mesh* makeQuad(GLuint texture, int unit, unsigned int width, unsigned int height, float x, float y);

    Shader* fontShader = nullptr;
    Shader* orthoShader = nullptr;
    FontGen* fontGen = nullptr;
    TextureLoader* textureLoader = nullptr;
    Mesh* ballQuad = nullptr;
    Mesh* winQuad = nullptr;
    Mesh* loseQuad = nullptr;
    TextLabel* ballCountText = nullptr;
    ImageOverlay* pictureOverlay = nullptr;
    float result = -1.0f;
    glm::vec3 textColour { 0.85f };
    glm::vec3 ballColour { 0.85f };
    TextLabel* quitText = nullptr;
    TextLabel* nextText = nullptr;
    TextLabel* scoreText = nullptr;
    glm::vec2 scorePosition { 0.0f };
    bool ended = false;
    int* windowWidth = nullptr;
    int* windowHeight = nullptr;
    int ballCount = 0;
    GLuint pictureTexture = static_cast<GLuint>(-1);
    GLuint ballTexture = 0;
    GLuint winTexture = 0;
    GLuint loseTexture = 0;
    glm::uvec2 ballSize { 0 };
    glm::uvec2 winSize { 0 };
    glm::uvec2 loseSize { 0 };
    std::string picturePath;
    bool pictureShown = false;
    bool hideNext = false;

private:
    void setColour(glm::vec3 colour);
};
