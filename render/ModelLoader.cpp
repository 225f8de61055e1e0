#include "render/ModelLoader.h"

#include "render/Mesh.h"
#include "render/Model.h"
#include "render/TextureLoader.h"

#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iostream>
#include <map>

namespace {
// Why an imported scene cannot be used, or null when it can.
const char* sceneFault(const aiScene* scene)
{
    if (scene->mFlags & AI_SCENE_FLAGS_INCOMPLETE)
        return "the import is incomplete";
    if (!scene->mRootNode)
        return "the scene has no root node";
    // Garbage can pass the OBJ parser as a file of unknown statements.
    if (scene->mNumMeshes == 0)
        return "the file holds no meshes";
    if (scene->mNumMeshes > 0 && !scene->mMeshes)
        return "the scene's mesh list is missing";
    if (scene->mNumMaterials > 0 && !scene->mMaterials)
        return "the scene's material list is missing";
    return nullptr;
}

// Why the node tree would make the post-processing read out of bounds, or null when it is safe.
const char* nodesFault(const aiScene* scene)
{
    if (!scene->mRootNode)
        return "the scene has no root node";
    std::vector<const aiNode*> pending { scene->mRootNode };
    while (!pending.empty()) {
        const aiNode* node = pending.back();
        pending.pop_back();
        if ((node->mNumMeshes > 0 && !node->mMeshes) || (node->mNumChildren > 0 && !node->mChildren))
            return "a node lacks its mesh or child list";
        for (unsigned int k = 0; k < node->mNumMeshes; ++k) {
            if (node->mMeshes[k] >= scene->mNumMeshes)
                return "a node names a mesh past the scene's meshes";
        }
        for (unsigned int c = 0; c < node->mNumChildren; ++c) {
            if (!node->mChildren[c])
                return "a node has an empty child";
            pending.push_back(node->mChildren[c]);
        }
    }
    return nullptr;
}

// Why a scene straight from the importer would make the post-processing read out of bounds,
// or null when it is safe.
const char* rawSceneFault(const aiScene* scene)
{
    if (scene->mNumMeshes > 0 && !scene->mMeshes)
        return "the scene's mesh list is missing";
    for (unsigned int i = 0; i < scene->mNumMeshes; ++i) {
        const aiMesh* mesh = scene->mMeshes[i];
        if (!mesh || (mesh->mNumVertices > 0 && !mesh->mVertices) || (mesh->mNumFaces > 0 && !mesh->mFaces))
            return "a mesh lacks its vertices or faces";
        if (scene->mNumMaterials > 0 && mesh->mMaterialIndex >= scene->mNumMaterials)
            return "a mesh names a material past the scene's materials";
        for (unsigned int f = 0; f < mesh->mNumFaces; ++f) {
            const aiFace& face = mesh->mFaces[f];
            if (face.mNumIndices > 0 && !face.mIndices)
                return "a face lacks its indices";
            for (unsigned int k = 0; k < face.mNumIndices; ++k) {
                if (face.mIndices[k] >= mesh->mNumVertices)
                    return "a face has indices past its mesh's vertices";
            }
        }
    }
    return nodesFault(scene);
}

bool endsWithObj(const std::string& path)
{
    if (path.size() < 4)
        return false;
    std::string extension = path.substr(path.size() - 4);
    std::transform(
        extension.begin(), extension.end(), extension.begin(), [](unsigned char c) { return std::tolower(c); });
    return extension == ".obj";
}

// Why a material library would crash the importer, or null when it is safe to hand over. The
// importer writes texture statements that come before the first "newmtl" through a null
// material, and binary garbage can form such statements.
const char* materialLibraryFault(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file.is_open())
        return nullptr; // a missing library only costs the materials
    bool named = false;
    std::string line;
    for (bool first = true; std::getline(file, line); first = false) {
        if (first && line.compare(0, 3, "\xEF\xBB\xBF") == 0)
            line.erase(0, 3);
        for (unsigned char c : line) {
            if (c < 0x20 && c != '\t' && c != '\r')
                return "a material library is not text";
        }
        size_t start = line.find_first_not_of(" \t\r");
        if (start == std::string::npos || line[start] == '#')
            continue;
        if (line.compare(start, 6, "newmtl") == 0)
            named = true;
        else if (!named)
            return "a material library has statements before its first newmtl";
    }
    return nullptr;
}

