#include "render/Camera.h"

#include "render/Mesh.h"
#include "tests/render/TestShaders.h"
#include "tests/support/GlTest.h"

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <cmath>
#include <memory>

namespace {
const float epsilon = 1e-4f;

std::unique_ptr<Mesh> cube(float half)
{
    const float positions[] = { -half, -half, -half, half, half, half };
    const float zeros[6] = {};
    const unsigned int indices[] = { 0, 1 };
    return std::make_unique<Mesh>(
        testShader("simpleShader"), zeros, zeros, positions, indices, 2, 2, 0, 0, GL_LINES, Material());
}

glm::mat4 at(glm::vec3 place)
{
    return glm::translate(glm::mat4(1.0f), place);
}

void expectNear(glm::vec3 actual, glm::vec3 expected, float tolerance = epsilon)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

void expectNear(const glm::mat4& actual, const glm::mat4& expected)
{
    for (int column = 0; column < 4; ++column)
        for (int row = 0; row < 4; ++row)
            EXPECT_NEAR(actual[column][row], expected[column][row], epsilon) << column << ", " << row;
}
}

class CameraTest : public GlTest {
protected:
    int windowWidth = 1024;
    int windowHeight = 768;
};

TEST_F(CameraTest, MovesAlongItsUnnormalisedDirection)
{
    Camera camera({ 1, 2, 3 }, &windowWidth, &windowHeight);
    EXPECT_EQ(camera.direction, glm::vec3(0, -1, 2));
    camera.moveForward(1.0f);
    EXPECT_NEAR(glm::distance(camera.position, glm::vec3(1, 2, 3)), std::sqrt(5.0f), epsilon);
    expectNear(camera.position, { 1, 1, 5 });
    camera.moveSideways(1.0f);
    expectNear(camera.position, { -1, 1, 5 }); // cross((0, -1, 2), up) = (-2, 0, 0): to the right of +z
    camera.moveUp(0.5f);
    expectNear(camera.position, { -1, 1.5f, 5 });

    camera.turn(1.5f);
    expectNear(camera.direction, { 2, -1, 0 }); // 90 degrees to the left, seen from above
    EXPECT_NEAR(glm::length(camera.direction), std::sqrt(5.0f), epsilon);

    camera.follow({ 10, 0, 10 }, { 0, 0, -1 });
    expectNear(camera.position, { 10, 0.6f, 9.8f });
    expectNear(camera.direction, { 2, -1, 0 });
    EXPECT_EQ(camera.viewMatrix(), glm::lookAt(camera.position, camera.position + camera.direction, camera.up));
}

TEST_F(CameraTest, LookTurnsButRefusesToTipOverTheVertical)
{
    Camera camera({ 0, 0, 0 }, &windowWidth, &windowHeight);
    camera.look({ 0, 0 });
    EXPECT_EQ(camera.direction, glm::vec3(0, -1, 2));

    camera.look({ 0, -50 });
    EXPECT_GT(camera.direction.y, -1.0f) << "a small pitch is taken";
    EXPECT_NEAR(glm::length(camera.direction), std::sqrt(5.0f), epsilon);

    for (float vertical : { 2000.0f, -2000.0f }) {
        glm::vec3 before = camera.direction;
        camera.look({ 30, vertical });
        // Only the yaw: 3 degrees to the right about the up vector.
        float angle = glm::radians(-3.0f);
        glm::vec3 yawed(before.x * std::cos(angle) + before.z * std::sin(angle), before.y,
            -before.x * std::sin(angle) + before.z * std::cos(angle));
        expectNear(camera.direction, yawed);
    }

    // Pitching up in steps stops short of straight up rather than flipping over.
    for (int i = 0; i < 40; ++i)
        camera.look({ 0, -50 });
    glm::vec3 d = glm::normalize(camera.direction);
    EXPECT_GT(d.y, 0.9f);
    EXPECT_GT(glm::dot(glm::vec2(d.x, d.z), glm::vec2(camera.direction.x, camera.direction.z)), 0.0f);
}

TEST_F(CameraTest, FrustumKeepsWhatIsInFrontAndRejectsTheRest)
{
    Camera camera({ 0, 0, 0 }, &windowWidth, &windowHeight);
    camera.setDirection({ 0, 0, -2 });
    std::unique_ptr<Mesh> box = cube(0.5f);

    for (int k = 0; k < 6; ++k) {
        EXPECT_NEAR(glm::length(camera.planeNormals[k]), 1.0f, epsilon) << "plane " << k;
        EXPECT_GT(glm::dot(glm::vec3(0, 0, -10), camera.planeNormals[k]) + camera.planeDistances[k], 0.0f)
            << "a point straight ahead is inside plane " << k;
    }
    EXPECT_TRUE(camera.isInFrustum(*box, at({ 0, 0, -5 })));
    EXPECT_TRUE(camera.isInFrustum(*box, at({ 0, 0, 0 }))) << "a box around the eye";
    EXPECT_TRUE(camera.isInFrustum(*box, at({ 0, 0, -50.3f }))) << "straddling the far plane";
    EXPECT_FALSE(camera.isInFrustum(*box, at({ 0, 0, 5 }))) << "behind";
    EXPECT_FALSE(camera.isInFrustum(*box, at({ 0, 0, -60 }))) << "beyond the far plane";
    EXPECT_FALSE(camera.isInFrustum(*box, at({ 20, 0, -5 }))) << "off to the right";
    EXPECT_FALSE(camera.isInFrustum(*box, at({ 0, 10, -5 }))) << "above";
    EXPECT_FALSE(camera.isInFrustum(*box, at({ 0, -10, -5 }))) << "below";

    camera.turn(1.5f); // now looking along -x
    EXPECT_TRUE(camera.isInFrustum(*box, at({ -5, 0, 0 })));
    EXPECT_FALSE(camera.isInFrustum(*box, at({ 0, 0, -5 }))) << "off to the side after the turn";

    // The model matrix places the corners, scale included.
    EXPECT_TRUE(camera.isInFrustum(*box, glm::scale(at({ 0, 0, -5 }), glm::vec3(20.0f))));

    // Straight up has no sideways axis: the planes of the last direction stay rather than turn invalid.
    camera.setDirection({ 0, 2, 0 });
    for (int k = 0; k < 6; ++k)
        EXPECT_TRUE(std::isfinite(camera.planeDistances[k]) && std::isfinite(camera.planeNormals[k].x));
    EXPECT_TRUE(camera.isInFrustum(*box, at({ -5, 0, 0 })));
}

