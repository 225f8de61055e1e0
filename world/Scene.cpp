#include "world/Scene.h"

#include "game/FloorMesh.h"
#include "game/Heightmap.h"
#include "game/Level.h"
#include "game/LevelManager.h"
#include "input/InputState.h"
#include "overlay/GameScreens.h"
#include "overlay/ImageOverlay.h"
#include "render/Camera.h"
#include "render/Mesh.h"
#include "render/Model.h"
#include "render/ModelList.h"
#include "render/ModelLoader.h"
#include "render/Shader.h"
#include "render/TextureLoader.h"
#include "render/Uniform.h"
#include "world/PlayerModel.h"

#include <GLFW/glfw3.h>
#include <glm/gtc/matrix_transform.hpp>

#include <cmath>

#include <iostream>

namespace {
// Without a vehicle file the game still runs: an empty model stands in for the vehicle.
Model* orEmpty(Model* model, Shader* shader)
{
    return model ? model : new Model(glm::mat4(1.0f), {}, shader);
}
}

Scene::Scene(
    InputState* input, TextureLoader* textureLoader, GameScreens* gameScreens, int* windowWidth, int* windowHeight)
    : input(input)
    , textureLoader(textureLoader)
    , gameScreens(gameScreens)
    , windowWidth(windowWidth)
    , windowHeight(windowHeight)
{
    brushColour = glm::vec4(0.0f);
    modelLoader = new ModelLoader(textureLoader);
    orthoShader = new Shader("Shader/orthShader.vert", "Shader/orthShader.frag");
    diffuseShader = new Shader("Shader/diffuse.vert", "Shader/diffuse.frag");
    simpleShader = new Shader("Shader/simpleShader.vert", "Shader/simpleShader.frag");
    heightmapShader = new Shader("Shader/heightmapShader.vert", "Shader/heightmapShader.frag");
    camera = new Camera(glm::vec3(0.0f), windowWidth, windowHeight);
    camera->updateProjection();
    modelList = new ModelList(camera);

    crosshair = modelLoader->loadModel("Resources/crosshair.obj", orthoShader, 0.05f);
    Model* vehicle = orEmpty(modelLoader->loadModel("Resources/Tintbox.3ds", diffuseShader, 0.1f), diffuseShader);
    player = new PlayerModel(vehicle);
    modelList->add(vehicle);
    paleface = modelLoader->loadModel("Resources/paleface.3ds", diffuseShader, 0.5f);

    levelManager = new LevelManager(diffuseShader, heightmapShader, textureLoader, modelLoader, camera);
    loadLevel(1);
    brushColour = glm::vec4(0.0f, 0.0f, 1.0f, 1.0f);

    unsigned int width = 0;
    unsigned int height = 0;
    GLuint loading = textureLoader->loadTexture("Resources/loadingScreen.jpg", 1, width, height);
    loadingOverlay = new ImageOverlay(orthoShader, loading, 1, width, height, windowWidth, windowHeight);
    createShadowMap();
    pendingLevel = -1;
    introRunning = false;
    introClock = 0.0f;
    meshesDrawn = 0;
}

void Scene::onResize()
{
    // A minimised window has no size: keep everything as it is until it has one again.
    if (!windowHasArea())
        return;
    camera->updateProjection();
    gameScreens->onResize();
    loadingOverlay->rebuild();
    createShadowMap();
}

void Scene::loadLevel(int number)
{
    delete level;
    level = nullptr;
    if (number == 1 || number == 2) {
        level = levelManager->createLevel(number);
        levelIndex = number;
    } else {
        level = levelManager->createLevel(0);
        levelIndex = 0;
    }
    level->registerModels(modelList);
    level->placePlayer(player->model);
    followPlayer();
    Heightmap* heightmap = level->heightmap;
    brushColour = glm::vec4(heightmap->currentColour(), 1.0f);
    gameScreens->setBallInfo(heightmap->currentColourCount(), heightmap->currentColour());
}

