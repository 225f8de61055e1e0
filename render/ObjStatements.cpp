#include "render/ObjStatements.h"

#include "render/RegularFile.h"
#include "render/RegularFileIOSystem.h"

#include <algorithm>
#include <sstream>

namespace {
// OBJ and material files are text: the importer also ends lines at NUL and form feed bytes, so
// control bytes would hide statements from the checks below.
bool isText(const std::string& line)
{
    return std::none_of(line.begin(), line.end(), [](unsigned char c) { return c < 0x20 && c != '\t' && c != '\r'; });
}

bool startsWith(const std::string& line, size_t start, const std::string& keyword)
{
    return line.compare(start, keyword.size(), keyword) == 0
        && (start + keyword.size() == line.size() || line[start + keyword.size()] == ' '
            || line[start + keyword.size()] == '\t');
}

unsigned long long words(const std::string& line)
{
    unsigned long long count = 0;
    bool inWord = false;
    for (char c : line) {
        bool blank = c == ' ' || c == '\t' || c == '\\';
        count += !blank && !inWord ? 1 : 0;
        inWord = !blank;
    }
    return count;
}
}

const char* ObjStatements::check(const std::string& path, const ModelCensus& budget, ModelCensus& census)
{
    std::string text;
    if (!RegularFile::read(path, RegularFileIOSystem::maxFileBytes, text))
        return nullptr; // the importer cannot open it either
    std::replace(text.begin(), text.end(), '\r', '\n'); // the importer ends lines at either
    std::istringstream file(text);
    std::string folder = path.find('/') == std::string::npos ? "" : path.substr(0, path.rfind('/') + 1);
    std::string line;
    // A line ending in a backslash goes on in the next; the words of such lines count as corners.
    bool continued = false;
    while (std::getline(file, line)) {
        if (!isText(line))
            return "an OBJ file is not text";
        size_t start = line.find_first_not_of(" \t");
        bool continuation = continued;
        continued = !line.empty() && line.back() == '\\';
        if (continuation)
            census.corners += words(line);
        if (continuation || start == std::string::npos)
            continue;
        countStatement(line, start, census);
        if (!startsWith(line, start, "mtllib"))
            continue;
        size_t nameStart = line.find_first_not_of(" \t", start + 7);
        size_t nameEnd = line.find_last_not_of(" \t");
        if (nameStart == std::string::npos || nameEnd < nameStart)
            continue;
        // A library that cannot be read makes the importer read the one named like the file.
        std::string library = folder + line.substr(nameStart, nameEnd - nameStart + 1);
        if (!RegularFile::readable(library))
            library = path.substr(0, path.size() - 3) + "mtl";
        if (const char* fault = checkLibrary(library, census))
            return fault;
        if (census.libraryBytes > budget.libraryBytes)
            return nullptr;
    }
    return nullptr;
}

void ObjStatements::countStatement(const std::string& line, size_t start, ModelCensus& census)
{
    if (startsWith(line, start, "f") || startsWith(line, start, "l") || startsWith(line, start, "p"))
        census.corners += words(line) - 1;
    else if (startsWith(line, start, "o") || startsWith(line, start, "g") || startsWith(line, start, "usemtl"))
        ++census.meshes;
}

// The importer writes texture statements that come before the first "newmtl" through a null
// material, and binary garbage can form such statements.
const char* ObjStatements::checkLibrary(const std::string& path, ModelCensus& census)
{
    std::string text;
    if (!RegularFile::read(path, RegularFileIOSystem::maxFileBytes, text))
        return nullptr; // a missing library only costs the materials
    census.libraryBytes += text.size();
    std::replace(text.begin(), text.end(), '\r', '\n');
    std::istringstream file(text);
    bool named = false;
    std::string line;
    for (bool first = true; std::getline(file, line); first = false) {
        if (first && line.compare(0, 3, "\xEF\xBB\xBF") == 0)
            line.erase(0, 3);
        if (!isText(line))
            return "a material library is not text";
        size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line[start] == '#')
            continue;
        if (line.compare(start, 6, "newmtl") == 0) {
            named = true;
            ++census.materials;
        } else if (!named) {
            return "a material library has statements before its first newmtl";
        }
    }
    return nullptr;
}
