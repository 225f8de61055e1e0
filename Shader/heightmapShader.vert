#version 330
#extension GL_ARB_explicit_uniform_location : enable
#ifdef GL_ARB_explicit_uniform_location
#define AT(n) layout(location = n)
#else
#define AT(n)
#endif
#extension GL_ARB_shading_language_420pack : enable
#ifdef GL_ARB_shading_language_420pack
#define UNIT(n) layout(binding = n)
#else
#define UNIT(n)
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
uniform vec3 spotPosition;
uniform vec3 spotDirection;
uniform vec3 cameraPosition;
uniform vec3 lightPosition;

UNIT(3) uniform sampler2D paintLayer;

// World x and z, for the mark of the vehicle's reach.
out vec2 floorPosition;
// The floor picture tiles six times across the floor; the paint layer spans it once, here
// counted in its texels.
out vec2 floorCoord;
out vec2 paintCoord;
flat out vec2 paintTexelSize;
out vec4 shadowCoord;
// The scene light's diffuse and specular factors before the shadow, and the vehicle lamp's
// diffuse light: the floor grid is dense (a tenth of a unit), so they are worked out per vertex
// and interpolated.
out vec3 vertexLight;

// x to the 24th by squaring: x^16 * x^8.
float power24(float x)
{
    float x2 = x * x;
    float x4 = x2 * x2;
    float x8 = x4 * x4;
    return x8 * x8 * x8;
}

// The vehicle's lamp: a cone of about 25 degrees with a soft edge, fading with distance.
float spotLight(vec3 toSpot, vec3 n)
{
    float distanceSquared = max(dot(toSpot, toSpot), 1e-8);
    vec3 spotDir = toSpot * inversesqrt(distanceSquared);
    float cone = smoothstep(0.87, 0.94, dot(-spotDir, normalize(spotDirection)));
    return max(dot(n, spotDir), 0.0) * cone / (1.0 + 0.6 * distanceSquared);
}

void main()
{
    vec4 world = modelMatrix * (meshMatrix * vec4(position, 1.0));
    floorPosition = world.xz;
    vec2 paintSize = vec2(textureSize(paintLayer, 0));
    floorCoord = uv * 6.0;
    paintCoord = uv * paintSize;
    paintTexelSize = 1.0 / paintSize;
    // Models are scaled uniformly, so the upper 3 x 3 part transforms normals well enough.
    vec3 worldNormal = mat3(modelMatrix) * (mat3(meshMatrix) * normal);
    // Looking the shadow up a little off the surface keeps lit faces free of self-shadowing.
    vec3 n = length(worldNormal) > 0.0 ? normalize(worldNormal) : vec3(0.0);
    shadowCoord = projectionLightSource * vec4(world.xyz + n * 0.015, 1.0);
    vec3 toLight = normalize(lightPosition - world.xyz);
    vec3 toEye = normalize(cameraPosition - world.xyz);
    float facing = dot(n, toLight);
    float specular = facing > 0.0 ? power24(max(dot(reflect(-toLight, n), toEye), 0.0)) : 0.0;
    vertexLight = vec3(max(facing, 0.0), specular, spotLight(spotPosition - world.xyz, n));
    gl_Position = projectionMatrix * world;
}
