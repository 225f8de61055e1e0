#include "game/Heightmap.h"
#include "game/Level.h"
#include "overlay/ImageOverlay.h"
#include "render/Camera.h"
#include "render/Material.h"
#include "render/Mesh.h"
#include "render/Model.h"
#include "render/ModelList.h"
#include "tests/world/SceneFixture.h"
#include "world/PlayerModel.h"

#include <GLFW/glfw3.h>

#include <vector>

namespace {
using Pixels = std::vector<unsigned char>;

// Mean red, green and blue of a square of the window around (x, y), rows counted from the bottom.
glm::vec3 meanColour(int x, int y, int half)
{
    int size = 2 * half + 1;
    Pixels pixels(static_cast<size_t>(size) * size * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x - half, y - half, size, size, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    glm::vec3 sum(0.0f);
    for (size_t i = 0; i < pixels.size(); i += 4)
        sum += glm::vec3(pixels[i], pixels[i + 1], pixels[i + 2]);
    return sum / static_cast<float>(size * size);
}

float brightness(glm::vec3 colour)
{
    return colour.r + colour.g + colour.b;
}

// A horizontal square facing up, so that it reaches the shadow map with back faces culled.
Model* makeSlab(Shader* shader, GLuint texture, glm::vec3 centre, float half)
{
    const float positions[] = { -half, 0, -half, -half, 0, half, half, 0, half, half, 0, -half };
    const float normals[] = { 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0 };
    const float uvs[] = { 0, 0, 0, 1, 1, 1, 1, 0 };
    const unsigned int indices[] = { 0, 1, 2, 0, 2, 3 };
    Material white { glm::vec4(1.0f), glm::vec4(1.0f), glm::vec4(0.0f) };
    Mesh* mesh = new Mesh(shader, normals, uvs, positions, indices, 4, 6, texture, 1, GL_TRIANGLES, white);
    Model* model = new Model(glm::mat4(1.0f), { mesh }, shader);
    model->setPosition(centre);
    return model;
}
}

class SceneDrawTest : public SceneFixture {
protected:
    // Window pixel (x, y from the bottom) at which the world point appears in the next frame.
    glm::ivec2 onScreen(glm::vec3 point) const
    {
        Camera* camera = scene->camera;
        glm::vec3 window = glm::project(point, camera->viewMatrix(), camera->projection,
            glm::vec4(0.0f, 0.0f, static_cast<float>(width), static_cast<float>(height)));
        return glm::ivec2(static_cast<int>(window.x), static_cast<int>(window.y));
    }

    glm::vec3 onFloor(float x, float z) const
    {
        return glm::vec3(x, scene->level->heightmap->heightAt(x, z), z);
    }

