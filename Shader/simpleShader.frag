#version 330
// Depth only: the shadow framebuffer has no colour buffer, so the colour is never stored.
uniform vec3 cameraPosition;
uniform vec3 lightPosition;
uniform vec3 ambientLight;

out vec4 fragColor;

void main()
{
    fragColor = vec4(1.0);
}
