#include "input/InputState.h"

#include <cmath>

InputState::InputState(int* windowWidth, int* windowHeight)
    : windowWidth(windowWidth), windowHeight(windowHeight)
{
}

void InputState::press(int code)
{
    KeyState& state = states[code];
    if (state == KeyState::Up)
        state = KeyState::Pressed;
}

void InputState::release(int code)
{
    states[code] = KeyState::Up;
}

bool InputState::isDown(int code)
{
    KeyState& state = states[code];
    if (state == KeyState::Up)
        return false;
    state = KeyState::Held;
    return true;
}

bool InputState::wasPressed(int code)
{
    KeyState& state = states[code];
    if (state != KeyState::Pressed)
        return false;
    state = KeyState::Held;
    return true;
}

void InputState::setCursor(double xpos, double ypos)
{
    double cx = std::floor(static_cast<double>(*windowWidth / 2));
    double cy = std::floor(static_cast<double>(*windowHeight / 2));
    cursorDelta = glm::vec2(static_cast<float>(xpos) - static_cast<float>(cx),
        static_cast<float>(ypos) - static_cast<float>(cy));
}

glm::vec2 InputState::takeCursorDelta()
{
    glm::vec2 delta = cursorDelta;
    cursorDelta = glm::vec2(0.0f, 0.0f);
    return delta;
}

void InputState::setScroll(int step)
{
    scroll = step;
}

int InputState::takeScroll()
{
    int step = scroll;
    scroll = 0;
    return step;
}
