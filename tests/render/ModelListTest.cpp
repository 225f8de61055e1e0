#include "render/ModelList.h"
#include "render/Camera.h"
#include "render/Mesh.h"
#include "render/Model.h"
#include "tests/render/ModelFixture.h"

#include <glm/gtc/type_ptr.hpp>

#include <memory>

namespace {
Mesh* square(Shader* shader, GLuint texture, float x)
{
    const float positions[] = { x - 0.5f, -0.5f, 0, x + 0.5f, -0.5f, 0, x + 0.5f, 0.5f, 0, x - 0.5f, 0.5f, 0 };
    const float normals[12] = {};
    const float uvs[8] = {};
    const unsigned int indices[] = { 0, 1, 2, 0, 2, 3 };
    Material material;
    material.diffuse = glm::vec4(0.0f, 1.0f, 0.0f, 1.0f);
    return new Mesh(shader, normals, uvs, positions, indices, 4, 6, texture, 1, GL_TRIANGLES, material);
}
}

TEST(ModelListEntries, AddRemoveAndIndexOfKeepInsertionOrder)
{
    ModelList list(nullptr);
    Model a(glm::mat4(1.0f), {}, nullptr);
    Model b(glm::mat4(1.0f), {}, nullptr);
    Model c(glm::mat4(1.0f), {}, nullptr);
    list.add(&a);
    list.add(&b);
    list.add(&a);
    EXPECT_EQ(list.indexOf(&b), 1);
    EXPECT_EQ(list.indexOf(&c), -1);
    list.remove(&c);
    EXPECT_EQ(list.models, (std::vector<Model*> { &a, &b, &a })) << "removing a stranger changes nothing";
    list.remove(&a);
    EXPECT_EQ(list.models, (std::vector<Model*> { &b, &a })) << "only the first entry goes";
    EXPECT_EQ(list.indexOf(&a), 1);
}

class ModelListDrawing : public ModelFixture {
protected:
    void SetUp() override
    {
        ModelFixture::SetUp();
        camera.reset(new Camera(glm::vec3(0, 0, 3), &windowWidth, &windowHeight));
        camera->updateProjection();
        camera->setDirection(glm::vec3(0, 0, -std::sqrt(5.0f)));
        Shader* shader = &unlitShader();
        GLuint white = loader().whiteTexture;
        front.reset(new Model(glm::mat4(1.0f), { square(shader, white, -0.6f), square(shader, white, 0.6f) }, shader));
        behind.reset(new Model(glm::mat4(1.0f), { square(shader, white, 0.0f) }, shader));
        behind->setPosition(glm::vec3(0, 0, 6));
        // Faces the eye once the camera has turned round.
        behind->rotate(2.0f, glm::vec3(0, 1, 0));
        list.reset(new ModelList(camera.get()));
    }

    // Clears and makes the unlit program current with the camera's matrices.
    void beginFrame()
    {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        Shader& shader = unlitShader();
        shader.use();
        glm::mat4 projection = camera->projection * camera->viewMatrix();
        glUniformMatrix4fv(
            glGetUniformLocation(shader.program, "projectionMatrix"), 1, GL_FALSE, glm::value_ptr(projection));
    }

    int windowWidth = width;
    int windowHeight = height;
    std::unique_ptr<Camera> camera;
    std::unique_ptr<Model> front;
    std::unique_ptr<Model> behind;
    std::unique_ptr<ModelList> list;
};

TEST_F(ModelListDrawing, CountsAndDrawsOnlyTheMeshesInView)
{
    const std::vector<unsigned char> green { 0, 255, 0, 255 };
    list->add(front.get());
    list->add(behind.get());
    beginFrame();
    EXPECT_EQ(list->drawCulled(&unlitShader()), 2);
    EXPECT_EQ(pixelAt(width / 2 - 200, height / 2), green);
    EXPECT_EQ(pixelAt(width / 2 + 200, height / 2), green);

    // Turned around: the front model is behind the eye and the other one is in view.
    camera->setDirection(glm::vec3(0, 0, std::sqrt(5.0f)));
    beginFrame();
    EXPECT_EQ(list->drawCulled(&unlitShader()), 1);
    EXPECT_EQ(pixelAt(width / 2, height / 2), green);

    list->remove(behind.get());
    beginFrame();
    EXPECT_EQ(list->drawCulled(&unlitShader()), 0);
    EXPECT_EQ(readPixels(0, 0, width, height), std::vector<unsigned char>(size_t(width) * height * 4, 0))
        << "nothing was drawn";

    camera->setCullingEnabled(false);
    list->add(behind.get());
    beginFrame();
    EXPECT_EQ(list->drawCulled(&unlitShader()), 3) << "without culling every mesh counts";
    camera->setCullingEnabled(true);
}

TEST_F(ModelListDrawing, AnEmptyModelAndAnEmptyListDrawNothing)
{
    Model empty(glm::mat4(1.0f), {}, &unlitShader());
    beginFrame();
    EXPECT_EQ(list->drawCulled(&unlitShader()), 0);
    list->add(&empty);
    EXPECT_EQ(list->drawCulled(&unlitShader()), 0);
}
