#include "overlay/GameScreens.h"
#include "overlay/FontGen.h"
#include "overlay/ImageOverlay.h"
#include "overlay/TextLabel.h"
#include "render/Mesh.h"
#include "render/Shader.h"
#include "render/SharedTextures.h"
#include "render/TextureLoader.h"
#include "tests/overlay/OverlayFixture.h"

#include <algorithm>
#include <memory>

namespace {
// First vertex of a label: where a label built from `pen` would start.
glm::vec3 startOf(const TextLabel& label)
{
    return positionsOf(*label.meshes.at(0))[0];
}

glm::vec3 startFor(FontGen& font, const std::string& text, glm::vec2 pen)
{
    std::unique_ptr<TextLabel> label(font.createText(text, pen));
    return startOf(*label);
}
}

class GameScreensTest : public OverlayTest {
protected:
    std::unique_ptr<GameScreens> makeScreens()
    {
        return std::make_unique<GameScreens>(fontShader, orthoShader, fontGen, loader, &windowWidth, &windowHeight);
    }
};

TEST_F(GameScreensTest, ScoreTextsAndWhichLinesShow)
{
    std::unique_ptr<GameScreens> screens = makeScreens();
    EXPECT_FALSE(screens->ended);
    EXPECT_EQ(screens->ballCountText->text, "x 0");
    EXPECT_EQ(screens->nextText->text, "Press Enter to play the next level.");
    EXPECT_EQ(screens->quitText->text, "Press ESC to quit the game.");

    screens->setResult(0.8f, false);
    EXPECT_TRUE(screens->ended);
    EXPECT_EQ(screens->scoreText->text, "You got 80.0% correct.");
    EXPECT_FALSE(screens->hideNext);
    screens->setResult(0.3f, false);
    EXPECT_EQ(screens->scoreText->text, "You got 30.0% correct.");
    EXPECT_TRUE(screens->hideNext);
    screens->setResult(0.9f, true);
    EXPECT_EQ(screens->scoreText->text, "You got 90.0% correct.");
    EXPECT_TRUE(screens->hideNext);
    screens->setResult(0.12345f, false);
    EXPECT_EQ(screens->scoreText->text, "You got 12.3% correct.");
    screens->setResult(0.12355f, false);
    EXPECT_EQ(screens->scoreText->text, "You got 12.4% correct.");
    // Rounded up to 50.0 %, so the Enter line shows although the score is below one half.
    screens->setResult(0.4996f, false);
    EXPECT_EQ(screens->scoreText->text, "You got 50.0% correct.");
    EXPECT_FALSE(screens->hideNext);

    screens->togglePicture("Resources/target.png");
    screens->setResult(0.7f, false);
    EXPECT_FALSE(screens->pictureShown);
    screens->setResult(-1.0f, false);
    EXPECT_FALSE(screens->ended);
    EXPECT_EQ(screens->result, -1.0f);

    screens->setBallInfo(42, glm::vec3(1, 0, 0));
    EXPECT_EQ(screens->ballCountText->text, "x 42");
    EXPECT_EQ(screens->ballCount, 42);
}

TEST_F(GameScreensTest, LayoutPositionsInA1280By720Window)
{
    std::unique_ptr<GameScreens> screens = makeScreens();
    EXPECT_EQ(startOf(*screens->ballCountText), startFor(*fontGen, "x 0", glm::vec2(-575, -338)));
    EXPECT_EQ(startOf(*screens->nextText), startFor(*fontGen, "P", glm::vec2(-175, -305)));
    EXPECT_EQ(startOf(*screens->quitText), startFor(*fontGen, "P", glm::vec2(-145, -330)));
    // The lose picture is 300 px tall: the score line lies below the centre.
    EXPECT_EQ(screens->scorePosition, glm::vec2(-110, 360 - 300 - 80));
    screens->setResult(0.8f, false);
    EXPECT_EQ(startOf(*screens->scoreText), startFor(*fontGen, "Y", glm::vec2(-110, -20)));

    std::vector<glm::vec3> ball = positionsOf(*screens->ballQuad);
    EXPECT_FLOAT_EQ(ball[0].x, -1.0f + 20.0f / 1280);
    EXPECT_FLOAT_EQ(ball[0].y, -1.0f + 20.0f / 720);
    EXPECT_FLOAT_EQ(ball[3].x - ball[0].x, 32 * 2.0f / 1280);
    EXPECT_FLOAT_EQ(ball[3].y - ball[0].y, 32 * 2.0f / 720);
    std::vector<glm::vec3> win = positionsOf(*screens->winQuad);
    EXPECT_FLOAT_EQ(win[0].x, -200.0f / 1280);
    EXPECT_FLOAT_EQ(win[3].x, 200.0f / 1280);
    EXPECT_NEAR(win[3].y, 1.0f - 10.0f / 720, 1e-6f);
    EXPECT_NEAR(win[0].y, 1.0f - 210.0f / 720, 1e-6f);
    std::vector<glm::vec3> lose = positionsOf(*screens->loseQuad);
    EXPECT_FLOAT_EQ(lose[0].x, -160.0f / 1280);
    EXPECT_NEAR(lose[3].y, 1.0f - 10.0f / 720, 1e-6f);
    EXPECT_EQ(screens->ballQuad->uvs, (std::vector<float> { 0, 0, 0, 1, 1, 0, 1, 1 }));
}

