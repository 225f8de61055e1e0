#include "render/Shader.h"

#include "render/Console.h"
#include "render/RegularFile.h"

#include <vector>

namespace {
// Shader sources are a few kilobytes; nothing larger is read.
const size_t maxSourceBytes = 1 << 20;

// The info log of a shader or program, for the message that ends the process.
std::vector<char> infoLog(GLuint name, PFNGLGETSHADERIVPROC getParameter, PFNGLGETSHADERINFOLOGPROC getLog)
{
    GLint length = 0;
    getParameter(name, GL_INFO_LOG_LENGTH, &length);
    std::vector<char> log(length > 0 ? length : 1, '\0');
    getLog(name, static_cast<GLsizei>(log.size()), nullptr, log.data());
    return log;
}
}

Shader::Shader(const std::string& vertexPath, const std::string& fragmentPath)
{
    program = 0;
    vertexShader = 0;
    fragmentShader = 0;
    program = glCreateProgram();
    if (program == 0)
        Console::fail("glCreateProgram failed to create shader handle");
    compileShader(vertexPath, GL_VERTEX_SHADER, vertexShader);
    compileShader(fragmentPath, GL_FRAGMENT_SHADER, fragmentShader);
    linkProgram();
    // The shaders stay attached to the linked program, which keeps working without them.
    glDeleteShader(vertexShader);
    glDeleteShader(fragmentShader);
}

void Shader::use() const
{
    glUseProgram(program);
}

void Shader::compileShader(const std::string& path, GLenum type, GLuint& out)
{
    std::string source;
    if (!RegularFile::read(path, maxSourceBytes, source))
        Console::fail("Failed to load Shader \"" + path + "\"");

    out = glCreateShader(type);
    if (out == 0)
        Console::fail("Failed to create shader");
    const char* text = source.c_str();
    glShaderSource(out, 1, &text, nullptr);
    glCompileShader(out);
    GLint status = 0;
    glGetShaderiv(out, GL_COMPILE_STATUS, &status);
    if (status != 0)
        return;

    Console::fail("Failed to compile Shaders.", infoLog(out, glGetShaderiv, glGetShaderInfoLog).data());
}

void Shader::linkProgram()
{
    glAttachShader(program, vertexShader);
    glAttachShader(program, fragmentShader);
    glBindFragDataLocation(program, 0, "fragColor");
    glLinkProgram(program);
    GLint status = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &status);
    if (status != 0)
        return;

    Console::fail("Failed to link Shaders.", infoLog(program, glGetProgramiv, glGetProgramInfoLog).data());
}
