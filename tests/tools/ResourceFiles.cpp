#include "ResourceFiles.h"

#include <FreeImage.h>
#include <assimp/postprocess.h>

#include <algorithm>
#include <functional>

bool boxesOverlap(const Box& own, const aiVector3D& ownOffset, const Box& other, const aiVector3D& otherOffset)
{
    for (int axis : { 0, 2, 1 }) {
        float aMin = own.lo[axis] + ownOffset[axis], aMax = own.hi[axis] + ownOffset[axis];
        float bMin = other.lo[axis] + otherOffset[axis], bMax = other.hi[axis] + otherOffset[axis];
        bool hit = (aMin > bMin && bMax > aMin) || (aMax > bMin && bMax > aMax) || (bMin > aMin && aMax > bMax);
        if (!hit)
            return false;
    }
    return true;
}

bool LoadedModel::load(const std::string& path, float scale)
{
    scene = importer.ReadFile(path, aiProcessPreset_TargetRealtime_Quality);
    if (!scene)
        return false;
    std::function<void(const aiNode*)> walk = [&](const aiNode* node) {
        for (unsigned i = 0; i < node->mNumMeshes; ++i)
            meshes.push_back(scene->mMeshes[node->mMeshes[i]]);
        for (unsigned i = 0; i < node->mNumChildren; ++i)
            walk(node->mChildren[i]);
    };
    walk(scene->mRootNode);
    for (const aiMesh* m : meshes) {
        Box b { m->mVertices[0] * scale, m->mVertices[0] * scale };
        for (unsigned v = 0; v < m->mNumVertices; ++v) {
            aiVector3D p = m->mVertices[v] * scale;
            b.lo = aiVector3D(std::min(b.lo.x, p.x), std::min(b.lo.y, p.y), std::min(b.lo.z, p.z));
            b.hi = aiVector3D(std::max(b.hi.x, p.x), std::max(b.hi.y, p.y), std::max(b.hi.z, p.z));
        }
        boxes.push_back(b);
    }
    return true;
}

bool LoadedModel::allTriangles() const
{
    for (const aiMesh* m : meshes)
        for (unsigned f = 0; f < m->mNumFaces; ++f)
            if (m->mFaces[f].mNumIndices != 3)
                return false;
    return true;
}

bool LoadedModel::indicesValid() const
{
    for (const aiMesh* m : meshes)
        for (unsigned f = 0; f < m->mNumFaces; ++f)
            for (unsigned i = 0; i < m->mFaces[f].mNumIndices; ++i)
                if (m->mFaces[f].mIndices[i] >= m->mNumVertices)
                    return false;
    return true;
}

std::string LoadedModel::textureOf(const aiMesh* mesh) const
{
    aiString path;
    if (aiGetMaterialTexture(scene->mMaterials[mesh->mMaterialIndex], aiTextureType_DIFFUSE, 0, &path) != AI_SUCCESS)
        return "";
    return path.C_Str();
}

Box LoadedModel::bounds() const
{
    Box all = boxes.front();
    for (const Box& b : boxes) {
        all.lo = aiVector3D(std::min(all.lo.x, b.lo.x), std::min(all.lo.y, b.lo.y), std::min(all.lo.z, b.lo.z));
        all.hi = aiVector3D(std::max(all.hi.x, b.hi.x), std::max(all.hi.y, b.hi.y), std::max(all.hi.z, b.hi.z));
    }
    return all;
}

bool Picture::load(const std::string& path)
{
    FREE_IMAGE_FORMAT format = FreeImage_GetFileType(path.c_str(), 0);
    if (format == FIF_UNKNOWN)
        return false;
    FIBITMAP* bitmap = FreeImage_Load(format, path.c_str(), 0);
    if (!bitmap)
        return false;
    bpp = FreeImage_GetBPP(bitmap);
    FIBITMAP* full = FreeImage_ConvertTo32Bits(bitmap);
    width = FreeImage_GetWidth(full);
    height = FreeImage_GetHeight(full);
    rgba.resize(static_cast<size_t>(width) * height * 4);
    for (unsigned y = 0; y < height; ++y) {
        const BYTE* row = FreeImage_GetScanLine(full, height - 1 - y);
        for (unsigned x = 0; x < width; ++x) {
            unsigned char* p = &rgba[(y * width + x) * 4];
            p[0] = row[x * 4 + FI_RGBA_RED];
            p[1] = row[x * 4 + FI_RGBA_GREEN];
            p[2] = row[x * 4 + FI_RGBA_BLUE];
            p[3] = row[x * 4 + FI_RGBA_ALPHA];
        }
    }
    FreeImage_Unload(full);
    FreeImage_Unload(bitmap);
    return true;
}