TEST_F(GameScreensTest, PlayingDrawsTheTintedBallCountAndPicture)
{
    windowWidth = width;
    windowHeight = height;
    std::unique_ptr<GameScreens> screens = makeScreens();
    screens->setBallInfo(7, glm::vec3(1.0f, 0.0f, 0.0f));
    screens->draw();
    // The ball sits 10 px from the lower left corner; its white half takes the tint fully,
    // its grey half keeps its shading.
    EXPECT_EQ(colourAt(18, 26), glm::u8vec4(255, 0, 0, 255));
    glm::u8vec4 grey = colourAt(34, 26);
    EXPECT_NEAR(grey.r, 128, 2);
    EXPECT_EQ(grey.g, 0);
    // "x 7" in the text colour: pen 65 px from the left, baseline 22 px up.
    glm::u8vec4 text = brightestIn(62, 20, 40, 16);
    EXPECT_NEAR(text.r, 217, 3);
    EXPECT_EQ(text.r, text.g);
    EXPECT_EQ(text.g, text.b);
    EXPECT_EQ(brightestIn(412, 663, 200, 100), glm::u8vec4(0));

    screens->togglePicture("Resources/target.png");
    screens->draw();
    EXPECT_EQ(colourAt(320, 192), glm::u8vec4(255, 0, 0, 255));
    EXPECT_EQ(colourAt(704, 576), glm::u8vec4(255, 255, 0, 255));
    screens->togglePicture("Resources/target.png");
    EXPECT_FALSE(screens->pictureShown);
}

TEST_F(GameScreensTest, ABallWithWhiteTransparentCornersIsDrawnAsAPictureNotAsAGlyph)
{
    windowWidth = width;
    windowHeight = height;
    // As pictures are often exported: a round ball, and white where it is transparent.
    writePng("Resources/whiteCornerBall.png", 32, 32, [](int x, int y) {
        bool ball = (x - 15.5f) * (x - 15.5f) + (y - 15.5f) * (y - 15.5f) < 16.0f * 16.0f;
        return ball ? glm::u8vec4(200, 100, 40, 255) : glm::u8vec4(255, 255, 255, 0);
    });
    std::unique_ptr<GameScreens> screens = makeScreens();
    GLuint ownBall = screens->ballTexture;
    screens->ballTexture
        = loader->loadTexture("Resources/whiteCornerBall.png", 1, screens->ballSize.x, screens->ballSize.y);
    screens->layout();
    screens->setBallInfo(3, glm::vec3(0.5f, 1.0f, 1.0f));
    glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    screens->draw();
    glClearColor(0, 0, 0, 0);
    // Whole, in its own colour tinted where a glyph would take the tint alone, and with no dark
    // edge around it, neither in its transparent corners nor beside its quad.
    std::vector<unsigned char> shown = readPixels(8, 8, 36, 36);
    int wrong = 0;
    for (int y = 0; y < 36; ++y)
        for (int x = 0; x < 36; ++x) {
            float dx = x - 2 - 15.5f, dy = y - 2 - 15.5f;
            bool ball = x >= 2 && x < 34 && y >= 2 && y < 34 && dx * dx + dy * dy < 16.0f * 16.0f;
            glm::u8vec4 expected = ball ? glm::u8vec4(100, 100, 40, 255) : glm::u8vec4(128, 128, 128, 255);
            const unsigned char* p = &shown[(static_cast<size_t>(y) * 36 + x) * 4];
            wrong += glm::u8vec4(p[0], p[1], p[2], p[3]) == expected ? 0 : 1;
        }
    EXPECT_EQ(wrong, 0);
    SharedTextures::release(screens->ballTexture);
    screens->ballTexture = ownBall;
}

TEST_F(GameScreensTest, EndScreenDrawsTheWinOrLosePicture)
{
    windowWidth = width;
    windowHeight = height;
    std::unique_ptr<GameScreens> screens = makeScreens();
    screens->setResult(0.8f, false);
    screens->draw();
    // Win picture 200 x 100, centred, top edge 5 px below the window's top; untinted.
    EXPECT_EQ(colourAt(512, 713), glm::u8vec4(0, 255, 0, 255));
    EXPECT_EQ(colourAt(420, 670), glm::u8vec4(0, 255, 0, 255));
    EXPECT_EQ(colourAt(512, 766), glm::u8vec4(0));
    // The Enter line 55 px up from the bottom, no ball indicator.
    EXPECT_GT(brightestIn(337, 52, 350, 18).r, 200);
    EXPECT_EQ(brightestIn(10, 10, 32, 32), glm::u8vec4(0));

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    screens->setResult(0.3f, false);
    screens->draw();
    EXPECT_EQ(colourAt(512, 713), glm::u8vec4(255, 0, 0, 255));
    EXPECT_EQ(brightestIn(337, 52, 350, 18), glm::u8vec4(0));
    EXPECT_GT(brightestIn(367, 27, 300, 18).r, 200);
}

