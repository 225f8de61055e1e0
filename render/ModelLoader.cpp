#include "render/ModelLoader.h"

#include "render/Mesh.h"
#include "render/Model.h"
#include "render/ModelImportGuard.h"
#include "render/RegularFile.h"
#include "render/RegularFileIOSystem.h"
#include "render/SharedTextures.h"
#include "render/TextureLoader.h"

#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <algorithm>
#include <iostream>
#include <map>
#include <new>

namespace {
// Texture path -> the highest material index that names it; the empty path stands for the
// materials without a diffuse texture.
std::map<std::string, unsigned int> texturePaths(const aiScene* scene)
{
    std::map<std::string, unsigned int> paths;
    for (unsigned int i = 0; i < scene->mNumMaterials; ++i) {
        const aiMaterial* material = scene->mMaterials[i];
        std::string path;
        unsigned int count = material ? aiGetMaterialTextureCount(material, aiTextureType_DIFFUSE) : 0;
        for (unsigned int index = 0;; ++index) {
            aiString read;
            bool ok
                = index < count && aiGetMaterialTexture(material, aiTextureType_DIFFUSE, index, &read) == AI_SUCCESS;
            if (ok)
                path = read.C_Str();
            paths[path] = i;
            if (!ok)
                break;
        }
    }
    return paths;
}

// The triangles of a mesh as a flat index list; faces of points and lines are left out.
std::vector<unsigned int> triangleIndices(const aiMesh* mesh)
{
    std::vector<unsigned int> indices;
    indices.reserve(static_cast<size_t>(mesh->mNumFaces) * 3);
    for (unsigned int f = 0; f < mesh->mNumFaces; ++f) {
        const aiFace& face = mesh->mFaces[f];
        if (face.mNumIndices == 3)
            indices.insert(indices.end(), face.mIndices, face.mIndices + 3);
    }
    return indices;
}

bool hasMoreThanThreeIndices(const aiFace& face)
{
    return face.mNumIndices > 3;
}
}

ModelLoader::ModelLoader(TextureLoader* textureLoader)
    : textureLoader(textureLoader)
{
    // Everything the importer opens, the model and any file it names, goes through this.
    importer.SetIOHandler(new RegularFileIOSystem);
}

Model* ModelLoader::loadModel(const std::string& path, Shader* shader, float scale)
{
    loadedMeshes.clear();
    scene = nullptr;
    std::vector<GLuint> loadedTextures;
    // A failed allocation costs this model, not the game.
    try {
        if (!importFile(path))
            return nullptr;
        std::vector<unsigned int> materialTextures = loadMaterialTextures(loadedTextures);
        processNode(scene, scene->mRootNode, scale, materialTextures, shader);
        deleteUnusedTextures(loadedTextures);
        return new Model(glm::mat4(1.0f), loadedMeshes, shader);
    } catch (const std::bad_alloc&) {
        for (Mesh* mesh : loadedMeshes)
            delete mesh;
        loadedMeshes.clear();
        deleteUnusedTextures(loadedTextures);
        std::cout << "ModelLoader: Couldn't import model from: " << path << std::endl << "out of memory";
        std::cout.flush();
        return nullptr;
    }
}

std::vector<unsigned int> ModelLoader::loadMaterialTextures(std::vector<GLuint>& loadedTextures)
{
    std::vector<unsigned int> materialTextures(scene->mNumMaterials, 0);
    for (const auto& [texturePath, material] : texturePaths(scene)) {
        materialTextures[material] = 0;
        if (texturePath.empty())
            continue;
        if (!ModelImportGuard::staysInside(texturePath)) {
            std::cout << "ModelLoader: Texture \"" << texturePath << "\" lies outside Resources/" << std::endl;
            materialTextures[material] = textureLoader->defaultTexture;
            continue;
        }
        GLuint texture = textureLoader->loadTexture("Resources/" + texturePath, 1);
        materialTextures[material] = texture;
        loadedTextures.push_back(texture);
    }
    return materialTextures;
}

bool ModelLoader::importFile(const std::string& path)
{
    if (!RegularFile::readable(path)) {
        std::cout << "ModelLoader: Couldn't open file: " << path << std::endl;
        return false;
    }
    std::string fault;
    scene = ModelImportGuard::import(importer, path, aiProcessPreset_TargetRealtime_Quality, fault);
    if (!scene) {
        std::cout << "ModelLoader: Couldn't import model from: " << path << std::endl
                  << (fault.empty() ? importer.GetErrorString() : fault);
        std::cout.flush();
        return false;
    }
    return true;
}

