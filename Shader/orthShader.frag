#version 330
#extension GL_ARB_explicit_uniform_location : enable
#ifdef GL_ARB_explicit_uniform_location
#define AT(n) layout(location = n)
#else
#define AT(n)
#endif

in vec2 texCoord;
in vec2 device;

AT(4) uniform vec3 k_ambient;
AT(5) uniform vec3 k_diffuse;
AT(6) uniform vec3 k_specular;
AT(7) uniform sampler2D colorTexture;

out vec4 fragColor;

// The crosshair model is a square whose texture coordinates lie far below 0, where no picture
// has any: its ring is drawn here, in pixels, so it stays round and crisp at any window size.
bool isCrosshair()
{
    return texCoord.x < -1.0;
}

// A ring around the pixel whose depth the paint stroke reads: light inside, dark outside, each
// band three pixels wide (two of them solid) in a 768-pixel-high window, in step with the
// window's shorter side, so that it fits the crosshair's square in windows of any shape.
vec4 crosshair(vec2 devicePerPixel)
{
    vec2 window = floor(2.0 / abs(devicePerPixel) + 0.5);
    // The stroke reads pixel (width / 2, height - height / 2), counted from the lower left.
    vec2 centre = vec2(floor(window.x * 0.5), window.y - floor(window.y * 0.5)) + 0.5;
    float scale = min(window.x, window.y) / 768.0;
    float r = length(gl_FragCoord.xy - centre) / scale;
    // Coverage of the bands, smoothed over a pixel.
    float ring = clamp(r - 5.5, 0.0, 1.0) * clamp(12.5 - r, 0.0, 1.0);
    float light = clamp(9.5 - r, 0.0, 1.0);
    return vec4(mix(vec3(0.08), vec3(1.0), light), ring * 0.95);
}

void main()
{
    // Derivatives are taken before the branch, where every pixel of a 2 x 2 block runs.
    vec2 devicePerPixel = vec2(dFdx(device.x), dFdy(device.y));
    vec4 colour = isCrosshair() ? crosshair(devicePerPixel) : texture(colorTexture, texCoord);
    // Fully transparent texels write no depth, so nothing drawn later is hidden by them.
    if (colour.a == 0.0)
        discard;
    fragColor = colour;
}
