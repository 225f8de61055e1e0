// The eye of the view: position, unnormalised direction, fixed up vector, the perspective
// and the six frustum planes, computed geometrically and kept only while culling is on.
#pragma once

#include <glm/glm.hpp>

class Mesh;

class Camera {
public:
    // The two pointers are the live window size, read whenever the aspect is needed.
    Camera(glm::vec3 position, int* windowWidth, int* windowHeight);

    glm::mat4 viewMatrix() const;
    void updateProjection();

    void moveForward(float amount);
    void moveSideways(float amount);
    void moveUp(float amount);
    void turn(float amount);
    void look(glm::vec2 delta);
    void setDirection(glm::vec3 newDirection);
    void follow(glm::vec3 target, glm::vec3 targetForward);
    void setCullingEnabled(bool enabled);
    bool isInFrustum(const Mesh& mesh, const glm::mat4& modelMatrix) const;
    // The world point drawn at the window centre, from one depth value of the frame so far.
    glm::vec3 pickCentre() const;

    glm::vec3 up{0.0f, 1.0f, 0.0f};
    int* windowWidth;
    int* windowHeight;
    glm::vec3 eyeOffset{0.0f, 0.6f, 0.2f};
    glm::vec3 planeNormals[6] = {};
    float planeDistances[6] = {};
    glm::vec3 position;
    glm::vec3 direction{0.0f, -1.0f, 2.0f};
    glm::mat4 projection{1.0f};
    float nearPlane = 0.1f;
    float farPlane = 50.0f;
    float fieldOfView = 60.0f;
    bool cullingEnabled = true;

private:
    void updateFrustum();
    // Recomputes the frustum after a change of position or direction, while culling is on.
    void changed();
    bool hasSize() const;
    glm::mat4 perspectiveFor(float aspect) const;
    void setPlane(int k, glm::vec3 a, glm::vec3 b, glm::vec3 p);
};
