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

out vec4 fragColor;

void main()
{
    vec4 colour = texture(colorTexture, texCoord);
    // Fully transparent texels write no depth, so nothing drawn later is hidden by them.
    if (colour.a == 0.0)
        discard;
    fragColor = colour;
}
