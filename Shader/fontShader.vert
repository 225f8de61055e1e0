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

// The corner as built, in device coordinates, and its uv: in every triangle drawn from them the
// fragment program finds how the quad's uv lie on the window, however far the corners moved.
noperspective out vec2 corner;
noperspective out vec2 cornerUv;
// Where the corner is drawn.
noperspective out vec2 device;

// Glyph quads are tight around their bitmaps; they grow by this on every side, room for the
// dark edge: 1.6 pixels of a 1024 x 768 window, a pixel of a 640 x 480 one, so that labels built
// for a larger window keep their edge when it shrinks.
const vec2 margin = vec2(0.0032, 0.0043);
// How far a picture's top and bottom corners reach out, so that its two triangles cover it
// although its other two corners moved inwards: enough for pictures wider than the window.
const float reach = 3.0;

// A glyph texture reads white everywhere, its coverage being alpha alone, so a picture whose
// corners are not white is none: its quad is drawn as built, without the far-reaching corners.
// The fragment program tells glyphs from pictures; only the cost depends on this.
bool mayBeGlyph()
{
    ivec2 last = textureSize(colorTexture, 0) - 1;
    return texelFetch(colorTexture, ivec2(0), 0).rgb == vec3(1.0) && texelFetch(colorTexture, last, 0).rgb == vec3(1.0);
}

void main()
{
    vec4 p = modelMatrix * meshMatrix * vec4(position, 1.0);
    vec2 at = p.xy / p.w;
    // u grows to the right in every quad; v grows down a glyph and up a picture. Vertex 1 is the
    // top corner of both and vertex 2 the bottom one, so only they can tell which this is:
    // vertices 0 and 3 move outwards as a glyph's would.
    vec2 grow = vec2(uv.x * 2.0 - 1.0, 1.0 - uv.y * 2.0) * margin;
    bool top = gl_VertexID == 1;
    if ((top && uv.y == 1.0) || (gl_VertexID == 2 && uv.y == 0.0))
        grow = vec2(0.0, top ? reach : -reach);
    if (!mayBeGlyph())
        grow = vec2(0.0);
    corner = at;
    cornerUv = uv;
    device = at + grow;
    // Text lies on top of everything, the pictures of the orthographic program included.
    gl_Position = vec4(device * p.w, -0.9999 * p.w, p.w);
}
