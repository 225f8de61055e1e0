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
// The camera's projection times its view.
uniform mat4 projectionMatrix;
// Bias times the light's projection times the light's view: world to shadow-map coordinates.
uniform mat4 projectionLightSource;
uniform vec3 spotDirection;

out vec3 worldPosition;
out vec3 worldNormal;
out vec2 texCoord;
out vec4 shadowCoord;
flat out vec3 spotAxis;

void main()
{
    vec4 world = modelMatrix * (meshMatrix * vec4(position, 1.0));
    worldPosition = world.xyz;
    // Models are scaled uniformly, so the upper 3 x 3 part transforms normals well enough.
    worldNormal = mat3(modelMatrix) * (mat3(meshMatrix) * normal);
    texCoord = uv;
    // Looking the shadow up a little off the surface keeps lit faces free of self-shadowing.
    vec3 n = length(worldNormal) > 0.0 ? normalize(worldNormal) : vec3(0.0);
    shadowCoord = projectionLightSource * vec4(world.xyz + n * 0.015, 1.0);
    spotAxis = normalize(spotDirection);
    gl_Position = projectionMatrix * world;
}
