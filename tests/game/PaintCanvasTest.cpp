#include "game/PaintCanvas.h"
#include "tests/support/FloorTestFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {
const glm::ivec4 clear { 0, 0, 0, 0 };
const glm::ivec4 red { 255, 0, 0, 255 };
const glm::ivec4 blue { 0, 0, 255, 255 };
const glm::ivec4 green { 0, 128, 0, 255 };
const glm::ivec4 grey { 128, 128, 128, 255 };

// A picture as the floor keeps it: RGBA floats, top row first.
struct Picture {
    Picture(int width, int height, glm::ivec4 fill)
        : width(width)
        , colours(static_cast<size_t>(width) * height * 4)
    {
        for (int p = 0; p < width * height; ++p)
            set(p % width, p / width, fill);
    }
    Picture& set(int c, int r, glm::ivec4 bytes)
    {
        glm::vec4 v = floatColour(bytes);
        for (int k = 0; k < 4; ++k)
            colours[(static_cast<size_t>(r) * width + c) * 4 + k] = v[k];
        return *this;
    }
    int width;
    std::vector<float> colours;
};

PaintCanvas canvasOf(const Picture& paint, int height, const Picture& original)
{
    PaintCanvas canvas;
    canvas.setPaintPicture(paint.width, height, paint.colours);
    EXPECT_TRUE(canvas.setOriginalPicture(original.colours));
    return canvas;
}

glm::vec4 colourAt(const std::vector<float>& colours, unsigned int width, int c, int r)
{
    const float* p = &colours[(static_cast<size_t>(r) * width + c) * 4];
    return glm::vec4(p[0], p[1], p[2], p[3]);
}

glm::vec4 blockPlace(const PaintStroke& stroke, int row, int column)
{
    const float* p = &stroke.block[(row * 3 + column) * 4];
    return glm::vec4(p[0], p[1], p[2], p[3]);
}

glm::vec3 rgb(glm::ivec4 bytes)
{
    return glm::vec3(floatColour(bytes));
}
}

TEST(PaintCanvas, ConvertsBottomFirstBgraToTopFirstRgba)
{
    // Bottom row first in memory: (10, 20, 30, 40) is the bottom-left pixel.
    const unsigned char bgra[] = { 30, 20, 10, 40, 0, 0, 0, 0, 3, 2, 1, 255, 6, 5, 4, 128 };
    std::vector<float> rgba = PaintCanvas::toRgba(bgra, 2, 2);
    ASSERT_EQ(rgba.size(), 16u);
    EXPECT_EQ(colourAt(rgba, 2, 0, 0), floatColour({ 1, 2, 3, 255 }));
    EXPECT_EQ(colourAt(rgba, 2, 1, 0), floatColour({ 4, 5, 6, 128 }));
    EXPECT_EQ(colourAt(rgba, 2, 0, 1), floatColour({ 10, 20, 30, 40 }));
    EXPECT_EQ(rgba[3 * 4 + 3], 0.0f);
}

TEST(PaintCanvas, TargetsAreOpaqueOriginalPixelsThatDifferFromThePaintPicture)
{
    Picture paint(4, 4, clear);
    paint.set(2, 2, grey);
    Picture original(4, 4, clear);
    original.set(1, 1, red).set(2, 1, red).set(1, 2, blue);
    original.set(2, 2, grey); // equal to the paint picture: no target
    original.set(3, 3, { 0, 255, 0, 254 }); // not quite opaque: no target
    PaintCanvas canvas = canvasOf(paint, 4, original);

    ASSERT_EQ(canvas.colourCounts.size(), 2u);
    EXPECT_EQ(canvas.colourCounts.at(rgb(red)), 2);
    EXPECT_EQ(canvas.colourCounts.at(rgb(blue)), 1);
    EXPECT_EQ(colourAt(canvas.targetColours, 4, 1, 1), floatColour(red));
    EXPECT_EQ(colourAt(canvas.targetColours, 4, 2, 2), glm::vec4(0.0f));
    EXPECT_EQ(colourAt(canvas.targetColours, 4, 3, 3), glm::vec4(0.0f));
    EXPECT_EQ(canvas.currentColour, rgb(blue)) << "the first colour in (red, green, blue) order";
    EXPECT_EQ(canvas.currentColourCount(), 1);
    EXPECT_EQ(canvas.paintedColours, std::vector<float>(64, 0.0f));

    PaintCanvas empty = canvasOf(paint, 4, paint);
    EXPECT_TRUE(empty.colourCounts.empty());
    EXPECT_EQ(empty.currentColour, glm::vec3(0.0f));
    EXPECT_EQ(empty.currentColourCount(), 0);
    empty.paintPixel(1, 1, glm::vec4(0, 0, 0, 1));
    EXPECT_EQ(empty.paintedColours, std::vector<float>(64, 0.0f)) << "black has no budget";
    EXPECT_EQ(empty.score(), -1.0f) << "a level without targets is never decided";

    PaintCanvas mismatch;
    mismatch.setPaintPicture(4, 4, paint.colours);
    EXPECT_FALSE(mismatch.setOriginalPicture(Picture(3, 4, red).colours));
    EXPECT_TRUE(mismatch.targetColours.empty());
}

