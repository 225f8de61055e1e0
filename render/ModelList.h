// The scene's list of models drawn with per-mesh frustum culling; refers to its models,
// owns none of them.
#pragma once

#include <vector>

class Camera;
class Model;
class Shader;

class ModelList {
public:
    explicit ModelList(Camera* camera);

    void add(Model* model);
    // Removes the first entry equal to model; a model not in the list changes nothing.
    void remove(Model* model);
    int indexOf(Model* model) const;
    // Draws the visible meshes of every model and returns how many were drawn.
    int drawCulled(Shader* shader);

    Camera* camera;
    std::vector<Model*> models;
};
