// Drives the player's vehicle each frame: forwards and backwards with collision against the
// room and height from the floor, turning, the free camera keys and the keypad rotations.
#pragma once

#include <glm/glm.hpp>

class Camera;
class Heightmap;
class InputState;
class PlayerModel;
class Scene;

class PlayerController {
public:
    PlayerController(InputState* input, Scene* scene);

    void update(float dt);

    InputState* input;
    Scene* scene;
    Camera* camera;
    PlayerModel* player;
    // The one floor all levels share, so it stays right after a level switch.
    Heightmap* heightmap;
    // 1, or -1 while the vehicle is reversing.
    int direction = 1;

private:
    void moveCamera(float step);
    bool drive(float step, float trackSpeed);
    void turn(float r, float steer);
    void rotateFreely(float step);
};
