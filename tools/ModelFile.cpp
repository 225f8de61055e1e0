#include "ModelFile.h"

#include <assimp/Exporter.hpp>
#include <assimp/scene.h>

#include <iostream>

ModelFile::ModelFile(float scale)
    : scale(scale)
{
}

unsigned ModelFile::material(const MaterialSpec& spec)
{
    materials.push_back(spec);
    return static_cast<unsigned>(materials.size() - 1);
}

void ModelFile::add(const std::string& name, const MeshBuilder& part, unsigned materialIndex)
{
    parts.push_back({ name, part, materialIndex });
}

bool ModelFile::write(const std::string& path, const std::string& formatId) const
{
    aiScene scene;
    scene.mRootNode = new aiNode("root");
    scene.mNumMaterials = static_cast<unsigned>(materials.size());
    scene.mMaterials = new aiMaterial*[materials.size()];
    for (size_t i = 0; i < materials.size(); ++i) {
        const MaterialSpec& spec = materials[i];
        aiMaterial* m = new aiMaterial;
        aiString name(spec.name);
        m->AddProperty(&name, AI_MATKEY_NAME);
        m->AddProperty(&spec.diffuse, 1, AI_MATKEY_COLOR_DIFFUSE);
        m->AddProperty(&spec.ambient, 1, AI_MATKEY_COLOR_AMBIENT);
        m->AddProperty(&spec.specular, 1, AI_MATKEY_COLOR_SPECULAR);
        if (!spec.texture.empty()) {
            aiString texture(spec.texture);
            m->AddProperty(&texture, AI_MATKEY_TEXTURE_DIFFUSE(0));
        }
        scene.mMaterials[i] = m;
    }
    scene.mNumMeshes = static_cast<unsigned>(parts.size());
    scene.mMeshes = new aiMesh*[parts.size()];
    scene.mRootNode->mNumMeshes = scene.mNumMeshes;
    scene.mRootNode->mMeshes = new unsigned[parts.size()];
    for (size_t i = 0; i < parts.size(); ++i) {
        scene.mMeshes[i] = parts[i].builder.build(parts[i].name, parts[i].material, scale);
        scene.mRootNode->mMeshes[i] = static_cast<unsigned>(i);
    }
    Assimp::Exporter exporter;
    if (exporter.Export(&scene, formatId, path) != AI_SUCCESS) {
        std::cout << "ModelFile: could not write " << path << ": " << exporter.GetErrorString() << std::endl;
        return false;
    }
    return true;
}
