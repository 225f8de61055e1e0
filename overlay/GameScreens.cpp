#include "overlay/GameScreens.h"

#include "overlay/FontGen.h"
#include "overlay/ImageOverlay.h"
#include "overlay/TextLabel.h"
#include "render/Mesh.h"
#include "render/Shader.h"
#include "render/SharedTextures.h"
#include "render/TextureLoader.h"

#include <cmath>
#include <cstdio>

namespace {
const glm::vec3 lightGrey(0.85f, 0.85f, 0.85f);

// A minimised window reports a zero size; dividing by 1 keeps every quad finite until the
// next real size lays everything out again.
float divisor(int size)
{
    return size > 0 ? static_cast<float>(size) : 1.0f;
}
}

GameScreens::GameScreens(Shader* fontShader, Shader* orthoShader, FontGen* fontGen, TextureLoader* textureLoader,
    int* windowWidth, int* windowHeight)
    : fontShader(fontShader)
    , orthoShader(orthoShader)
    , fontGen(fontGen)
    , textureLoader(textureLoader)
    , windowWidth(windowWidth)
    , windowHeight(windowHeight)
{
    ballTexture = textureLoader->loadTexture("Resources/colorBall.png", 1, ballSize.x, ballSize.y);
    winTexture = textureLoader->loadTexture("Resources/winScreen.png", 1, winSize.x, winSize.y);
    loseTexture = textureLoader->loadTexture("Resources/looseScreen.png", 1, loseSize.x, loseSize.y);
    ballColour = lightGrey;
    layout();
}

GameScreens::~GameScreens()
{
    delete ballQuad;
    delete winQuad;
    delete loseQuad;
    delete ballCountText;
    delete pictureOverlay;
    delete quitText;
    delete nextText;
    delete scoreText;
    if (pictureTexture != static_cast<GLuint>(-1))
        SharedTextures::release(pictureTexture);
    SharedTextures::release(ballTexture);
    SharedTextures::release(winTexture);
    SharedTextures::release(loseTexture);
}

Mesh* GameScreens::makeQuad(GLuint texture, int unit, unsigned int width, unsigned int height, float x, float y)
{
    float w = static_cast<float>(width) * 2.0f / divisor(*windowWidth);
    float h = static_cast<float>(height) * 2.0f / divisor(*windowHeight);
    const float positions[] = { x, y, 0, x, y + h, 0, x + w, y, 0, x + w, y + h, 0 };
    const float normals[] = { 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1 };
    const float uvs[] = { 0, 0, 0, 1, 1, 0, 1, 1 };
    const unsigned int indices[] = { 0, 2, 1, 3 };
    return new Mesh(fontShader, normals, uvs, positions, indices, 4, 4, texture, unit, GL_TRIANGLE_STRIP, Material());
}

void GameScreens::layout()
{
    delete ballQuad;
    delete winQuad;
    delete loseQuad;
    delete nextText;
    delete quitText;

    float width = divisor(*windowWidth);
    float height = divisor(*windowHeight);
    ballQuad
        = makeQuad(ballTexture, 1, ballSize.x, ballSize.y, -1.0f + 10.0f * 2.0f / width, -1.0f + 10.0f * 2.0f / height);
    winQuad = makeQuad(winTexture, 1, winSize.x, winSize.y, -static_cast<float>(winSize.x) / width,
        1.0f - (2.0f * static_cast<float>(winSize.y) + 10.0f) / height);
    loseQuad = makeQuad(loseTexture, 1, loseSize.x, loseSize.y, -static_cast<float>(loseSize.x) / width,
        1.0f - (2.0f * static_cast<float>(loseSize.y) + 10.0f) / height);
    textColour = lightGrey;
    scorePosition = glm::vec2(-110.0f, static_cast<float>(*windowHeight / 2 - static_cast<int>(loseSize.y) - 80));
    setBallInfo(ballCount, ballColour);
    float halfHeight = static_cast<float>(*windowHeight) / 2.0f;
    nextText = fontGen->createText("Press Enter to play the next level.", glm::vec2(-175.0f, -halfHeight + 55.0f));
    quitText = fontGen->createText("Press ESC to quit the game.", glm::vec2(-145.0f, -halfHeight + 30.0f));
}

void GameScreens::onResize()
{
    layout();
    if (ended)
        setResult(result, hideNext);
    if (pictureShown) {
        pictureShown = false;
        togglePicture(picturePath);
    }
}

void GameScreens::setBallInfo(int count, glm::vec3 colour)
{
    ballCount = count;
    ballColour = colour;
    char text[32];
    std::snprintf(text, sizeof text, "x %d", count);
    delete ballCountText;
    ballCountText = fontGen->createText(
        text, glm::vec2(static_cast<float>(-*windowWidth / 2 + 65), static_cast<float>(-*windowHeight / 2 + 22)));
}

void GameScreens::setResult(float score, bool lastLevel)
{
    result = score;
    if (score == -1.0f) {
        ended = false;
        return;
    }
    hideNext = lastLevel;
    float scaled = score * 1000.0f;
    float rounded = static_cast<float>(static_cast<double>(scaled) + 0.5);
    float percent = std::floor(rounded) / 10.0f;
    if (percent < 50.0f)
        hideNext = true;
    char text[64];
    std::snprintf(text, sizeof text, "You got %.1f%% correct.", static_cast<double>(percent));
    delete scoreText;
    scoreText = fontGen->createText(text, scorePosition);
    ended = true;
    pictureShown = false;
}

void GameScreens::togglePicture(const std::string& path)
{
    pictureShown = !pictureShown;
    delete pictureOverlay;
    pictureOverlay = nullptr;
    if (pictureTexture != static_cast<GLuint>(-1))
        SharedTextures::release(pictureTexture);
    unsigned int width = 0;
    unsigned int height = 0;
    pictureTexture = textureLoader->loadTexture(path, 1, width, height);
    pictureOverlay = new ImageOverlay(
        orthoShader, pictureTexture, 1, static_cast<int>(width), static_cast<int>(height), windowWidth, windowHeight);
    picturePath = path;
}

void GameScreens::setColour(glm::vec3 colour)
{
    glUniform3f(glGetUniformLocation(fontShader->program, "color"), colour.r, colour.g, colour.b);
}

void GameScreens::draw()
{
    if (!ended) {
        fontShader->use();
        setColour(textColour);
        ballCountText->draw();
        setColour(ballColour);
        ballQuad->draw();
        if (pictureShown && pictureOverlay) {
            orthoShader->use();
            pictureOverlay->draw();
        }
        return;
    }

    fontShader->use();
    setColour(textColour);
    if (scoreText)
        scoreText->draw();
    if (!hideNext)
        nextText->draw();
    quitText->draw();
    orthoShader->use();
    // Drawn with the program that is current, so its uniforms land in that program.
    Mesh* picture = result >= 0.5f ? winQuad : loseQuad;
    picture->draw(orthoShader);
}