TEST(PaintCanvas, ColoursCycleInOrderAndWrapBothWays)
{
    Picture original(3, 3, clear);
    original.set(0, 0, red).set(1, 0, blue);
    PaintCanvas canvas = canvasOf(Picture(3, 3, clear), 3, original);
    EXPECT_EQ(canvas.currentColour, rgb(blue));
    canvas.cycleColour(1);
    EXPECT_EQ(canvas.currentColour, rgb(red));
    canvas.cycleColour(1);
    EXPECT_EQ(canvas.currentColour, rgb(blue)) << "forward from the last wraps to the first";
    canvas.cycleColour(-1);
    EXPECT_EQ(canvas.currentColour, rgb(red)) << "back from the first wraps to the last";
    canvas.cycleColour(-1);
    EXPECT_EQ(canvas.currentColour, rgb(blue));
    canvas.cycleColour(0);
    EXPECT_EQ(canvas.currentColour, rgb(blue));

    original.set(2, 0, green);
    canvas = canvasOf(Picture(3, 3, clear), 3, original);
    std::vector<glm::vec3> order;
    for (int k = 0; k < 3; ++k, canvas.cycleColour(5))
        order.push_back(canvas.currentColour);
    EXPECT_EQ(order, (std::vector<glm::vec3> { rgb(blue), rgb(green), rgb(red) }));

    Picture single(3, 3, clear);
    single.set(1, 1, red);
    canvas = canvasOf(Picture(3, 3, clear), 3, single);
    canvas.cycleColour(1);
    canvas.cycleColour(-1);
    EXPECT_EQ(canvas.currentColour, rgb(red)) << "one colour: nothing to cycle to";
}

TEST(PaintCanvas, PaintingSpendsTheCurrentColoursBudgetOnly)
{
    Picture paint(5, 5, clear);
    paint.set(3, 3, red);
    Picture original(5, 5, clear);
    original.set(1, 1, red).set(2, 1, red).set(1, 3, blue).set(3, 3, red);
    PaintCanvas canvas = canvasOf(paint, 5, original);
    canvas.cycleColour(1);
    ASSERT_EQ(canvas.currentColour, rgb(red));
    ASSERT_EQ(canvas.currentColourCount(), 2) << "(3, 3) is already red in the paint picture";

    EXPECT_TRUE(canvas.paintPixel(1, 1, floatColour(red)));
    EXPECT_FALSE(canvas.paintPixel(1, 1, floatColour(red))) << "the same pixel twice";
    EXPECT_EQ(canvas.currentColourCount(), 1);
    EXPECT_TRUE(canvas.paintPixel(3, 3, floatColour(red))) << "a pixel right already still spends";
    EXPECT_EQ(canvas.currentColourCount(), 0);
    EXPECT_FALSE(canvas.paintPixel(2, 1, floatColour(red))) << "no budget left";
    EXPECT_EQ(colourAt(canvas.paintedColours, 5, 2, 1), glm::vec4(0.0f));

    EXPECT_TRUE(canvas.paintPixel(1, 1, glm::vec4(0.0f))) << "wiping";
    EXPECT_EQ(colourAt(canvas.paintedColours, 5, 1, 1), glm::vec4(0.0f));
    EXPECT_EQ(canvas.currentColourCount(), 0) << "wiping gives nothing back";

    EXPECT_TRUE(canvas.paintPixel(2, 2, floatColour(blue))) << "a colour other than the current one";
    EXPECT_EQ(canvas.colourCounts.at(rgb(blue)), 1);
    canvas.cycleColour(1);
    EXPECT_TRUE(canvas.paintPixel(1, 3, floatColour(blue))) << "scrolled to a colour with budget left";
    EXPECT_EQ(canvas.currentColourCount(), 0);
}

