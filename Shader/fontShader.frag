#version 330
#extension GL_ARB_explicit_uniform_location : enable
#ifdef GL_ARB_explicit_uniform_location
#define AT(n) layout(location = n)
#else
#define AT(n)
#endif

in vec2 texCoord;

AT(4) uniform vec3 k_ambient;
AT(5) uniform vec3 k_diffuse;
AT(6) uniform vec3 k_specular;
AT(7) uniform sampler2D colorTexture;
uniform vec3 color;

out vec4 fragColor;

void main()
{
    // Glyph textures are one-channel alpha with red, green and blue swizzled to one, so text
    // takes its colour from "color" alone; the ball picture keeps its own shading, tinted.
    vec4 texel = texture(colorTexture, texCoord);
    if (texel.a == 0.0)
        discard;
    fragColor = vec4(color * texel.rgb, texel.a);
}
