// The debug head-up display; filled in with the HUD itself.
#pragma once

class DebugHud {
public:
    void update(float dt);
    void draw();
};
