// Driving the vehicle; filled in with the player control.
#pragma once

class PlayerController {
public:
    void update(float dt);
};