void Scene::createShadowMap()
{
    if (shadowFramebuffer != static_cast<GLuint>(-1))
        glDeleteFramebuffers(1, &shadowFramebuffer);
    if (shadowTexture != static_cast<GLuint>(-1))
        glDeleteTextures(1, &shadowTexture);
    glGenTextures(1, &shadowTexture);
    glActiveTexture(GL_TEXTURE4);
    glBindTexture(GL_TEXTURE_2D, shadowTexture);
    glTexImage2D(
        GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT32F, *windowWidth, *windowHeight, 0, GL_DEPTH_COMPONENT, GL_FLOAT, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_FUNC, GL_LEQUAL);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_REF_TO_TEXTURE);

    glGenFramebuffers(1, &shadowFramebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, shadowFramebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, shadowTexture, 0);
    glDrawBuffer(GL_NONE);
    glReadBuffer(GL_NONE);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
        std::cout << "error creating fbo" << std::endl;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void Scene::setFrustumCulling(bool on)
{
    camera->setCullingEnabled(on);
}

void Scene::followPlayer()
{
    camera->follow(player->position(), -player->forward());
}

bool Scene::windowHasArea() const
{
    return *windowWidth > 0 && *windowHeight > 0;
}

bool Scene::collides(glm::vec3 position) const
{
    for (Model* model : level->models)
        for (Mesh* mesh : model->meshes)
            for (Mesh* own : player->model->meshes)
                if (own->overlaps(*mesh, model->getPosition(), position))
                    return true;
    return false;
}

void Scene::update(double dt)
{
    float a = static_cast<float>(dt);
    if (levelIndex == 2 && level->introPending)
        updateIntro(dt);
    player->animateTracks(a);
    if (pendingLevel == 2)
        loadLevel(2);
    pendingLevel = -1;
    if (levelIndex == 1 && input->wasPressed(GLFW_KEY_BACKSPACE)) {
        pendingLevel = 2;
        // A decided tutorial would leave its end screen over a server room that cannot be painted.
        if (gameState != 0) {
            gameState = 0;
            gameScreens->setResult(-1.0f, false);
        }
    }
    // Keypad Enter is asked only when Enter reported nothing; a press is used up even before a win.
    if (levelIndex == 1 && (input->wasPressed(GLFW_KEY_ENTER) || input->wasPressed(GLFW_KEY_KP_ENTER))
        && gameState == 3) {
        gameState = 0;
        gameScreens->setResult(-1.0f, false);
        pendingLevel = 2;
    }
    // Always taken, so that movement during the intro is dropped.
    glm::vec2 delta = input->takeCursorDelta();
    if (introRunning)
        return;
    // One jump of 150 pixels or more is a glitch of the window system, not a look.
    if (glm::length(delta) < 150.0f)
        camera->look(delta);
}

// The one-time walk of the figure through the server room, seen from a fixed camera. Without a
// figure there is nothing to walk and the intro ends at once.
void Scene::updateIntro(double dt)
{
    if (paleface) {
        if (!introRunning) {
            modelList->add(paleface);
            paleface->setPosition(glm::vec3(10.5f, 1.0f, 4.8f));
            paleface->rotate(1.18f, glm::vec3(0.0f, 1.0f, 0.0f));
            introRunning = true;
            camera->position = glm::vec3(-0.743143857f, 1.99220288f, 8.14836121f);
            camera->setDirection(glm::vec3(2.06174827f, -0.775571764f, -0.384264082f));
        }
        introClock = static_cast<float>(introClock + dt * 7.0);
        float swing = std::sin(introClock) * 10.0f;
        paleface->rotateMesh(0, swing, glm::vec3(0.0f, 0.0f, 1.0f), glm::vec3(-0.45f, 0.61f, 0.0f));
        paleface->rotateMesh(2, -swing, glm::vec3(0.0f, 0.0f, 1.0f), glm::vec3(0.45f, 0.61f, 0.0f));
        paleface->translate(glm::vec3(0.0f, 0.0f, -1.5f) * static_cast<float>(dt));
        if (paleface->getPosition().x > 0.0f)
            return;
        modelList->remove(paleface);
    }
    level->introPending = false;
    introRunning = false;
    followPlayer();
    camera->setDirection(glm::vec3(-2.0f, -1.0f, 0.0f));
}