TEST(PaintCanvas, WipingSpendsBlackWhenBlackIsCurrent)
{
    const glm::ivec4 black { 0, 0, 0, 255 };
    Picture original(3, 3, clear);
    original.set(1, 1, black);
    PaintCanvas canvas = canvasOf(Picture(3, 3, clear), 3, original);
    ASSERT_EQ(canvas.currentColour, glm::vec3(0.0f));
    canvas.paintedColours[4 * 4 + 3] = 0.5f;
    EXPECT_TRUE(canvas.paintPixel(1, 1, glm::vec4(0.0f)));
    EXPECT_EQ(canvas.currentColourCount(), 0);
    canvas.paintedColours[4 * 4 + 3] = 0.5f;
    EXPECT_FALSE(canvas.paintPixel(1, 1, glm::vec4(0.0f))) << "black's budget is spent";
}

TEST(PaintCanvas, StrokeBlockShowsPaintedThenPaintPictureThenTheStrokesColour)
{
    Picture paint(5, 4, clear);
    paint.set(1, 1, grey).set(2, 2, green).set(3, 3, grey);
    Picture original(5, 4, clear);
    original.set(2, 2, red).set(1, 2, red);
    PaintCanvas canvas = canvasOf(paint, 4, original);
    canvas.paintedColours[(1 * 5 + 3) * 4 + 0] = 0.25f; // a stroke of another colour at (3, 1)
    canvas.paintedColours[(1 * 5 + 3) * 4 + 3] = 1.0f;
    canvas.paintedColours[(1 * 5 + 1) * 4 + 2] = 1.0f; // ... and one over the grey at (1, 1)
    canvas.paintedColours[(1 * 5 + 1) * 4 + 3] = 1.0f;

    std::optional<PaintStroke> stroke = canvas.paintPixel(2, 2, floatColour(red));
    ASSERT_TRUE(stroke);
    EXPECT_EQ(stroke->column, 2);
    EXPECT_EQ(stroke->textureRow, 1) << "texture rows count from the bottom";
    glm::vec4 carried(1, 0, 0, 0);
    // Block row 0 is picture row 3, below the pixel.
    EXPECT_EQ(blockPlace(*stroke, 0, 0), carried);
    EXPECT_EQ(blockPlace(*stroke, 0, 2), floatColour(grey));
    EXPECT_EQ(blockPlace(*stroke, 1, 0), carried) << "a target, but nothing painted there yet";
    EXPECT_EQ(blockPlace(*stroke, 1, 1), floatColour(red)) << "painted over the green";
    EXPECT_EQ(blockPlace(*stroke, 2, 0), glm::vec4(0, 0, 1, 1)) << "painted over the grey";
    EXPECT_EQ(blockPlace(*stroke, 2, 1), carried);
    EXPECT_EQ(blockPlace(*stroke, 2, 2), glm::vec4(0.25f, 0, 0, 1));

    stroke = canvas.paintPixel(2, 2, glm::vec4(0.0f));
    ASSERT_TRUE(stroke);
    EXPECT_EQ(blockPlace(*stroke, 1, 1), floatColour(green)) << "a wipe shows the paint picture again";
    EXPECT_EQ(blockPlace(*stroke, 0, 0), glm::vec4(0.0f));
}

TEST(PaintCanvas, OnlyPixelsInsideTheOuterRingArePaintable)
{
    Picture original(3, 3, red);
    PaintCanvas canvas = canvasOf(Picture(3, 3, clear), 3, original);
    int painted = 0;
    for (int r = -1; r <= 3; ++r)
        for (int c = -1; c <= 3; ++c)
            painted += canvas.paintPixel(c, r, floatColour(red)).has_value();
    EXPECT_EQ(painted, 1);
    EXPECT_EQ(colourAt(canvas.paintedColours, 3, 1, 1), floatColour(red));

    PaintCanvas none;
    EXPECT_FALSE(none.paintPixel(1, 1, floatColour(red)));
    EXPECT_FALSE(none.paintAt(0.5f, 0.5f, floatColour(red), 1.0f, 1.0f));
    for (int size : { 1, 2 }) {
        PaintCanvas tiny = canvasOf(Picture(size, size, clear), size, Picture(size, size, red));
        for (int r = -1; r <= 2; ++r)
            for (int c = -1; c <= 2; ++c)
                EXPECT_FALSE(tiny.paintPixel(c, r, floatColour(red))) << size << " at " << c << ", " << r;
        EXPECT_FALSE(tiny.paintAt(0.5f, 0.5f, floatColour(red), 1.0f, 1.0f));
    }
}

