#version 330
#extension GL_ARB_explicit_uniform_location : enable
#ifdef GL_ARB_explicit_uniform_location
#define AT(n) layout(location = n)
#else
#define AT(n)
#endif

layout(location = 0) in vec3 position;
layout(location = 1) in vec3 normal;
layout(location = 2) in vec2 uv;

AT(0) uniform mat4 meshMatrix;
// Identity unless a label sets it; the ball quad is drawn without setting it.
uniform mat4 modelMatrix = mat4(1.0);

out vec2 texCoord;

void main()
{
    texCoord = uv;
    vec4 p = modelMatrix * meshMatrix * vec4(position, 1.0);
    // Text lies on top of everything, the pictures of the orthographic program included.
    gl_Position = vec4(p.xy, -0.9999 * p.w, p.w);
}
