// One linked GLSL program from a vertex and a fragment file. Either it links or the process
// ends; the program lives as long as the context and is never deleted.
#pragma once

#include <GL/glew.h>

#include <string>

class Shader {
public:
    Shader(const std::string& vertexPath, const std::string& fragmentPath);
    Shader(const Shader&) = delete;
    Shader& operator=(const Shader&) = delete;

    void use() const;

    GLuint program = 0;
    GLuint vertexShader = 0;
    GLuint fragmentShader = 0;

private:
    void compileShader(const std::string& path, GLenum type, GLuint& out);
    void linkProgram();
};