TEST(PaintCanvas, FloorPointsMapOntoThePaintPicture)
{
    // 8 x 4 paint pixels over a floor of 2.0 x 1.0: each pixel is 0.25 wide and deep.
    Picture original(8, 4, red);
    PaintCanvas canvas = canvasOf(Picture(8, 4, clear), 4, original);
    canvas.colourCounts.begin()->second = 1000;
    glm::vec4 colour = floatColour(red);
    std::optional<PaintStroke> stroke = canvas.paintAt(1.6f, 0.6f, colour, 2.0f, 1.0f);
    ASSERT_TRUE(stroke);
    EXPECT_EQ(stroke->column, 6);
    EXPECT_EQ(stroke->textureRow, 4 - 1 - 2);
    EXPECT_EQ(colourAt(canvas.paintedColours, 8, 6, 2), colour);

    EXPECT_FALSE(canvas.paintAt(1.8f, 0.6f, colour, 2.0f, 1.0f)) << "the last column is on the ring";
    EXPECT_FALSE(canvas.paintAt(0.2f, 0.6f, colour, 2.0f, 1.0f)) << "the first column is on the ring";
    EXPECT_FALSE(canvas.paintAt(-0.2f, 0.6f, colour, 2.0f, 1.0f)) << "truncates to 0, on the ring";
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (float bad : { nan, inf, -inf, 1e30f, -1e30f, 3e9f }) {
        EXPECT_FALSE(canvas.paintAt(bad, 0.6f, colour, 2.0f, 1.0f)) << bad;
        EXPECT_FALSE(canvas.paintAt(1.0f, bad, colour, 2.0f, 1.0f)) << bad;
    }
    EXPECT_FALSE(canvas.paintAt(1.0f, 0.6f, colour, 0.0f, 0.0f)) << "a floor without extent";
}

TEST(PaintCanvas, ScoreCountsExactAndNearMatchesOnce)
{
    Picture paint(6, 5, clear);
    Picture original(6, 5, clear);
    original.set(1, 1, red).set(2, 1, red).set(3, 2, blue).set(4, 3, blue);

    PaintCanvas exact = canvasOf(paint, 5, original);
    EXPECT_TRUE(exact.paintPixel(3, 2, floatColour(blue)));
    EXPECT_EQ(exact.score(), -1.0f) << "budget left";
    EXPECT_TRUE(exact.paintPixel(4, 3, floatColour(blue)));
    exact.cycleColour(1);
    EXPECT_TRUE(exact.paintPixel(1, 1, floatColour(red)));
    EXPECT_TRUE(exact.paintPixel(2, 1, floatColour(red)));
    EXPECT_FLOAT_EQ(exact.score(), 1.0f);
    EXPECT_EQ(colourAt(exact.paintedColours, 6, 1, 1).a, 0.0f) << "matched pixels are used up";

    PaintCanvas off = canvasOf(paint, 5, original);
    off.paintPixel(3, 3, floatColour(blue)); // beside both blue targets: scores once
    off.paintPixel(1, 3, floatColour(blue)); // beside neither
    off.cycleColour(1);
    off.paintPixel(1, 2, floatColour(red)); // one below (1, 1)
    off.paintPixel(3, 1, floatColour(red)); // one right of (2, 1)
    EXPECT_FLOAT_EQ(off.score(), (3 * 0.5f) / 4);

    PaintCanvas noTargets;
    noTargets.setPaintPicture(6, 5, paint.colours);
    EXPECT_EQ(noTargets.score(), -1.0f) << "mismatched pictures set up no targets";
}

TEST(PaintCanvas, NearMatchesReachAcrossRowEndsByLinearIndex)
{
    Picture original(4, 4, clear);
    original.set(3, 1, red);
    PaintCanvas canvas = canvasOf(Picture(4, 4, clear), 4, original);
    canvas.colourCounts.begin()->second = 0;
    // The pixel after (3, 1) by linear index is (0, 2), the start of the next row.
    canvas.paintedColours[(2 * 4 + 0) * 4 + 0] = 1.0f;
    canvas.paintedColours[(2 * 4 + 0) * 4 + 3] = 1.0f;
    EXPECT_FLOAT_EQ(canvas.score(), 0.5f);
}

TEST(PaintCanvas, ScoreStaysInsideTinyPictures)
{
    for (glm::ivec2 size : { glm::ivec2(1, 1), glm::ivec2(1, 5), glm::ivec2(5, 1), glm::ivec2(2, 2), glm::ivec2(3, 2),
             glm::ivec2(2, 3), glm::ivec2(1, 3), glm::ivec2(3, 3) }) {
        PaintCanvas canvas = canvasOf(Picture(size.x, size.y, clear), size.y, Picture(size.x, size.y, red));
        canvas.colourCounts.begin()->second = 0;
        canvas.paintedColours = canvas.targetColours;
        EXPECT_FLOAT_EQ(canvas.score(), 1.0f) << size.x << " x " << size.y;
    }
}