void ModelLoader::processNode(const aiScene* scene, const aiNode* node, float scale,
    const std::vector<unsigned int>& materialTextures, Shader* shader)
{
    if (scene->mTextures && scene->mNumTextures > 0) {
        std::cout << "ModelLoader:Support for meshes with embedded textures is not implemented" << std::endl;
        return;
    }
    const char* rootName = scene->mRootNode->mName.C_Str();
    bool failed = false;
    for (unsigned int k = 0; k < node->mNumMeshes; ++k) {
        const aiMesh* mesh = scene->mMeshes[node->mMeshes[k]];
        for (unsigned int f = 0; f < mesh->mNumFaces; ++f) {
            if (hasMoreThanThreeIndices(mesh->mFaces[f])) {
                std::cout << "ModelLoader: Model \"" << rootName << "\" has to consist only of triangles." << std::endl;
                failed = true;
            }
        }
        if (!failed)
            makeMesh(scene, mesh, scale, materialTextures, shader);
    }
    if (failed)
        return;
    for (unsigned int c = 0; c < node->mNumChildren; ++c)
        processNode(scene, node->mChildren[c], scale, materialTextures, shader);
}

void ModelLoader::makeMesh(const aiScene* scene, const aiMesh* mesh, float scale,
    const std::vector<unsigned int>& materialTextures, Shader* shader)
{
    // A mesh needs at least one vertex; point and line meshes carry no triangles to draw.
    std::vector<unsigned int> indices = triangleIndices(mesh);
    if (mesh->mNumVertices == 0 || indices.empty())
        return;

    Material material;
    material.ambient = material.diffuse = material.specular = glm::vec4(0.8f, 0.8f, 0.8f, 1.0f);
    readMaterial(scene->mMaterials[mesh->mMaterialIndex], material);

    unsigned int vertexCount = mesh->mNumVertices;
    std::vector<float> normals(static_cast<size_t>(vertexCount) * 3, 0.0f);
    std::vector<float> positions(static_cast<size_t>(vertexCount) * 3);
    std::vector<float> uvs(static_cast<size_t>(vertexCount) * 2, 0.0f);
    bool hasUvs = mesh->HasTextureCoords(0);
    for (unsigned int v = 0; v < vertexCount; ++v) {
        for (int axis = 0; axis < 3; ++axis) {
            positions[v * 3 + axis] = mesh->mVertices[v][axis] * scale;
            if (mesh->mNormals)
                normals[v * 3 + axis] = mesh->mNormals[v][axis];
        }
        if (hasUvs) {
            uvs[v * 2] = mesh->mTextureCoords[0][v].x;
            uvs[v * 2 + 1] = mesh->mTextureCoords[0][v].y;
        }
    }

    GLuint texture = textureLoader->defaultTexture;
    int unit = 0;
    if (!hasUvs) {
        texture = textureLoader->whiteTexture;
        unit = 1;
    } else if (materialTextures[mesh->mMaterialIndex] != 0) {
        texture = materialTextures[mesh->mMaterialIndex];
        unit = 1;
    }
    loadedMeshes.push_back(new Mesh(shader, normals.data(), uvs.data(), positions.data(), indices.data(), vertexCount,
        static_cast<unsigned int>(indices.size()), texture, unit, GL_TRIANGLES, material));
}

void ModelLoader::readMaterial(const aiMaterial* material, Material& out)
{
    if (!material)
        return;
    aiColor4D colour;
    if (aiGetMaterialColor(material, AI_MATKEY_COLOR_AMBIENT, &colour) == AI_SUCCESS)
        out.ambient = glm::vec4(colour.r, colour.g, colour.b, colour.a);
    if (aiGetMaterialColor(material, AI_MATKEY_COLOR_DIFFUSE, &colour) == AI_SUCCESS)
        out.diffuse = glm::vec4(colour.r, colour.g, colour.b, colour.a);
    if (aiGetMaterialColor(material, AI_MATKEY_COLOR_SPECULAR, &colour) == AI_SUCCESS)
        out.specular = glm::vec4(colour.r, colour.g, colour.b, colour.a);
}

void ModelLoader::deleteUnusedTextures(const std::vector<GLuint>& loadedTextures)
{
    // Textures of materials that no mesh ended up with would otherwise belong to nobody.
    for (GLuint texture : loadedTextures) {
        if (SharedTextures::isShared(texture))
            continue;
        bool used = std::any_of(
            loadedMeshes.begin(), loadedMeshes.end(), [texture](const Mesh* mesh) { return mesh->texture == texture; });
        if (!used)
            glDeleteTextures(1, &texture);
    }
}
