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
// Identity unless a label sets it; the ball quad is drawn without setting it.
uniform mat4 modelMatrix = mat4(1.0);
AT(7) uniform sampler2D colorTexture;

out vec2 texCoord;
// -1 to 1 across the quad, from its uv corner; the fragment program finds the glyph in it.
out vec2 side;
// 1 for glyphs, which get a dark edge; 0 for pictures such as the ball, drawn as they are.
flat out int edged;

// Glyph quads are tight around their bitmaps: they grow by 0.8 pixels of a 1024 x 768 window
// on every side, room for the edge's pixels, whose centres lie half a pixel out.
const vec2 margin = vec2(0.0016, 0.0021);

void main()
{
    texCoord = uv;
    side = uv * 2.0 - 1.0;
    // Glyphs are alpha-only with red, green and blue swizzled to one; a picture has colours.
    ivec2 size = textureSize(colorTexture, 0);
    bool glyph = texelFetch(colorTexture, ivec2(0), 0).rgb == vec3(1.0)
        && texelFetch(colorTexture, size - 1, 0).rgb == vec3(1.0);
    edged = glyph ? 1 : 0;
    vec4 p = modelMatrix * meshMatrix * vec4(position, 1.0);
    // A glyph's bitmap runs top row first: v grows downwards on the screen.
    vec2 grow = glyph ? side * vec2(1.0, -1.0) * margin * p.w : vec2(0.0);
    // Text lies on top of everything, the pictures of the orthographic program included.
    gl_Position = vec4(p.xy + grow, -0.9999 * p.w, p.w);
}