TEST_F(GameScreensTest, EndScreenAndPictureSurviveAResize)
{
    std::unique_ptr<GameScreens> screens = makeScreens();
    screens->setResult(0.3f, false);
    windowWidth = 1024;
    windowHeight = 768;
    screens->onResize();
    EXPECT_TRUE(screens->ended);
    EXPECT_TRUE(screens->hideNext);
    EXPECT_EQ(screens->scoreText->text, "You got 30.0% correct.");
    EXPECT_EQ(startOf(*screens->scoreText), startFor(*fontGen, "Y", glm::vec2(-110, 384 - 300 - 80)));
    EXPECT_EQ(startOf(*screens->nextText), startFor(*fontGen, "P", glm::vec2(-175, -384 + 55)));
    EXPECT_EQ(startOf(*screens->ballCountText), startFor(*fontGen, "x", glm::vec2(-512 + 65, -384 + 22)));

    screens->setResult(-1.0f, false);
    screens->togglePicture("Resources/target.png");
    windowWidth = 1280;
    windowHeight = 720;
    screens->onResize();
    EXPECT_TRUE(screens->pictureShown);
    ASSERT_NE(screens->pictureOverlay, nullptr);
    std::vector<glm::vec3> quad = positionsOf(*screens->pictureOverlay->mesh);
    EXPECT_FLOAT_EQ(quad[1].x, 0.5625f);
    EXPECT_FLOAT_EQ(quad[1].y, 1.0f);
}

TEST_F(GameScreensTest, EmptyWindowAndMissingPictureLayOutFinite)
{
    std::unique_ptr<GameScreens> screens = makeScreens();
    screens->togglePicture("Resources/noSuchPicture.png");
    EXPECT_EQ(screens->pictureTexture, loader->defaultTexture);
    screens->setResult(0.6f, false);
    screens->togglePicture("Resources/noSuchPicture.png");
    windowWidth = 0;
    windowHeight = 0;
    screens->onResize();
    for (Mesh* mesh : { screens->ballQuad, screens->winQuad, screens->loseQuad, screens->pictureOverlay->mesh })
        EXPECT_TRUE(allFinite(*mesh));
    for (TextLabel* label : { screens->ballCountText, screens->nextText, screens->quitText, screens->scoreText }) {
        for (Mesh* mesh : label->meshes)
            EXPECT_TRUE(allFinite(*mesh));
    }
    screens->togglePicture("Resources/noSuchPicture.png");
    // The shared fallback texture is never deleted.
    EXPECT_TRUE(glIsTexture(loader->defaultTexture));

    windowWidth = 1280;
    windowHeight = 720;
    screens->onResize();
    EXPECT_EQ(startOf(*screens->nextText), startFor(*fontGen, "P", glm::vec2(-175, -305)));
}

TEST_F(GameScreensTest, RebuiltLabelsReplaceTheirPredecessors)
{
    std::unique_ptr<GameScreens> screens = makeScreens();
    screens->setResult(0.8f, false);
    // Names need not be reused, so each count runs up to the highest name in use right then.
    auto highestName = [&screens]() {
        GLuint highest = 0;
        std::vector<Mesh*> meshes = { screens->ballQuad, screens->winQuad, screens->loseQuad };
        for (TextLabel* label : { screens->ballCountText, screens->nextText, screens->quitText, screens->scoreText })
            meshes.insert(meshes.end(), label->meshes.begin(), label->meshes.end());
        for (Mesh* mesh : meshes)
            highest = std::max({ highest, mesh->vertexArray, mesh->positionBuffer, mesh->normalBuffer, mesh->uvBuffer,
                mesh->indexBuffer });
        return highest;
    };
    GLuint limit = highestName();
    int vertexArrays = liveVertexArrays(limit);
    int buffers = liveBuffers(limit);
    for (int i = 0; i < 50; ++i) {
        screens->setBallInfo(i, glm::vec3(0.5f));
        screens->setResult(0.8f, false);
        screens->onResize();
    }
    screens->setBallInfo(0, glm::vec3(0.5f));
    limit = highestName();
    EXPECT_GT(limit, 1000u);
    EXPECT_EQ(liveVertexArrays(limit), vertexArrays);
    EXPECT_EQ(liveBuffers(limit), buffers);
    screens.reset();
    EXPECT_EQ(liveVertexArrays(limit), 0);
    EXPECT_EQ(liveBuffers(limit), 0);
}
