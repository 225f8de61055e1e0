// A real game world with the debug display made after the scene, as start-up makes it, updated
// before the world and drawn after it in every frame.
#pragma once

#include "hud/DebugHud.h"
#include "tests/world/PlayFixture.h"

class HudFixture : public PlayFixture {
protected:
    void afterScene() override
    {
        hud = new DebugHud(fontShader, input, textureLoader, fontGen, scene, &windowWidth, &windowHeight);
    }
    void beforeWorld(float dt) override
    {
        hud->update(dt);
    }
    void afterWorld() override
    {
        hud->draw();
    }

    // A key held for one frame.
    void tap(int key)
    {
        press(key);
        frame();
        release(key);
    }

    inline static DebugHud* hud = nullptr;
};
