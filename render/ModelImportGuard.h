// The model loader's defences against files the importer mishandles: OBJ files and material
// libraries that would make it write through a null material (ObjStatements), files that would
// make it build more than it can afford (ModelCensus) or triangulate for hours, scenes whose
// lists, indices or node tree would make the post-processing or the loader read out of bounds
// (checked straight after reading, since the post-processing indexes without checks, and again
// after it), and texture paths that would read from outside Resources/. What the importer opens
// goes through a RegularFileIOSystem, installed by the loader.
#pragma once

#include "render/ModelCensus.h"

#include <string>

namespace Assimp {
class Importer;
}
struct aiScene;

class ModelImportGuard {
public:
    // Reads the file with the importer and applies the post-processing steps; the scene, or
    // null with `fault` saying why (empty when the importer itself gave up: see its error).
    static const aiScene* import(Assimp::Importer& importer, const std::string& path, unsigned int postProcessing,
        std::string& fault, const ModelCensus& budget = ModelCensus::gameBudget());
    // Whether "Resources/" followed by a texture path named by a material stays inside that
    // folder once its ".." parts are resolved lexically.
    static bool staysInside(const std::string& texturePath);
};
