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
uniform mat4 modelMatrix;
// The light's projection times the light's view.
uniform mat4 projectionMatrix;

void main()
{
    gl_Position = projectionMatrix * (modelMatrix * (meshMatrix * vec4(position, 1.0)));
}
