#include <GL/glew.h>

#include "render/Camera.h"

#include "render/Mesh.h"

#include <glm/gtc/matrix_transform.hpp>

#include <cmath>

namespace {
const float lookSensitivity = 0.1f;
const float turnDegrees = 60.0f;

glm::vec3 rotated(glm::vec3 v, float degrees, glm::vec3 axis)
{
    return glm::vec3(glm::rotate(glm::mat4(1.0f), glm::radians(degrees), axis) * glm::vec4(v, 0.0f));
}
}

Camera::Camera(glm::vec3 position, int* windowWidth, int* windowHeight)
    : windowWidth(windowWidth)
    , windowHeight(windowHeight)
    , position(position)
{
}

glm::mat4 Camera::viewMatrix() const
{
    return glm::lookAt(position, position + direction, up);
}

void Camera::updateProjection()
{
    // A minimised window reports a zero size; the last projection stays until it has one again.
    if (!hasSize())
        return;
    projection = perspectiveFor(static_cast<float>(*windowWidth) / static_cast<float>(*windowHeight));
}

void Camera::moveForward(float amount)
{
    position += direction * amount;
    changed();
}

void Camera::moveSideways(float amount)
{
    position += glm::cross(direction, up) * amount;
    changed();
}

void Camera::moveUp(float amount)
{
    position += up * amount;
    changed();
}

void Camera::turn(float amount)
{
    direction = rotated(direction, amount * turnDegrees, up);
    changed();
}

void Camera::look(glm::vec2 delta)
{
    if (delta.x == 0.0f && delta.y == 0.0f)
        return;
    direction = rotated(direction, -delta.x * lookSensitivity, up);
    glm::vec3 right = glm::normalize(glm::cross(direction, up));
    glm::vec3 candidate = rotated(direction, -delta.y * lookSensitivity, right);
    glm::vec3 newRight = glm::normalize(glm::cross(candidate, up));
    // Tipping over straight up or down flips the right vector; such a pitch is refused.
    if (glm::length(right + newRight) >= 1.0f)
        direction = candidate;
    changed();
}

void Camera::setDirection(glm::vec3 newDirection)
{
    direction = newDirection;
    changed();
}

void Camera::follow(glm::vec3 target, glm::vec3 targetForward)
{
    position = target + targetForward * eyeOffset.z + up * eyeOffset.y + glm::cross(targetForward, up) * eyeOffset.x;
    changed();
}

void Camera::setCullingEnabled(bool enabled)
{
    cullingEnabled = enabled;
    if (cullingEnabled)
        updateFrustum();
}

bool Camera::isInFrustum(const Mesh& mesh, const glm::mat4& modelMatrix) const
{
    if (!cullingEnabled)
        return true;
    glm::vec3 corners[8];
    for (int c = 0; c < 8; ++c)
        corners[c] = glm::vec3(modelMatrix * glm::vec4(mesh.corners[c], 1.0f));
    for (int k = 0; k < 6; ++k) {
        bool inside = false;
        for (int c = 0; c < 8 && !inside; ++c)
            inside = glm::dot(corners[c], planeNormals[k]) + planeDistances[k] >= 0.0f;
        if (!inside)
            return false;
    }
    return true;
}

glm::vec3 Camera::pickCentre() const
{
    // Without a window size there is no centre; a point at the far plane lies far from everything.
    if (!hasSize())
        return position + glm::normalize(direction) * farPlane;
    int cx = *windowWidth / 2;
    int cy = *windowHeight / 2;
    GLint viewport[4] = { 0, 0, 0, 0 };
    glGetIntegerv(GL_VIEWPORT, viewport);
    int wy = viewport[3] - cy;
    float depth = 1.0f;
    glReadPixels(cx, wy, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    glm::mat4 perspective = perspectiveFor(static_cast<float>(*windowWidth) / static_cast<float>(*windowHeight));
    glm::vec4 view(viewport[0], viewport[1], viewport[2], viewport[3]);
    return glm::unProject(glm::vec3(cx, wy, depth), viewMatrix(), perspective, view);
}

void Camera::changed()
{
    if (cullingEnabled)
        updateFrustum();
}

bool Camera::hasSize() const
{
    return *windowWidth > 0 && *windowHeight > 0;
}

glm::mat4 Camera::perspectiveFor(float aspect) const
{
    return glm::perspective(glm::radians(fieldOfView), aspect, nearPlane, farPlane);
}

void Camera::updateFrustum()
{
    if (!hasSize())
        return;
    float width = static_cast<float>(*windowWidth);
    float height = static_cast<float>(*windowHeight);
    glm::vec3 d = glm::normalize(direction);
    glm::vec3 farCentre = position + d * farPlane;
    glm::vec3 nearCentre = position + d * nearPlane;

    float h = std::tan(fieldOfView * 3.1415927f / 180.0f / 2.0f);
    float nearHeight = 2.0f * h * nearPlane;
    float nearWidth = width * nearHeight / height;
    float farHeight = 2.0f * h * farPlane;
    float farWidth = width * farHeight / height;

    glm::vec3 X = glm::cross(d, glm::vec3(0.0f, 1.0f, 0.0f));
    // Straight up or down has no sideways axis; the planes of the last direction stay.
    if (glm::length(X) < 1e-6f)
        return;
    glm::vec3 Y = glm::normalize(glm::cross(X, d));
    glm::vec3 Xn = glm::normalize(X);

    glm::vec3 ftl = farCentre + Y * farHeight / 2.0f - Xn * farWidth / 2.0f;
    glm::vec3 ftr = farCentre + Y * farHeight / 2.0f + Xn * farWidth / 2.0f;
    glm::vec3 fbl = farCentre - Y * farHeight / 2.0f - Xn * farWidth / 2.0f;
    glm::vec3 fbr = farCentre - Y * farHeight / 2.0f + Xn * farWidth / 2.0f;
    glm::vec3 ntl = nearCentre + Y * nearHeight / 2.0f - Xn * nearWidth / 2.0f;
    glm::vec3 ntr = nearCentre + Y * nearHeight / 2.0f + Xn * nearWidth / 2.0f;
    glm::vec3 nbl = nearCentre - Y * nearHeight / 2.0f - Xn * nearWidth / 2.0f;
    glm::vec3 nbr = nearCentre - Y * nearHeight / 2.0f + Xn * nearWidth / 2.0f;

    setPlane(0, ftl - ftr, ftl - ntl, ntl);
    setPlane(1, nbr - fbr, nbr - nbl, nbl);
    setPlane(2, ftl - ntl, ftl - fbl, nbl);
    setPlane(3, nbr - ntr, nbr - fbr, nbr);
    setPlane(4, nbl - ntr, nbl - nbr, nbl);
    setPlane(5, fbl - fbr, fbl - ftr, fbl);
}

void Camera::setPlane(int k, glm::vec3 a, glm::vec3 b, glm::vec3 p)
{
    planeNormals[k] = glm::normalize(glm::cross(a, b));
    planeDistances[k] = glm::dot(-p, planeNormals[k]);
}
