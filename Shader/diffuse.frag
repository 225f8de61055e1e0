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

AT(4) uniform vec3 k_ambient;
AT(5) uniform vec3 k_diffuse;
AT(6) uniform vec3 k_specular;
AT(7) uniform sampler2D colorTexture;
UNIT(4) uniform sampler2DShadow shadowMap;

uniform vec3 cameraPosition;
uniform vec3 lightPosition;
uniform vec3 spotPosition;
uniform vec3 spotDirection;
uniform vec3 ambientLight;

out vec4 fragColor;

// The rasteriser runs this for every pixel, in software: the lighting stays cheap (one shadow
// lookup, no pow, no divisions but the perspective one).

// 1 where the light reaches the point, 0 in shadow; one hardware-filtered lookup gives 2 x 2
// percentage-closer filtering. Points outside the light's cone count as lit.
float lightVisibility()
{
    vec3 c = shadowCoord.xyz / shadowCoord.w;
    float lit = texture(shadowMap, vec3(c.xy, c.z - 0.00002));
    bool outside = shadowCoord.w <= 0.0 || any(lessThan(c.xy, vec2(0.0))) || any(greaterThan(c, vec3(1.0)));
    return outside ? 1.0 : lit;
}

// The vehicle's lamp on a surface of normal n: a cone of about 25 degrees with a soft edge,
// fading with distance. Most of what is drawn lies outside the cone and skips the rest.
float spotLight(vec3 toSpot, vec3 n)
{
    float distanceSquared = max(dot(toSpot, toSpot), 1e-8);
    vec3 spotDir = toSpot * inversesqrt(distanceSquared);
    float cone = smoothstep(0.87, 0.94, dot(-spotDir, spotAxis));
    if (cone == 0.0)
        return 0.0;
    return max(dot(n, spotDir), 0.0) * cone / (1.0 + 0.6 * distanceSquared);
}

// x to the 24th by squaring: x^16 * x^8.
float power24(float x)
{
    float x2 = x * x;
    float x4 = x2 * x2;
    float x8 = x4 * x4;
    return x8 * x8 * x8;
}

void main()
{
    vec4 base = texture(colorTexture, texCoord);
    vec3 n = normalize(gl_FrontFacing ? worldNormal : -worldNormal);
    vec3 toEye = normalize(cameraPosition - worldPosition);
    vec3 toLight = normalize(lightPosition - worldPosition);

    float shadow = lightVisibility();
    float facing = dot(n, toLight);
    float diffuse = max(facing, 0.0) * shadow;
    // Only faces turned to the light shine.
    float specular = facing > 0.0 ? power24(max(dot(reflect(-toLight, n), toEye), 0.0)) * shadow : 0.0;

    float spotDiffuse = spotLight(spotPosition - worldPosition, n);

    vec3 lit = base.rgb * (ambientLight * k_ambient + (diffuse + spotDiffuse) * k_diffuse)
        + specular * k_specular;
    fragColor = vec4(lit, base.a);
}