// Checks every library an OBJ file names ("mtllib", looked up beside the file).
const char* objMaterialFault(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::string folder = path.find('/') == std::string::npos ? "" : path.substr(0, path.rfind('/') + 1);
    std::string line;
    while (std::getline(file, line)) {
        size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line.compare(start, 7, "mtllib ") != 0)
            continue;
        size_t nameStart = line.find_first_not_of(" \t", start + 7);
        size_t nameEnd = line.find_last_not_of(" \t\r");
        if (nameStart == std::string::npos || nameEnd < nameStart)
            continue;
        if (const char* fault = materialLibraryFault(folder + line.substr(nameStart, nameEnd - nameStart + 1)))
            return fault;
    }
    return nullptr;
}

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
// False when an index points past the vertices.
bool triangleIndices(const aiMesh* mesh, std::vector<unsigned int>& indices)
{
    indices.clear();
    indices.reserve(static_cast<size_t>(mesh->mNumFaces) * 3);
    for (unsigned int f = 0; f < mesh->mNumFaces; ++f) {
        const aiFace& face = mesh->mFaces[f];
        if (face.mNumIndices != 3 || !face.mIndices)
            continue;
        for (unsigned int k = 0; k < 3; ++k) {
            if (face.mIndices[k] >= mesh->mNumVertices)
                return false;
            indices.push_back(face.mIndices[k]);
        }
    }
    return true;
}

bool hasMoreThanThreeIndices(const aiFace& face)
{
    return face.mNumIndices > 3;
}
}

ModelLoader::ModelLoader(TextureLoader* textureLoader)
    : textureLoader(textureLoader)
{
}

Model* ModelLoader::loadModel(const std::string& path, Shader* shader, float scale)
{
    loadedMeshes.clear();
    scene = nullptr;
    if (!importFile(path))
        return nullptr;

    std::map<std::string, unsigned int> paths = texturePaths(scene);
    std::vector<unsigned int> materialTextures(scene->mNumMaterials, 0);
    std::vector<GLuint> loadedTextures;
    for (const auto& [texturePath, material] : paths) {
        materialTextures[material] = 0;
        if (!texturePath.empty()) {
            GLuint texture = textureLoader->loadTexture("Resources/" + texturePath, 1);
            materialTextures[material] = texture;
            loadedTextures.push_back(texture);
        }
    }

    processNode(scene, scene->mRootNode, scale, materialTextures, shader);
    deleteUnusedTextures(loadedTextures);
    return new Model(glm::mat4(1.0f), loadedMeshes, shader);
}

bool ModelLoader::importFile(const std::string& path)
{
    {
        std::ifstream file(path);
        if (!file.is_open()) {
            std::cout << "ModelLoader: Couldn't open file: " << path << std::endl;
            return false;
        }
    }
    // The raw import is checked before the post-processing steps run: they index vertices by
    // face indices without checking them.
    const char* fault = endsWithObj(path) ? objMaterialFault(path) : nullptr;
    scene = fault ? nullptr : importer.ReadFile(path, 0);
    if (scene)
        fault = rawSceneFault(scene);
    if (scene && !fault)
        scene = importer.ApplyPostProcessing(aiProcessPreset_TargetRealtime_Quality);
    if (scene && !fault)
        fault = sceneFault(scene);
    if (!scene || fault) {
        std::cout << "ModelLoader: Couldn't import model from: " << path << std::endl
                  << (fault ? fault : importer.GetErrorString());
        std::cout.flush();
        scene = nullptr;
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
        const aiMesh* mesh = node->mMeshes[k] < scene->mNumMeshes ? scene->mMeshes[node->mMeshes[k]] : nullptr;
        if (!mesh) {
            std::cout << "ModelLoader: Model \"" << rootName << "\" has a node naming a mesh it does not have."
                      << std::endl;
            continue;
        }
        for (unsigned int f = 0; mesh->mFaces && f < mesh->mNumFaces; ++f) {
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
    for (unsigned int c = 0; c < node->mNumChildren; ++c) {
        if (node->mChildren[c])
            processNode(scene, node->mChildren[c], scale, materialTextures, shader);
    }
}

void ModelLoader::makeMesh(const aiScene* scene, const aiMesh* mesh, float scale,
    const std::vector<unsigned int>& materialTextures, Shader* shader)
{
    const char* rootName = scene->mRootNode->mName.C_Str();
    if (mesh->mMaterialIndex >= scene->mNumMaterials) {
        std::cout << "ModelLoader: Model \"" << rootName << "\" has a mesh with a material past its materials."
                  << std::endl;
        return;
    }
    // A mesh needs at least one vertex; point and line meshes carry no triangles to draw.
    if (mesh->mNumVertices == 0 || !mesh->mVertices || mesh->mNumFaces == 0 || !mesh->mFaces)
        return;
    std::vector<unsigned int> indices;
    if (!triangleIndices(mesh, indices)) {
        std::cout << "ModelLoader: Model \"" << rootName << "\" has a mesh with indices past its vertices."
                  << std::endl;
        return;
    }
    if (indices.empty())
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
        if (texture <= 2 || texture == textureLoader->defaultTexture || texture == textureLoader->whiteTexture)
            continue;
        bool used = std::any_of(
            loadedMeshes.begin(), loadedMeshes.end(), [texture](const Mesh* mesh) { return mesh->texture == texture; });
        if (!used)
            glDeleteTextures(1, &texture);
    }
}
