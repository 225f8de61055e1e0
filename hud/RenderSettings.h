// The process-wide render switches that the debug display toggles and shows.
#pragma once

struct RenderSettings {
    bool hudVisible = false;
    bool wireframe = false;
    // 0 bilinear, 1 nearest neighbour.
    int samplingMode = 0;
    // 0 off, 1 nearest neighbour, 2 linear.
    int mipMode = 2;
    bool transparency = true;
    bool frustumCulling = true;
    float fpsInterval = 0.1f;
    float fpsTimer = 0.1f;

    // The sampler filters for the current sampling and mip-mapping modes.
    int minFilter() const;
    int magFilter() const;
};
