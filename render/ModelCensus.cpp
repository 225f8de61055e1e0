#include "render/ModelCensus.h"

const ModelCensus& ModelCensus::gameBudget()
{
    static const ModelCensus budget = [] {
        ModelCensus most;
        most.corners = 1ull << 21;
        most.materials = 1024;
        most.meshes = 8192;
        most.nodes = 8192;
        // 4 bytes for each pair the importer tries.
        most.nodeMeshPairs = 1ull << 24;
        most.libraryBytes = 64ull << 20;
        most.triangulation = 1ull << 27;
        return most;
    }();
    return budget;
}

std::string ModelCensus::fault(const ModelCensus& budget) const
{
    const struct {
        unsigned long long count, most;
        const char* what;
    } checks[] = {
        { corners, budget.corners, " face corners" },
        { materials, budget.materials, " materials" },
        { meshes, budget.meshes, " objects, groups, material switches or meshes" },
        { nodes, budget.nodes, " animation nodes" },
        { nodeMeshPairs, budget.nodeMeshPairs, " pairs of an animation node and a mesh" },
        { libraryBytes, budget.libraryBytes, " bytes of material libraries" },
        { triangulation, budget.triangulation, " steps of triangulation" },
    };
    for (const auto& check : checks) {
        if (check.count > check.most)
            return "the file has more than " + std::to_string(check.most) + check.what;
    }
    return "";
}