    Pixels wholeFrame()
    {
        return readPixels(0, 0, width, height);
    }
};

TEST_F(SceneDrawTest, DrawsTheFloorWithItsPaintTheRoomAndTheVehicle)
{
    drawFrame();
    EXPECT_EQ(glErrors(), "");
    glm::vec3 vehicle = scene->player->position();
    // Bare floor short of the controls lettered farther ahead, and beside the lamp's pool, whose
    // light would saturate the paint's red and shift its hue.
    glm::vec3 ahead = onFloor(vehicle.x + 0.3f, vehicle.z + 0.35f);
    glm::ivec2 aheadPixel = onScreen(ahead);
    ASSERT_GT(aheadPixel.y, 0);
    ASSERT_LT(aheadPixel.y, height / 2);
    glm::vec3 floor = meanColour(aheadPixel.x, aheadPixel.y, 2);
    EXPECT_GT(brightness(floor), 300.0f) << "the floor ahead of the vehicle is lit";

    // The paint pixel under that floor point takes the current colour and shows it there.
    Heightmap* heightmap = scene->level->heightmap;
    glm::vec3 colour = heightmap->currentColour();
    int budget = heightmap->currentColourCount();
    heightmap->paintAt(ahead.x, ahead.z, glm::vec4(colour, 1.0f));
    ASSERT_EQ(heightmap->currentColourCount(), budget - 1) << "the point lies on the paint layer";
    drawFrame();
    glm::vec3 painted = meanColour(aheadPixel.x, aheadPixel.y, 2);
    // Light scales the colour: compare proportions, brightest channel 1.
    glm::vec3 paintedHue = painted / glm::max(painted.r, glm::max(painted.g, painted.b));
    glm::vec3 colourHue = colour / glm::max(colour.r, glm::max(colour.g, colour.b));
    EXPECT_LT(glm::length(paintedHue - colourHue), 0.15f)
        << "painted " << painted.r << " " << painted.g << " " << painted.b << ", colour " << colour.r << " " << colour.g
        << " " << colour.b;
    EXPECT_GT(glm::length(painted - floor), 40.0f);

    // The room fills the top of the view, the vehicle the bottom: without them the clear
    // colour shows at the wall and the floor at the vehicle.
    glm::ivec2 wall(width / 2, height - 60);
    glm::ivec2 body(width / 2 - 40, 20);
    Pixels wallBefore = pixelAt(wall.x, wall.y);
    Pixels bodyBefore = pixelAt(body.x, body.y);
    EXPECT_NE(wallBefore, Pixels({ 0, 0, 0, 0 }));
    Model* room = scene->level->models[0];
    scene->modelList->remove(room);
    scene->modelList->remove(scene->player->model);
    drawFrame();
    EXPECT_EQ(pixelAt(wall.x, wall.y), Pixels({ 0, 0, 0, 0 })) << "only the room is drawn there";
    EXPECT_NE(pixelAt(body.x, body.y), bodyBefore) << "the vehicle was drawn there";
    scene->modelList->add(scene->player->model);
    scene->modelList->add(room);
}

TEST_F(SceneDrawTest, AnOccluderBetweenTheLightAndTheFloorCastsAShadow)
{
    glm::vec3 vehicle = scene->player->position();
    glm::vec3 target = onFloor(vehicle.x + 0.6f, vehicle.z + 1.0f);
    glm::ivec2 pixel = onScreen(target);
    drawFrame();
    glm::vec3 lit = meanColour(pixel.x, pixel.y, 3);
    unsigned int drawnWithoutSlab = scene->meshesDrawn;

    // Halfway up to the light, far above the view: only its shadow can change the floor.
    glm::vec3 light = scene->level->lightPosition;
    Model* slab = makeSlab(scene->diffuseShader, textureLoader->whiteTexture, target + 0.5f * (light - target), 0.3f);
    scene->modelList->add(slab);
    drawFrame();
    glm::vec3 shadowed = meanColour(pixel.x, pixel.y, 3);
    EXPECT_LT(brightness(shadowed), 0.7f * brightness(lit))
        << "lit " << brightness(lit) << ", shadowed " << brightness(shadowed);
    EXPECT_GT(brightness(shadowed), 0.0f) << "ambient light remains";
    EXPECT_EQ(scene->meshesDrawn, drawnWithoutSlab) << "culled from the view, the slab still casts its shadow";

    scene->modelList->remove(slab);
    drawFrame();
    EXPECT_LT(glm::length(meanColour(pixel.x, pixel.y, 3) - lit), 3.0f) << "the light is back";
    delete slab;
}

TEST_F(SceneDrawTest, TheFloorOutOfViewIsNotDrawnYetStillCastsIntoTheShadowMap)
{
    std::vector<Model*> models = scene->modelList->models;
    scene->modelList->models.clear();
    drawFrame();
    EXPECT_EQ(scene->meshesDrawn, 1u) << "the floor in view";

    // Nearly straight up: the whole floor lies before the near plane (the box test is
    // conservative, so a floor merely below the view would still count).
    scene->camera->setDirection(glm::vec3(0.0f, 2.2f, 0.3f));
    drawFrame();
    EXPECT_EQ(scene->meshesDrawn, 0u) << "looking up, the floor is culled";
    std::vector<float> depth(static_cast<size_t>(width) * height);
    glActiveTexture(GL_TEXTURE4);
    glBindTexture(GL_TEXTURE_2D, scene->shadowTexture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
    float centre = depth[static_cast<size_t>(height / 2) * width + width / 2];
    EXPECT_GT(centre, 0.0f);
    EXPECT_LT(centre, 1.0f) << "the light sees the floor";

    scene->setFrustumCulling(false);
    drawFrame();
    EXPECT_EQ(scene->meshesDrawn, 1u) << "without culling the floor is always drawn";
    scene->setFrustumCulling(true);
    scene->modelList->models = models;
}

TEST_F(SceneDrawTest, APendingLevelShowsOnlyTheLoadingPicture)
{
    drawFrame();
    Pixels world = wholeFrame();
    unsigned int drawn = scene->meshesDrawn;

    scene->pendingLevel = 2;
    drawFrame();
    Pixels loading = wholeFrame();
    EXPECT_EQ(scene->meshesDrawn, drawn) << "no pass ran";
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    scene->orthoShader->use();
    scene->loadingOverlay->draw();
    EXPECT_TRUE(wholeFrame() == loading) << "the loading picture and nothing else";
    EXPECT_FALSE(loading == world);
}

TEST_F(SceneDrawTest, SpaceShowsAndHidesTheTargetPicture)
{
    drawFrame();
    Pixels world = wholeFrame();

    input->press(GLFW_KEY_SPACE);
    drawFrame();
    EXPECT_TRUE(gameScreens->pictureShown);
    EXPECT_EQ(gameScreens->picturePath, scene->level->heightmap->originalPath);
    drawFrame();
    Pixels picture = wholeFrame();
    EXPECT_FALSE(picture == world) << "the target picture covers the view";
    drawFrame();
    EXPECT_TRUE(wholeFrame() == picture) << "one press toggles once";

    input->release(GLFW_KEY_SPACE);
    input->press(GLFW_KEY_SPACE);
    drawFrame();
    EXPECT_FALSE(gameScreens->pictureShown);
    drawFrame();
    EXPECT_TRUE(wholeFrame() == world);
}
