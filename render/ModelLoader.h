// Imports a model file with Assimp into one Model: every triangle mesh of every node becomes a
// Mesh with its material colours and at most one texture, scaled by the caller's factor.
#pragma once

#include "render/Material.h"

#include <GL/glew.h>

#include <assimp/Importer.hpp>

#include <string>
#include <vector>

class Mesh;
class Model;
class Shader;
class TextureLoader;
struct aiMaterial;
struct aiMesh;
struct aiNode;
struct aiScene;

class ModelLoader {
public:
    explicit ModelLoader(TextureLoader* textureLoader);
    ModelLoader(const ModelLoader&) = delete;
    ModelLoader& operator=(const ModelLoader&) = delete;

    // A new model the caller owns, or null when the file cannot be opened or imported.
    Model* loadModel(const std::string& path, Shader* shader, float scale);

    std::vector<Mesh*> loadedMeshes;
    const aiScene* scene = nullptr;
    Assimp::Importer importer;
    TextureLoader* textureLoader;

private:
    bool importFile(const std::string& path);
    // One texture name per material: 0 without a texture of its own; the textures made go to loadedTextures.
    std::vector<unsigned int> loadMaterialTextures(std::vector<GLuint>& loadedTextures);
    void processNode(const aiScene* scene, const aiNode* node, float scale,
        const std::vector<unsigned int>& materialTextures, Shader* shader);
    void readMaterial(const aiMaterial* material, Material& out);
    // One mesh of the scene into loadedMeshes; meshes that cannot be drawn are skipped.
    void makeMesh(const aiScene* scene, const aiMesh* mesh, float scale,
        const std::vector<unsigned int>& materialTextures, Shader* shader);
    void deleteUnusedTextures(const std::vector<GLuint>& loadedTextures);
};
