#include "world/PlayerModel.h"

#include "render/Mesh.h"
#include "render/Model.h"

PlayerModel::PlayerModel(Model* model)
    : model(model), trackA(model->mesh(1)), trackB(model->mesh(12))
{
}

glm::vec3 PlayerModel::position() const
{
    return model->getPosition();
}

glm::vec3 PlayerModel::forward() const
{
    return model->forward();
}

void PlayerModel::translate(glm::vec3 offset)
{
    model->translate(offset);
}

void PlayerModel::rotate(float angle, glm::vec3 axis)
{
    model->rotate(angle, axis);
}

void PlayerModel::setHeight(float y)
{
    model->setHeight(y);
}

void PlayerModel::setTrackSpeedA(float s)
{
    trackSpeedA = trackFactor * s;
}

void PlayerModel::setTrackSpeedB(float s)
{
    trackSpeedB = trackFactor * s;
}

void PlayerModel::steerTracks(float turn)
{
    adjustTrack(trackSpeedA, turn);
    adjustTrack(trackSpeedB, -turn);
}

void PlayerModel::animateTracks(float dt)
{
    scrollTrack(trackA, dt, trackSpeedA, trackOffsetA);
    scrollTrack(trackB, dt, trackSpeedB, trackOffsetB);
}

// A turning vehicle drives one track harder and the other less, or starts a standing track
// at 0.6 of full speed in the turn's sense.
void PlayerModel::adjustTrack(float& speed, float turn) const
{
    if (turn == 0.0f)
        return;
    const float k = trackFactor;
    if (speed == 0.0f)
        speed = turn < 0.0f ? -0.6f * k : 0.6f * k;
    else if (speed > 0.0f)
        speed = turn < 0.0f ? 0.6f * k : 1.2f * k;
    else
        speed = turn < 0.0f ? -1.2f * k : -0.6f * k;
}

// Slides the track texture along u; once the total slide passes a whole texture width the
// coordinates shift back by one, so they stay bounded while the repeating texture looks the same.
void PlayerModel::scrollTrack(Mesh* mesh, float dt, float speed, float& offset)
{
    if (speed == 0.0f)
        return;
    float step = speed * dt;
    offset += step;
    float wrap = 0.0f;
    if (offset > 1.0f) {
        offset -= 1.0f;
        wrap = -1.0f;
    }
    if (offset < -1.0f) {
        offset += 1.0f;
        wrap = 1.0f;
    }
    if (!mesh)
        return;
    for (unsigned int vertex = 0; vertex < mesh->vertexCount; ++vertex)
        mesh->uvs[vertex * 2] += step + wrap;
    mesh->updateUVs(mesh->uvs.data());
}