TEST_F(CameraTest, CullingOffAcceptsEverythingAndOnCatchesUp)
{
    Camera camera({ 0, 0, 0 }, &windowWidth, &windowHeight);
    camera.setDirection({ 0, 0, -2 });
    std::unique_ptr<Mesh> box = cube(0.5f);
    camera.setCullingEnabled(false);
    EXPECT_TRUE(camera.isInFrustum(*box, at({ 0, 0, 5 })));
    EXPECT_TRUE(camera.isInFrustum(*box, at({ 0, 0, -500 })));

    camera.setDirection({ 0, 0, 2 }); // planes are not kept while culling is off
    camera.setCullingEnabled(true);
    EXPECT_TRUE(camera.isInFrustum(*box, at({ 0, 0, 5 })));
    EXPECT_FALSE(camera.isInFrustum(*box, at({ 0, 0, -5 })));
}

TEST_F(CameraTest, FrustumAndProjectionFollowTheWindowAspect)
{
    Camera camera({ 0, 0, 0 }, &windowWidth, &windowHeight);
    camera.setDirection({ 0, 0, -2 });
    camera.updateProjection();
    glm::mat4 fourByThree = glm::perspective(glm::radians(60.0f), 1024.0f / 768.0f, 0.1f, 50.0f);
    expectNear(camera.projection, fourByThree);
    std::unique_ptr<Mesh> box = cube(0.1f);
    // Half the horizontal view is atan(tan(30) * aspect): 37.6 degrees at 4:3, 57 degrees at 8:3.
    glm::mat4 wide = at({ 11, 0, -10 });
    EXPECT_FALSE(camera.isInFrustum(*box, wide));

    windowWidth = 2048;
    camera.moveForward(0.0f);
    EXPECT_TRUE(camera.isInFrustum(*box, wide));
    expectNear(camera.projection, fourByThree); // the projection waits for updateProjection
    camera.updateProjection();
    EXPECT_NEAR(camera.projection[0][0], 1.0f / (std::tan(glm::radians(30.0f)) * 2048.0f / 768.0f), epsilon);

    // A minimised window has no size: the last projection and planes stay usable.
    windowWidth = 0;
    windowHeight = 0;
    glm::mat4 kept = camera.projection;
    camera.updateProjection();
    camera.moveForward(0.0f);
    EXPECT_EQ(camera.projection, kept);
    EXPECT_TRUE(camera.isInFrustum(*box, wide));
}

TEST_F(CameraTest, PickCentreFindsTheDrawnPointUnderTheCrosshair)
{
    windowWidth = width;
    windowHeight = height;
    Camera camera({ 0, 0, 0 }, &windowWidth, &windowHeight);
    camera.updateProjection();
    Shader* shader = testShader("simpleShader");

    // A floor at y = -1; the initial direction (0, -1, 2) meets it at (0, -1, 2).
    const float positions[] = { -5, -1, -5, 5, -1, -5, -5, -1, 5, 5, -1, 5 };
    const float zeros[12] = {};
    const unsigned int indices[] = { 0, 1, 2, 3 };
    Mesh floor(shader, zeros, zeros, positions, indices, 4, 4, 0, 0, GL_TRIANGLE_STRIP, Material());
    shader->use();
    glm::mat4 viewProjection = camera.projection * camera.viewMatrix();
    glm::mat4 identity(1.0f);
    glUniformMatrix4fv(
        glGetUniformLocation(shader->program, "projectionMatrix"), 1, GL_FALSE, glm::value_ptr(viewProjection));
    glUniformMatrix4fv(glGetUniformLocation(shader->program, "modelMatrix"), 1, GL_FALSE, glm::value_ptr(identity));

    expectNear(camera.pickCentre() - camera.position, glm::normalize(camera.direction) * 50.0f, 0.5f);

    glDisable(GL_CULL_FACE);
    floor.draw();
    glEnable(GL_CULL_FACE);
    // The depth is sampled at the centre of pixel (cx, wy), half a pixel from the unprojected point.
    expectNear(camera.pickCentre(), { 0, -1, 2 }, 0.01f);

    // Looking straight down the -z axis at a wall 3 units away.
    camera.setDirection({ 0, 0, -2 });
    const float wall[] = { -1, -1, -3, 1, -1, -3, -1, 1, -3, 1, 1, -3 };
    Mesh front(shader, zeros, zeros, wall, indices, 4, 4, 0, 0, GL_TRIANGLE_STRIP, Material());
    viewProjection = camera.projection * camera.viewMatrix();
    glUniformMatrix4fv(
        glGetUniformLocation(shader->program, "projectionMatrix"), 1, GL_FALSE, glm::value_ptr(viewProjection));
    glClear(GL_DEPTH_BUFFER_BIT);
    front.draw();
    expectNear(camera.pickCentre(), { 0, 0, -3 }, 1e-3f);

    windowWidth = 0;
    expectNear(camera.pickCentre(), camera.position + glm::normalize(camera.direction) * 50.0f);
}
