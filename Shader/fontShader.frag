#version 330
#extension GL_ARB_explicit_uniform_location : enable
#ifdef GL_ARB_explicit_uniform_location
#define AT(n) layout(location = n)
#else
#define AT(n)
#endif

in vec2 texCoord;
in vec2 side;
flat in int edged;

AT(4) uniform vec3 k_ambient;
AT(5) uniform vec3 k_diffuse;
AT(6) uniform vec3 k_specular;
AT(7) uniform sampler2D colorTexture;
uniform vec3 color;

out vec4 fragColor;

// The glyph's coverage at a point of its texture; nothing outside its bitmap, which clamping
// would smear.
float coverage(vec2 at)
{
    bool inside = all(greaterThanEqual(at, vec2(0.0))) && all(lessThanEqual(at, vec2(1.0)));
    return inside ? textureLod(colorTexture, at, 0.0).a : 0.0;
}

// The text in "color" over a dark edge a pixel wide, drawn from the glyph's own coverage, so
// it reads over any floor, wall or picture.
vec4 edgedGlyph(vec2 sidePerPixel)
{
    vec2 size = vec2(textureSize(colorTexture, 0));
    // Glyph texels are window pixels: the grown quad spans the bitmap and the margin around it.
    vec2 texel = size * 0.5 + side / abs(sidePerPixel);
    vec2 at = texel / size;
    float own = coverage(at);
    // Read at two opposite corners of the pixel, the bilinear filter averages 2 x 2 texels:
    // together the two reads see the pixel, its four side neighbours and two of its corners.
    vec2 corner = 0.5 / size;
    float near = max(textureLod(colorTexture, at + corner, 0.0).a, textureLod(colorTexture, at - corner, 0.0).a);
    float edge = min(near * 3.0, 1.0);
    float alpha = own + edge * (1.0 - own);
    return alpha > 0.0 ? vec4(color * own / alpha, alpha) : vec4(0.0);
}

void main()
{
    // Derivatives are taken before the branch, where every pixel of a 2 x 2 block runs.
    vec2 sidePerPixel = vec2(dFdx(side.x), dFdy(side.y));
    vec4 colour;
    if (edged != 0) {
        colour = edgedGlyph(sidePerPixel);
    } else {
        // The ball picture keeps its own shading, tinted.
        vec4 texel = texture(colorTexture, texCoord);
        colour = vec4(color * texel.rgb, texel.a);
    }
    if (colour.a == 0.0)
        discard;
    fragColor = colour;
}
