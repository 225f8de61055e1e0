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
// The shadow map has the window's size, which the paint stroke's depth read-back depends on.
UNIT(4) uniform sampler2DShadow shadowMap;

// World x and z, for the marks of the vehicle's reach and of the aimed paint pixel.
out vec2 floorPosition;
// The floor picture tiles six times across the floor; the paint layer spans it once, here
// counted in its pixels with the top row first, as a paint stroke counts them, with the index
// of its last row.
out vec2 floorCoord;
out vec2 pixelCoord;
flat out int paintRows;
// Where a click lands, worked out on this triangle's plane: world x and z, and 1 if that is in
// the vehicle's reach, else 0.
flat out vec3 aim;
out vec4 shadowCoord;
// The scene light's diffuse and specular factors before the shadow, and the vehicle lamp's
// diffuse light: the floor grid is dense (a tenth of a unit), so they are worked out per vertex
// and interpolated.
out vec3 vertexLight;

// Half the side of the square around the vehicle in which a stroke lands.
const float reach = 0.8;
// The camera's far distance: where the window shows no floor, the stroke's pick reads it.
const float farDistance = 50.0;

// The view's axes, scaled for rays one unit deep: forward, and the change of a ray per unit of
// device x and of device y. Rows are those of the projection times the view, whose last row
// gives the depth along the forward axis.
struct ViewAxes {
    vec3 forward, across, up;
};

ViewAxes viewAxes(mat4 rows)
{
    return ViewAxes(rows[3].xyz, rows[0].xyz / dot(rows[0].xyz, rows[0].xyz), rows[1].xyz / dot(rows[1].xyz, rows[1].xyz));
}

// The floor point a click paints, if this vertex's plane is the floor under the crosshair. The
// stroke reads the depth of window pixel (W / 2, H - H / 2), whose middle lies half a pixel up
// and right of the window's centre, and unprojects the pixel's corner at that depth: the point
// of the ray through the corner at the depth of the plane under the middle. n is this vertex's
// normal; the provoking vertex of each triangle carries the triangle's own.
vec3 aimOnPlane(vec3 point, vec3 n, ViewAxes view, vec2 window)
{
    vec2 corner = vec2(floor(window.x * 0.5), window.y - floor(window.y * 0.5)) * 2.0 / window - 1.0;
    vec3 throughCorner = view.forward + corner.x * view.across + corner.y * view.up;
    vec3 throughMiddle = throughCorner + view.across / window.x + view.up / window.y;
    float depth = dot(n, point - cameraPosition) / dot(n, throughMiddle);
    // Beyond the far plane the pick reads the cleared depth; a projection that is not a
    // perspective one (no forward axis) is no camera's, and nothing is aimed at.
    depth = depth > 0.0 && depth < farDistance ? depth : farDistance;
    depth = dot(view.forward, view.forward) > 0.5 ? depth : -1.0e9;
    vec2 hit = cameraPosition.xz + throughCorner.xz * depth;
    // The same strict comparisons as the stroke's.
    bool inReach = all(greaterThan(hit, spotPosition.xz - reach)) && all(lessThan(hit, spotPosition.xz + reach));
    return vec3(hit, float(inReach));
}

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
    ivec2 paintSize = textureSize(paintLayer, 0);
    floorCoord = uv * 6.0;
    pixelCoord = vec2(uv.x, 1.0 - uv.y) * vec2(paintSize);
    paintRows = paintSize.y - 1;
    // Models are scaled uniformly, so the upper 3 x 3 part transforms normals well enough.
    vec3 worldNormal = mat3(modelMatrix) * (mat3(meshMatrix) * normal);
    // Looking the shadow up a little off the surface keeps lit faces free of self-shadowing. A
    // zero normal stays zero.
    vec3 n = worldNormal * inversesqrt(max(dot(worldNormal, worldNormal), 1e-30));
    shadowCoord = projectionLightSource * vec4(world.xyz + n * 0.015, 1.0);
    vec3 toLight = normalize(lightPosition - world.xyz);
    vec3 toEye = normalize(cameraPosition - world.xyz);
    float facing = dot(n, toLight);
    float specular = facing > 0.0 ? power24(max(dot(reflect(-toLight, n), toEye), 0.0)) : 0.0;
    vertexLight = vec3(max(facing, 0.0), specular, spotLight(spotPosition - world.xyz, n));
    ViewAxes view = viewAxes(transpose(projectionMatrix));
    vec2 window = vec2(textureSize(shadowMap, 0));
    aim = aimOnPlane(world.xyz, n, view, window);
    gl_Position = projectionMatrix * world;
}
