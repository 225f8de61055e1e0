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

// World x and z, for the marks of the vehicle's reach and of the aimed paint pixel.
in vec2 floorPosition;
// The floor picture's coordinates, and the paint layer's in its pixels with the top row first
// (as a paint stroke counts them), with the size of one in texture coordinates.
in vec2 floorCoord;
in vec2 pixelCoord;
flat in vec2 paintTexelSize;
// Where a click lands, from this triangle's plane: world x and z, and 1 if in reach, else 0.
flat in vec3 aim;
in vec4 shadowCoord;
// The scene light's diffuse and specular factors before the shadow, and the vehicle lamp's
// diffuse light, per vertex.
in vec3 vertexLight;

AT(4) uniform vec3 k_ambient;
AT(5) uniform vec3 k_diffuse;
AT(6) uniform vec3 k_specular;
AT(7) uniform sampler2D colorTexture;
UNIT(4) uniform sampler2DShadow shadowMap;
// The paint layer: the player's strokes over the paint picture, transparent where the floor shows.
UNIT(3) uniform sampler2D paintLayer;

uniform vec3 cameraPosition;
uniform vec3 lightPosition;
// The vehicle's position lifted by 0.2: its x and z are the centre of the reach.
uniform vec3 spotPosition;
uniform vec3 spotDirection;
uniform vec3 ambientLight;

out vec4 fragColor;

// Half the side of the square around the vehicle in which a stroke lands.
const float reach = 0.8;

// The rasteriser runs this for every pixel, in software: the lighting stays cheap (one shadow
// lookup, both lights per vertex, no pow, no divisions but the perspective one).

// 1 where the light reaches the point, 0 in shadow; one hardware-filtered lookup gives 2 x 2
// percentage-closer filtering. Points outside the light's cone count as lit.
float lightVisibility()
{
    vec3 c = shadowCoord.xyz / shadowCoord.w;
    float lit = texture(shadowMap, vec3(c.xy, c.z - 0.00002));
    bool outside = shadowCoord.w <= 0.0 || any(lessThan(c.xy, vec2(0.0))) || any(greaterThan(c, vec3(1.0)));
    return outside ? 1.0 : lit;
}

// Each paint texel is one paint pixel: looked up at its centre, it shows as a sharp square up
// close whatever the filters. Near by, the centres of a 2 x 2 block of pixels lie at most a
// texel apart, which keeps the lookup in level 0; far away their steps follow the true change
// and choose the mip level as before.
vec4 paintTexel()
{
    vec2 centre = (floor(pixelCoord) + 0.5) * paintTexelSize;
    return texture(paintLayer, vec2(centre.x, 1.0 - centre.y));
}

// The paint pixel a click lands on, outlined inside its edge at any distance: a dark line a
// pixel wide, then a light one two pixels wide where a click paints, red where the pixel lies
// out of reach and a click does nothing.
vec3 markAim(vec3 colour)
{
    vec2 pixel = floor(pixelCoord);
    // Paint pixels per world unit, from where this fragment lies in both.
    bool aimed = all(equal(floor(aim.xy * (pixelCoord / floorPosition)), pixel));
    vec2 inside = pixelCoord - pixel;
    vec2 fromEdge = min(inside, 1.0 - inside) / fwidth(pixelCoord);
    float edge = min(fromEdge.x, fromEdge.y);
    vec3 line = aim.z > 0.5 ? vec3(1.0) : vec3(1.0, 0.2, 0.15);
    vec3 mark = edge < 1.0 ? vec3(0.08) : line;
    return aimed && edge < 3.0 ? mark : colour;
}

// The edge of the vehicle's reach: a light line inside a dark one, each about two pixels wide
// at any distance, so that it shows on light and dark floor.
vec3 markReach(vec3 colour)
{
    vec2 offset = abs(floorPosition - spotPosition.xz);
    float inside = reach - max(offset.x, offset.y);
    float pixels = inside / fwidth(inside);
    float light = clamp(pixels + 0.5, 0.0, 1.0) * clamp(2.5 - pixels, 0.0, 1.0);
    float dark = clamp(pixels + 2.5, 0.0, 1.0) * clamp(0.5 - pixels, 0.0, 1.0);
    // Warm, like the lamp's light, so that it does not read as a groove between tiles.
    colour = mix(colour, vec3(1.0, 0.85, 0.35), light * 0.6);
    return colour * (1.0 - 0.35 * dark);
}

void main()
{
    vec4 floorColour = texture(colorTexture, floorCoord);
    vec4 paint = paintTexel();
    vec3 base = mix(floorColour.rgb, paint.rgb, paint.a);
    float shadow = lightVisibility();
    float diffuse = vertexLight.x * shadow + vertexLight.z;
    float specular = vertexLight.y * shadow;

    vec3 lit = base * (ambientLight * k_ambient + diffuse * k_diffuse) + specular * k_specular;
    fragColor = vec4(markAim(markReach(lit)), 1.0);
}
