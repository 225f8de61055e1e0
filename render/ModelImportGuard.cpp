#include "render/ModelImportGuard.h"

#include "render/ModelCensus.h"
#include "render/ObjStatements.h"
#include "render/RegularFile.h"
#include "render/RegularFileIOSystem.h"
#include "render/ThreeDsChunks.h"

#include <assimp/Importer.hpp>
#include <assimp/scene.h>

#include <algorithm>
#include <cctype>
#include <numeric>
#include <vector>

namespace {
// Deeper node trees would exhaust the stack of the loader's recursive walk.
const unsigned int maxNodeDepth = 256;

const char* meshFault(const aiMesh* mesh, unsigned int materialCount)
{
    if (!mesh || (mesh->mNumVertices > 0 && !mesh->mVertices) || (mesh->mNumFaces > 0 && !mesh->mFaces))
        return "a mesh lacks its vertices or faces";
    if (mesh->mMaterialIndex >= materialCount)
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
    return nullptr;
}

const char* nodesFault(const aiScene* scene)
{
    std::vector<std::pair<const aiNode*, unsigned int>> pending { { scene->mRootNode, 1 } };
    while (!pending.empty()) {
        auto [node, depth] = pending.back();
        pending.pop_back();
        if (depth > maxNodeDepth)
            return "the node tree is too deep";
        if ((node->mNumMeshes > 0 && !node->mMeshes) || (node->mNumChildren > 0 && !node->mChildren))
            return "a node lacks its mesh or child list";
        for (unsigned int k = 0; k < node->mNumMeshes; ++k) {
            if (node->mMeshes[k] >= scene->mNumMeshes)
                return "a node names a mesh past the scene's meshes";
        }
        for (unsigned int c = 0; c < node->mNumChildren; ++c) {
            if (!node->mChildren[c])
                return "a node has an empty child";
            pending.push_back({ node->mChildren[c], depth + 1 });
        }
    }
    return nullptr;
}

// Why the post-processing of a scene as read, or the meshes the loader makes of it (one for each
// time a node names a mesh), would cost more than the budget allows, or empty.
std::string costFault(const aiScene* scene, const ModelCensus& budget)
{
    std::vector<unsigned long long> corners(scene->mNumMeshes, 0);
    ModelCensus census;
    for (unsigned int i = 0; i < scene->mNumMeshes; ++i) {
        const aiMesh* mesh = scene->mMeshes[i];
        for (unsigned int f = 0; f < mesh->mNumFaces; ++f) {
            unsigned long long n = mesh->mFaces[f].mNumIndices;
            corners[i] += n;
            census.triangulation += n > 4 ? n * n : 0;
        }
    }
    unsigned long long cornersMade = 0;
    std::vector<const aiNode*> pending { scene->mRootNode };
    while (!pending.empty()) {
        const aiNode* node = pending.back();
        pending.pop_back();
        census.meshes += node->mNumMeshes;
        for (unsigned int k = 0; k < node->mNumMeshes; ++k)
            cornersMade += corners[node->mMeshes[k]];
        pending.insert(pending.end(), node->mChildren, node->mChildren + node->mNumChildren);
    }
    census.corners = std::max(std::accumulate(corners.begin(), corners.end(), 0ull), cornersMade);
    return census.fault(budget);
}

// Why a scene cannot be used, or null when every list, index and node it has is in bounds.
const char* sceneFault(const aiScene* scene)
{
    if (scene->mFlags & AI_SCENE_FLAGS_INCOMPLETE)
        return "the import is incomplete";
    if (!scene->mRootNode)
        return "the scene has no root node";
    // Garbage can pass the OBJ parser as a file of unknown statements.
    if (scene->mNumMeshes == 0)
        return "the file holds no meshes";
    if (!scene->mMeshes)
        return "the scene's mesh list is missing";
    if (scene->mNumMaterials > 0 && !scene->mMaterials)
        return "the scene's material list is missing";
    for (unsigned int i = 0; i < scene->mNumMeshes; ++i) {
        if (const char* fault = meshFault(scene->mMeshes[i], scene->mNumMaterials))
            return fault;
    }
    return nodesFault(scene);
}

// The importer chooses its reader by the file name's extension, in any case.
bool endsWith(const std::string& path, const std::string& extension)
{
    if (path.size() < extension.size())
        return false;
    std::string end = path.substr(path.size() - extension.size());
    std::transform(end.begin(), end.end(), end.begin(), [](unsigned char c) { return std::tolower(c); });
    return end == extension;
}

// Why the file must not be handed to the importer, or empty: checks OBJ statements, and counts
// what an OBJ or 3DS file would build (other files keep the checks on the scene as read).
std::string fileFault(const std::string& path, const ModelCensus& budget)
{
    ModelCensus census;
    if (endsWith(path, ".obj")) {
        if (const char* fault = ObjStatements::check(path, budget, census))
            return fault;
    } else if (endsWith(path, ".3ds")) {
        std::vector<unsigned char> bytes;
        if (RegularFile::read(path, RegularFileIOSystem::maxFileBytes, bytes))
            ThreeDsChunks::count(bytes, census);
    }
    return census.fault(budget);
}

std::string orEmpty(const char* fault)
{
    return fault ? fault : "";
}
}

const aiScene* ModelImportGuard::import(Assimp::Importer& importer, const std::string& path,
    unsigned int postProcessing, std::string& fault, const ModelCensus& budget)
{
    fault = fileFault(path, budget);
    const aiScene* scene = fault.empty() ? importer.ReadFile(path, 0) : nullptr;
    if (scene)
        fault = orEmpty(sceneFault(scene));
    if (scene && fault.empty())
        fault = costFault(scene, budget);
    if (scene && fault.empty())
        scene = importer.ApplyPostProcessing(postProcessing);
    if (scene && fault.empty())
        fault = orEmpty(sceneFault(scene));
    return fault.empty() ? scene : nullptr;
}

bool ModelImportGuard::staysInside(const std::string& texturePath)
{
    // Walks "Resources/" + path as the file system would read it, without following links: a
    // ".." that climbs above the folder leaves it; empty and "." parts stay where they are.
    int depth = 0;
    size_t start = 0;
    while (start <= texturePath.size()) {
        size_t end = texturePath.find('/', start);
        if (end == std::string::npos)
            end = texturePath.size();
        std::string part = texturePath.substr(start, end - start);
        if (part == "..")
            --depth;
        else if (!part.empty() && part != ".")
            ++depth;
        if (depth < 0)
            return false;
        start = end + 1;
    }
    return true;
}
