// The process-wide screen size and the table of the long-lived objects, through which the
// window callbacks and the main loop reach them. Every object is made once at start-up and
// lives until the process ends.
#pragma once

class Scene;
class PlayerController;
class DebugHud;
class Shader;
class InputState;
class FontGen;
class TextureLoader;

extern int screenWidth;
extern int screenHeight;

struct AppObjects {
    Scene* scene = nullptr;
    PlayerController* controller = nullptr;
    DebugHud* debugHud = nullptr;
    Shader* fontShader = nullptr;
    Shader* orthoShader = nullptr;
    InputState* input = nullptr;
    FontGen* fontGen = nullptr;
    TextureLoader* textureLoader = nullptr;
};

extern AppObjects appObjects;
