// The 3D world: the camera, the four scene programs, the model loader, the levels, the
// vehicle, the crosshair, the intro figure, the culled draw list, the scene's loading screen
// and the shadow map, with the small game state that update, draw and scoring share.
// Built once at start-up and never destroyed.
#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

class Camera;
class GameScreens;
class ImageOverlay;
class InputState;
class Level;
class LevelManager;
class Model;
class ModelList;
class ModelLoader;
class PlayerModel;
class Shader;
class TextureLoader;

class Scene {
public:
    Scene(
        InputState* input, TextureLoader* textureLoader, GameScreens* gameScreens, int* windowWidth, int* windowHeight);
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    void update(double dt);
    bool collides(glm::vec3 position) const;
    void draw();
    void createShadowMap();
    void onResize();
    void loadLevel(int number);
    void setFrustumCulling(bool on);

    Level* level = nullptr;
    Camera* camera = nullptr;
    PlayerModel* player = nullptr;
    bool introRunning = false;
    unsigned int meshesDrawn = 0;
    InputState* input;
    TextureLoader* textureLoader;
    ModelLoader* modelLoader = nullptr;
    LevelManager* levelManager = nullptr;
    Shader* diffuseShader = nullptr;
    Shader* orthoShader = nullptr;
    Shader* simpleShader = nullptr;
    Shader* heightmapShader = nullptr;
    Model* crosshair = nullptr;
    Model* paleface = nullptr;
    ModelList* modelList = nullptr;
    float introClock = 0.0f;
    ImageOverlay* loadingOverlay = nullptr;
    GameScreens* gameScreens;
    int* windowWidth;
    int* windowHeight;
    glm::vec4 brushColour { 0.0f };
    int pendingLevel = -1;
    int gameState = 0;
    int levelIndex = 0;
    int lastLevelIndex = 2;
    GLuint shadowFramebuffer = static_cast<GLuint>(-1);
    GLuint shadowTexture = static_cast<GLuint>(-1);

private:
    void updateIntro(double dt);
    void followPlayer();
    // Draws from the light with `lightSpace`, which draw sets first.
    void shadowPass();
    glm::mat4 lightView() const;
    glm::mat4 lightProjection() const;
    void setMainPassUniforms(
        Shader* shader, const glm::mat4& lightMatrix, glm::vec3 spotPosition, glm::vec3 spotDirection);
    void paintInput();
    bool windowHasArea() const;

    // The light's projection times its view, rebuilt at the start of every drawn frame.
    glm::mat4 lightSpace { 1.0f };
};
