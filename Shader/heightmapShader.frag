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
// (as a paint stroke counts them), with the index of its last row.
in vec2 floorCoord;
in vec2 pixelCoord;
flat in int paintRows;
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

// The rasteriser runs this for every pixel, in software: it stays cheap (one shadow lookup, the
// paint fetched unfiltered, both lights per vertex, no pow).

// 1 where the light reaches the point, 0 in shadow; one hardware-filtered lookup gives 2 x 2
// percentage-closer filtering. Points outside the light's cone count as lit.
float lightVisibility()
{
    vec3 c = shadowCoord.xyz / shadowCoord.w;
    float lit = texture(shadowMap, vec3(c.xy, c.z - 0.00002));
    bool outside = shadowCoord.w <= 0.0 || any(lessThan(c.xy, vec2(0.0))) || any(greaterThan(c, vec3(1.0)));
    return outside ? 1.0 : lit;
}

// Each paint texel is one paint pixel, fetched whole: a sharp square up close whatever the
// filters. Far away, where a window pixel spans more than one paint pixel and it would flicker,
// it fades out as its mip levels would blur it. (A filtered lookup cost 19 M instructions a
// tutorial frame, more than both marks.)
vec4 paintTexel(vec2 paintPerPixel)
{
    ivec2 texel = ivec2(pixelCoord);
    vec4 paint = texelFetch(paintLayer, ivec2(texel.x, paintRows - texel.y), 0);
    return vec4(paint.rgb, paint.a * clamp(1.5 - 0.5 * max(paintPerPixel.x, paintPerPixel.y), 0.0, 1.0));
}

// The two marks over the lit floor, laid on in one mix; their widths are in window pixels, the
// same at any distance.
vec3 marks(vec3 colour, vec2 unitsPerPixel, vec2 paintPerUnit, vec2 paintPerPixel)
{
    // The edge of the vehicle's reach: a light line inside a dark one, each two and a half
    // pixels wide, so that it shows on light and dark floor.
    vec2 offset = abs(floorPosition - spotPosition.xz);
    float inside = reach - max(offset.x, offset.y);
    float pixels = inside / (offset.x > offset.y ? unitsPerPixel.x : unitsPerPixel.y);
    // Warm, like the lamp's light, so that it does not read as a groove between tiles.
    vec3 mark = pixels > 0.0 ? vec3(1.0, 0.85, 0.35) : vec3(0.0);
    float weight = clamp(2.5 - abs(pixels), 0.0, 1.0) * (pixels > 0.0 ? 0.6 : 0.35);

    // The paint pixel a click lands on, in a dark outline a pixel wide: inside it a light line
    // two pixels wide over the pixel lightened where a click paints, the whole pixel red where
    // it lies out of reach and a click does nothing. Small pixels still show through the
    // crosshair's ring.
    vec2 pixel = floor(pixelCoord);
    vec2 within = pixelCoord - pixel;
    vec2 fromEdge = min(within, 1.0 - within) / paintPerPixel;
    float edge = min(fromEdge.x, fromEdge.y);
    if (all(equal(floor(aim.xy * paintPerUnit), pixel))) {
        mark = edge < 1.0 ? vec3(0.08) : aim.z > 0.5 ? vec3(1.0) : vec3(1.0, 0.2, 0.15);
        weight = edge < 3.0 || aim.z < 0.5 ? 1.0 : 0.3;
    }
    return mix(colour, mark, weight);
}

void main()
{
    // World units per window pixel along x and z, and paint pixels per world unit and per
    // window pixel, for the marks' widths and the paint's fading.
    vec2 unitsPerPixel = fwidth(floorPosition);
    vec2 paintPerUnit = pixelCoord / floorPosition;
    vec2 paintPerPixel = unitsPerPixel * paintPerUnit;

    vec4 floorColour = texture(colorTexture, floorCoord);
    vec4 paint = paintTexel(paintPerPixel);
    float shadow = lightVisibility();
    float diffuse = vertexLight.x * shadow + vertexLight.z;
    float specular = vertexLight.y * shadow;

    vec3 light = ambientLight * k_ambient + diffuse * k_diffuse;
    // Paint and hints keep most of their colour in shade, so that they read on a dark floor.
    vec3 paintLight = max(light, vec3(0.8));
    vec3 lit = mix(floorColour.rgb * light, paint.rgb * paintLight, paint.a) + specular * k_specular;
    fragColor = vec4(marks(lit, unitsPerPixel, paintPerUnit, paintPerPixel), 1.0);
}
