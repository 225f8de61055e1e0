#version 330
// Attribute locations are explicit and the same in every program (0 position, 1 normal, 2 uv),
// so a mesh built against one program draws correctly with another.
// The mesh uniforms have explicit locations too: a mesh looks its uniforms up in its own
// program while another program may be current (the win and lose quads).
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
// Declared for the callers that set them; 2D geometry arrives in device coordinates and is
// placed by meshMatrix alone.
uniform mat4 projectionMatrix;
uniform mat4 modelMatrix;

out vec2 texCoord;
// Device x and y: their change from pixel to pixel gives the window size.
out vec2 device;

void main()
{
    texCoord = uv;
    vec4 p = meshMatrix * vec4(position, 1.0);
    // The crosshair's square, centred in the window, grows by a fifth: room for the ring's
    // outermost pixels, which lie half a pixel off the window's centre, in small windows too.
    if (uv.x < -1.0)
        p.xy *= 1.2;
    device = p.xy / p.w;
    // Just behind the text layer and in front of the whole 3D scene.
    gl_Position = vec4(p.xy, -0.9998 * p.w, p.w);
}
