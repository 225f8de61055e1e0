// Knows the two levels with all their constants and builds a Level on request; owns the one
// paint floor that all levels share.
#pragma once

#include <GL/glew.h>

class Camera;
class Heightmap;
class Level;
class ModelLoader;
class Shader;
class TextureLoader;

class LevelManager {
public:
    LevelManager(Shader* modelShader, Shader* floorShader, TextureLoader* textureLoader, ModelLoader* modelLoader,
        Camera* camera);
    LevelManager(const LevelManager&) = delete;
    LevelManager& operator=(const LevelManager&) = delete;

    // 1 the tutorial room, 2 the server room, 0 an empty level; null for any other number.
    Level* createLevel(int number);

    Shader* modelShader;
    Shader* floorShader;
    TextureLoader* textureLoader;
    ModelLoader* modelLoader;
    Camera* camera;
    Heightmap* heightmap;
};
