// Any bytes as a model file: written to a folder of its own as a 3DS file when it starts like
// one, otherwise as an OBJ file that is also its own material library, then imported through
// the model loader's guard with the loader's post-processing, its texture paths checked.
#include "render/ModelImportGuard.h"
#include "render/RegularFileIOSystem.h"

#include <assimp/DefaultLogger.hpp>
#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {
std::string folder;

void write(const std::string& path, const uint8_t* data, size_t size)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    char pattern[] = "/tmp/tintbox-fuzz-model-XXXXXX";
    folder = mkdtemp(pattern) ? pattern : "/tmp";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    bool threeDs = size >= 2 && data[0] == 0x4D && data[1] == 0x4D;
    std::string path = folder + (threeDs ? "/model.3ds" : "/model.obj");
    write(path, data, size);
    if (!threeDs)
        write(folder + "/model.mtl", data, size);
    Assimp::Importer importer;
    importer.SetIOHandler(new RegularFileIOSystem);
    const char* fault = nullptr;
    const aiScene* scene = ModelImportGuard::import(importer, path, aiProcessPreset_TargetRealtime_Quality, fault);
    for (unsigned int i = 0; scene && i < scene->mNumMaterials; ++i) {
        aiString texture;
        if (scene->mMaterials[i]->GetTexture(aiTextureType_DIFFUSE, 0, &texture) == AI_SUCCESS)
            ModelImportGuard::staysInside(texture.C_Str());
    }
    return 0;
}
