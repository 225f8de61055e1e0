#include "hud/RenderSettings.h"

#include <GL/glew.h>

int RenderSettings::minFilter() const
{
    static const int nearest[] = {GL_NEAREST, GL_NEAREST_MIPMAP_NEAREST, GL_NEAREST_MIPMAP_LINEAR};
    static const int bilinear[] = {GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST, GL_LINEAR_MIPMAP_LINEAR};
    return samplingMode == 1 ? nearest[mipMode] : bilinear[mipMode];
}

int RenderSettings::magFilter() const
{
    return samplingMode == 1 ? GL_NEAREST : GL_LINEAR;
}
