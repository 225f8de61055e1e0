#include "render/ModelList.h"

#include "render/Camera.h"
#include "render/Mesh.h"
#include "render/Model.h"

#include <algorithm>
#include <memory>

ModelList::ModelList(Camera* camera)
    : camera(camera)
{
}

void ModelList::add(Model* model)
{
    models.push_back(model);
}

void ModelList::remove(Model* model)
{
    auto found = std::find(models.begin(), models.end(), model);
    if (found != models.end())
        models.erase(found);
}

int ModelList::indexOf(Model* model) const
{
    auto found = std::find(models.begin(), models.end(), model);
    return found == models.end() ? -1 : static_cast<int>(found - models.begin());
}

int ModelList::drawCulled(Shader* shader)
{
    int count = 0;
    for (Model* model : models) {
        size_t meshCount = model->meshes.size();
        std::unique_ptr<bool[]> visible(new bool[meshCount > 0 ? meshCount : 1]);
        for (size_t j = 0; j < meshCount; ++j) {
            visible[j] = camera->isInFrustum(*model->meshes[j], model->modelMatrix);
            if (visible[j])
                ++count;
        }
        model->draw(shader, visible.get());
    }
    return count;
}
