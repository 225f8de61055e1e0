// Any bytes as a model file: written to a folder of its own as a 3DS file when it starts like
// one, otherwise as an OBJ file that is also its own material library, then imported through
// the model loader's guard with the loader's post-processing, its texture paths checked. The
// guard's budget is far below the game's: the same code runs, and the fuzzer does not spend its
// time importing a thousand materials.
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

ModelCensus fuzzBudget()
{
    ModelCensus budget;
    budget.corners = 1 << 14;
    budget.materials = 32;
    budget.meshes = 256;
    budget.nodes = 256;
    budget.nodeMeshPairs = 1 << 12;
    budget.libraryBytes = 1 << 20;
    budget.triangulation = 1 << 20;
    return budget;
}

void write(const std::string& path, const uint8_t* data, size_t size)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // In memory where there is a memory file system: every run writes its files.
    char pattern[] = "/dev/shm/tintbox-fuzz-model-XXXXXX";
    char fallback[] = "/tmp/tintbox-fuzz-model-XXXXXX";
    folder = mkdtemp(pattern) ? pattern : mkdtemp(fallback) ? fallback : "/tmp";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    bool threeDs = size >= 2 && data[0] == 0x4D && data[1] == 0x4D;
    std::string path = folder + (threeDs ? "/model.3ds" : "/model.obj");
    write(path, data, size);
    if (!threeDs)
        write(folder + "/model.mtl", data, size);
    // One importer for every run, as the game's loader keeps one: making one costs more than
    // importing most inputs.
    static Assimp::Importer& importer = *[] {
        auto* made = new Assimp::Importer;
        made->SetIOHandler(new RegularFileIOSystem);
        return made;
    }();
    static const ModelCensus budget = fuzzBudget();
    std::string fault;
    const aiScene* scene
        = ModelImportGuard::import(importer, path, aiProcessPreset_TargetRealtime_Quality, fault, budget);
    for (unsigned int i = 0; scene && i < scene->mNumMaterials; ++i) {
        aiString texture;
        if (scene->mMaterials[i]->GetTexture(aiTextureType_DIFFUSE, 0, &texture) == AI_SUCCESS)
            ModelImportGuard::staysInside(texture.C_Str());
    }
    return 0;
}
