// The player's tracked vehicle: forwards the transforms of its Model and animates the two
// tracks by sliding their texture coordinates. Refers to the model, owns nothing.
#pragma once

#include <glm/glm.hpp>

class Mesh;
class Model;

class PlayerModel {
public:
    explicit PlayerModel(Model* model);

    glm::vec3 position() const;
    glm::vec3 forward() const;
    void translate(glm::vec3 offset);
    void rotate(float angle, glm::vec3 axis);
    void setHeight(float y);
    void setTrackSpeedA(float s);
    void setTrackSpeedB(float s);
    void steerTracks(float turn);
    void animateTracks(float dt);

    Model* model;
    // Null when the vehicle model has fewer than 13 meshes: that track is not animated.
    Mesh* trackA;
    Mesh* trackB;
    float trackOffsetA = 0.0f;
    float trackOffsetB = 0.0f;
    float trackSpeedA = 0.0f;
    float trackSpeedB = 0.0f;
    float trackFactor = 0.29f;

private:
    void adjustTrack(float& speed, float turn) const;
    void scrollTrack(Mesh* mesh, float dt, float speed, float& offset);
};
