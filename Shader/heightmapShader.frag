#version 330
#extension GL_ARB_explicit_uniform_location : enable
#ifdef GL_ARB_explicit_uniform_location
#define AT(n) layout(location = n)
#else
#define AT(n)
#endif
// A sampler2DShadow left on unit 0 beside a sampler2D is an error at draw time.
#extension GL_ARB_shading_language_420pack : enable
#ifdef GL_ARB_shading_language_420pack
#define UNIT(n) layout(binding = n)
#else
#define UNIT(n)
#endif

in vec3 worldPosition;
in vec3 worldNormal;
in vec2 texCoord;
in vec4 shadowCoord;
// normalize(spotDirection), the same for every vertex: worked out once per vertex, not per pixel.
flat in vec3 spotAxis;
// The scene light's diffuse and specular factors, per vertex, before the shadow.
in vec2 pointLight;

AT(4) uniform vec3 k_ambient;
AT(5) uniform vec3 k_diffuse;
AT(6) uniform vec3 k_specular;
AT(7) uniform sampler2D colorTexture;
UNIT(4) uniform sampler2DShadow shadowMap;
// The paint layer: the player's strokes over the paint picture, transparent where the floor shows.
UNIT(3) uniform sampler2D paintLayer;

uniform vec3 cameraPosition;
uniform vec3 lightPosition;
uniform vec3 spotPosition;
uniform vec3 spotDirection;
uniform vec3 ambientLight;

out vec4 fragColor;

// The rasteriser runs this for every pixel, in software: the lighting stays cheap (one shadow
// lookup, the scene light per vertex, no pow, no divisions but the perspective one).

// 1 where the light reaches the point, 0 in shadow; one hardware-filtered lookup gives 2 x 2
// percentage-closer filtering. Points outside the light's cone count as lit.
float lightVisibility()
{
    vec3 c = shadowCoord.xyz / shadowCoord.w;
    float lit = texture(shadowMap, vec3(c.xy, c.z - 0.00002));
    bool outside = shadowCoord.w <= 0.0 || any(lessThan(c.xy, vec2(0.0))) || any(greaterThan(c, vec3(1.0)));
    return outside ? 1.0 : lit;
}

// The vehicle's lamp: a cone of about 25 degrees with a soft edge, fading with distance.
float spotLight(vec3 toSpot, out vec3 spotDir)
{
    float distanceSquared = max(dot(toSpot, toSpot), 1e-8);
    spotDir = toSpot * inversesqrt(distanceSquared);
    float cone = smoothstep(0.87, 0.94, dot(-spotDir, spotAxis));
    return cone / (1.0 + 0.6 * distanceSquared);
}

void main()
{
    // The floor picture tiles six times across the floor; the paint layer spans it once.
    vec4 floorColour = texture(colorTexture, texCoord * 6.0);
    vec4 paint = texture(paintLayer, texCoord);
    vec4 base = vec4(mix(floorColour.rgb, paint.rgb, paint.a), 1.0);
    vec3 n = normalize(gl_FrontFacing ? worldNormal : -worldNormal);
    float shadow = lightVisibility();
    float diffuse = pointLight.x * shadow;
    float specular = pointLight.y * shadow;

    vec3 spotDir;
    float spot = spotLight(spotPosition - worldPosition, spotDir);
    float spotDiffuse = max(dot(n, spotDir), 0.0) * spot;

    vec3 lit = base.rgb * (ambientLight * k_ambient + (diffuse + spotDiffuse) * k_diffuse)
        + specular * k_specular;
    fragColor = vec4(lit, base.a);
}
