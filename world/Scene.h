// The 3D world; filled in with the scene itself.
#pragma once

class Scene {
public:
    void update(double dt);
    void draw();
    void onResize();
};
