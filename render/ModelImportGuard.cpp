#include "render/ModelImportGuard.h"

#include "render/RegularFile.h"
#include "render/RegularFileIOSystem.h"

#include <assimp/Importer.hpp>
#include <assimp/scene.h>

#include <algorithm>
#include <cctype>
#include <sstream>
#include <vector>

namespace {
// Deeper node trees would exhaust the stack of the loader's recursive walk.
const unsigned int maxNodeDepth = 256;
// The triangulation takes time square in a polygon's corners: a 4 MB polygon would take hours.
const unsigned int maxFaceCorners = 256;

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
        if (face.mNumIndices > maxFaceCorners)
            return "a face has more than 256 corners";
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

bool endsWithObj(const std::string& path)
{
    if (path.size() < 4)
        return false;
    std::string extension = path.substr(path.size() - 4);
    std::transform(
        extension.begin(), extension.end(), extension.begin(), [](unsigned char c) { return std::tolower(c); });
    return extension == ".obj";
}

// OBJ and material files are text: the importer also ends lines at NUL and form feed bytes, so
// control bytes would hide statements from the checks below.
bool isText(const std::string& line)
{
    return std::none_of(line.begin(), line.end(), [](unsigned char c) { return c < 0x20 && c != '\t' && c != '\r'; });
}

// Why a material library would crash the importer, or null when it is safe to hand over. The
// importer writes texture statements that come before the first "newmtl" through a null
// material, and binary garbage can form such statements.
const char* materialLibraryFault(const std::string& path)
{
    std::string text;
    if (!RegularFile::read(path, RegularFileIOSystem::maxFileBytes, text))
        return nullptr; // the importer cannot open it either: a missing library only costs the materials
    std::replace(text.begin(), text.end(), '\r', '\n'); // the importer ends lines at either
    std::istringstream file(text);
    bool named = false;
    std::string line;
    for (bool first = true; std::getline(file, line); first = false) {
        if (first && line.compare(0, 3, "\xEF\xBB\xBF") == 0)
            line.erase(0, 3);
        if (!isText(line))
            return "a material library is not text";
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

// Checks every library an OBJ file names ("mtllib", looked up beside the file), and the one the
// importer falls back to (the file's own name ending in ".mtl") when a named one cannot be read.
const char* objMaterialFault(const std::string& path)
{
    std::string text;
    if (!endsWithObj(path) || !RegularFile::read(path, RegularFileIOSystem::maxFileBytes, text))
        return nullptr;
    std::replace(text.begin(), text.end(), '\r', '\n');
    std::istringstream file(text);
    std::string folder = path.find('/') == std::string::npos ? "" : path.substr(0, path.rfind('/') + 1);
    std::string line;
    while (std::getline(file, line)) {
        if (!isText(line))
            return "an OBJ file is not text";
        size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line.compare(start, 7, "mtllib ") != 0)
            continue;
        size_t nameStart = line.find_first_not_of(" \t", start + 7);
        size_t nameEnd = line.find_last_not_of(" \t\r");
        if (nameStart == std::string::npos || nameEnd < nameStart)
            continue;
        std::string library = folder + line.substr(nameStart, nameEnd - nameStart + 1);
        if (!RegularFile::readable(library))
            library = path.substr(0, path.size() - 3) + "mtl";
        if (const char* fault = materialLibraryFault(library))
            return fault;
    }
    return nullptr;
}
}

const aiScene* ModelImportGuard::import(
    Assimp::Importer& importer, const std::string& path, unsigned int postProcessing, const char*& fault)
{
    fault = objMaterialFault(path);
    const aiScene* scene = fault ? nullptr : importer.ReadFile(path, 0);
    if (scene)
        fault = sceneFault(scene);
    if (scene && !fault)
        scene = importer.ApplyPostProcessing(postProcessing);
    if (scene && !fault)
        fault = sceneFault(scene);
    return fault ? nullptr : scene;
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