void Scene::draw()
{
    if (pendingLevel >= 0) {
        orthoShader->use();
        loadingOverlay->draw();
        return;
    }
    // Nothing of a minimised window is seen, and its size gives no aspect ratio.
    if (!windowHasArea())
        return;
    meshesDrawn = 0;
    lightSpace = lightProjection() * lightView();
    shadowPass();

    // Maps clip coordinates -1..1 to texture coordinates 0..1.
    const glm::mat4 bias(
        0.5f, 0.0f, 0.0f, 0.0f, 0.0f, 0.5f, 0.0f, 0.0f, 0.0f, 0.0f, 0.5f, 0.0f, 0.5f, 0.5f, 0.5f, 1.0f);
    glm::mat4 lightMatrix = bias * lightSpace;
    glm::vec3 spotPosition = player->model->getPosition() + glm::vec3(0.0f, 0.2f, 0.0f);
    glm::vec3 spotDirection = player->model->forward() + glm::vec3(0.0f, -0.2f, 0.0f);

    glActiveTexture(GL_TEXTURE4);
    glBindTexture(GL_TEXTURE_2D, shadowTexture);
    setMainPassUniforms(diffuseShader, lightMatrix, spotPosition, spotDirection);
    setMainPassUniforms(heightmapShader, lightMatrix, spotPosition, spotDirection);

    FloorMesh* floor = level->heightmap->floorMesh;
    if (floor && camera->isInFrustum(*floor->mesh, glm::mat4(1.0f))) {
        level->drawFloor(heightmapShader);
        meshesDrawn += 1;
    }
    if (gameState != 2 && gameState != 3)
        paintInput();

    diffuseShader->use();
    level->applyLighting(diffuseShader);
    meshesDrawn += modelList->drawCulled(diffuseShader);

    if (crosshair) {
        orthoShader->use();
        crosshair->draw();
    }
    gameScreens->draw();
    if (input->wasPressed(GLFW_KEY_SPACE))
        gameScreens->togglePicture(level->heightmap->originalPath);
}

// Everything goes into the shadow map, culled or not, so that what the camera does not see
// still casts its shadow.
void Scene::shadowPass()
{
    glBindFramebuffer(GL_FRAMEBUFFER, shadowFramebuffer);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    simpleShader->use();
    Uniform::set(simpleShader, "projectionMatrix", lightSpace);
    Uniform::set(simpleShader, "cameraPosition", level->lightPosition);
    level->drawFloor(simpleShader);
    bool culling = camera->cullingEnabled;
    camera->setCullingEnabled(false);
    modelList->drawCulled(simpleShader);
    camera->setCullingEnabled(culling);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

glm::mat4 Scene::lightView() const
{
    glm::vec3 light = level->lightPosition;
    return glm::lookAt(light, light + level->lightDirection, glm::vec3(0.0f, 1.0f, 0.0f));
}

glm::mat4 Scene::lightProjection() const
{
    float aspect = static_cast<float>(*windowWidth) / static_cast<float>(*windowHeight);
    return glm::perspective(glm::radians(60.0f), aspect, 0.1f, 50.0f);
}

void Scene::setMainPassUniforms(
    Shader* shader, const glm::mat4& lightMatrix, glm::vec3 spotPosition, glm::vec3 spotDirection)
{
    shader->use();
    Uniform::set(shader, "projectionMatrix", camera->projection * camera->viewMatrix());
    Uniform::set(shader, "cameraPosition", camera->position);
    Uniform::set(shader, "shadowMap", 4);
    Uniform::set(shader, "projectionLightSource", lightMatrix);
    Uniform::set(shader, "lightPosition", level->lightPosition);
    Uniform::set(shader, "spotPosition", spotPosition);
    Uniform::set(shader, "spotDirection", spotDirection);
}

// Runs after the floor and before everything else, so the depth read under the crosshair
// finds the floor.
void Scene::paintInput()
{
    Heightmap* heightmap = level->heightmap;
    if (input->isDown(GLFW_MOUSE_BUTTON_LEFT)) {
        level->paintWithCurrentColour();
        float score = heightmap->score();
        if (score >= 0.0f) {
            gameState = score >= 0.5f ? 3 : 2;
            gameScreens->setResult(score, levelIndex == lastLevelIndex);
        }
        gameScreens->setBallInfo(heightmap->currentColourCount(), heightmap->currentColour());
    }
    if (input->isDown(GLFW_MOUSE_BUTTON_RIGHT))
        level->paintAtCrosshair(glm::vec4(0.0f));
    int step = input->takeScroll();
    if (step != 0) {
        heightmap->cycleColour(step);
        gameScreens->setBallInfo(heightmap->currentColourCount(), heightmap->currentColour());
        brushColour = glm::vec4(heightmap->currentColour(), 1.0f);
    }
}
