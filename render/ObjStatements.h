// The statements of an OBJ file and of the material libraries it names, read before the importer
// sees them: refuses what would crash the importer (bytes that are not text, statements before a
// library's first "newmtl") and counts what the import would build.
#pragma once

#include "render/ModelCensus.h"

#include <string>

class ObjStatements {
public:
    // Why the file must not be imported, or null; adds what it would build to the census, and
    // stops reading libraries once they hold more bytes than the budget's.
    static const char* check(const std::string& path, const ModelCensus& budget, ModelCensus& census);

private:
    static const char* checkLibrary(const std::string& path, ModelCensus& census);
    static void countStatement(const std::string& line, size_t start, ModelCensus& census);
};
