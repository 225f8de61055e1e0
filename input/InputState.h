// Per-key and per-button state with fresh-press detection, the last cursor offset from the
// window centre and the last scroll step. Written by the window callbacks, polled by the game.
#pragma once

#include <glm/glm.hpp>

#include <map>

enum class KeyState : int { Up = 0, Held = 1, Pressed = 2 };

class InputState {
public:
    InputState(int* windowWidth, int* windowHeight);

    void press(int code);
    void release(int code);
    // Both queries consume a fresh press.
    bool isDown(int code);
    bool wasPressed(int code);

    void setCursor(double xpos, double ypos);
    glm::vec2 takeCursorDelta();
    void setScroll(int step);
    int takeScroll();

    // Keys and mouse buttons share this table; GLFW's button numbers lie below its key codes.
    std::map<int, KeyState> states;
    int* windowWidth;
    int* windowHeight;
    glm::vec2 cursorDelta{0.0f, 0.0f};
    int scroll = 0;
};
