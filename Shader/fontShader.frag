#version 330
#extension GL_ARB_explicit_uniform_location : enable
#ifdef GL_ARB_explicit_uniform_location
#define AT(n) layout(location = n)
#else
#define AT(n)
#endif

noperspective in vec2 corner;
noperspective in vec2 cornerUv;
noperspective in vec2 device;

AT(4) uniform vec3 k_ambient;
AT(5) uniform vec3 k_diffuse;
AT(6) uniform vec3 k_specular;
AT(7) uniform sampler2D colorTexture;
uniform vec3 color;

out vec4 fragColor;

// Whether a point of the glyph's texture lies within `beyond` of its bitmap. Pixel centres
// that fall on the quad's edge (a label drawn at five eighths of its size has them) count as
// inside, whatever the rounding.
bool within(vec2 at, vec2 beyond)
{
    beyond += 1e-4;
    return all(greaterThanEqual(at, -beyond)) && all(lessThanEqual(at, 1.0 + beyond));
}

float coverage(vec2 at)
{
    return textureLod(colorTexture, at, 0.0).a;
}

// The text in "color" over a dark edge drawn from the glyph's own coverage, so it reads over
// any floor, wall or picture.
vec4 edgedGlyph(vec2 at, vec2 texelsPerPixel)
{
    vec2 texels = vec2(textureSize(colorTexture, 0));
    float own = within(at, vec2(0.0)) ? coverage(at) : 0.0;
    // The edge reaches a texel beyond the glyph, and a pixel where the label is drawn smaller
    // than it was built; farther out the clamped reads below would smear its outermost texels.
    vec2 reach = max(texelsPerPixel, vec2(1.0)) / texels;
    // Two reads at opposite corners half a texel short of the reach, each averaging 2 x 2
    // texels: at the label's own size they see the pixel's four side neighbours and two of its
    // corners. No branch: llvmpipe runs both sides of one.
    vec2 offset = reach - 0.5 / texels;
    float near = within(at, reach) ? max(coverage(at + offset), coverage(at - offset)) : 0.0;
    float edge = min(near * 3.0, 1.0);
    float alpha = own + edge * (1.0 - own);
    return alpha > 0.0 ? vec4(color * own / alpha, alpha) : vec4(0.0);
}

// Where the component's uv runs along the window: the corners as built form an axis-aligned
// rectangle, corner = origin + extent * uv, so their slopes give its signed extent.
float extent(float cornerX, float cornerY, float uvX, float uvY)
{
    return (cornerX * uvX + cornerY * uvY) / (uvX * uvX + uvY * uvY);
}

void main()
{
    // Derivatives are taken before any branch, where every pixel of a 2 x 2 block runs.
    vec2 cornerX = dFdx(corner);
    vec2 cornerY = dFdy(corner);
    vec2 uvX = dFdx(cornerUv);
    vec2 uvY = dFdy(cornerUv);
    vec2 devicePerPixel = vec2(dFdx(device.x), dFdy(device.y));
    vec2 size = vec2(extent(cornerX.x, cornerY.x, uvX.x, uvY.x), extent(cornerX.y, cornerY.y, uvX.y, uvY.y));
    // A quad without area (a space) draws nothing.
    if (size.x == 0.0 || size.y == 0.0)
        discard;
    vec2 at = cornerUv + (device - corner) / size;
    vec2 uvPerPixel = devicePerPixel / size;
    vec4 colour;
    // A glyph's bitmap runs top row first, so its v grows down the window; a picture's rows run
    // bottom first. Nothing in a texture's content can change that.
    if (size.y < 0.0) {
        colour = edgedGlyph(at, abs(uvPerPixel) * vec2(textureSize(colorTexture, 0)));
    } else {
        // The ball picture keeps its own shading, tinted; its quad reaches beyond it.
        bool inside = all(greaterThanEqual(at, vec2(0.0))) && all(lessThanEqual(at, vec2(1.0)));
        vec4 texel = textureGrad(colorTexture, at, vec2(uvPerPixel.x, 0.0), vec2(0.0, uvPerPixel.y));
        colour = inside ? vec4(color * texel.rgb, texel.a) : vec4(0.0);
    }
    if (colour.a == 0.0)
        discard;
    fragColor = colour;
}
