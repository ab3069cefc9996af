#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "effects/fields.h"
#include "effects/image.h"
#include "effects/text.h"
#include "render3d_test_state.h"

namespace {

const Rgb marker{-7, -7, -7};
const Rgb textColor{2, 1, 3};

void setInk(int code, int i, int j, int plane = 0) {
    fontSheet[plane * fontPlaneBytes + (code / 16 * 16 + j) * fontSheetWidth + code % 16 * 16 + i] = 1;
}

int count(const Rgb& color) {
    int n = 0;
    for (auto& column : colorGrid)
        for (Rgb& cell : column) n += sameColor(cell, color);
    return n;
}

// The first row of column x in the text colour, or -1.
int inkRow(int x) {
    for (int y = 0; y < gridSize; ++y)
        if (sameColor(colorGrid[x][y], textColor)) return y;
    return -1;
}

void drawPlain(int32_t x, int32_t y, const char* text) {
    drawText(1, 0, 5, fontSheet, textColor.r, textColor.g, textColor.b, x, y, "%s", text);
}

}  // namespace

TEST(EffectsImage, BytesLandInTheirCellsScaledBy256) {
    resetDrawingState();
    fillGrid(marker);
    std::memset(introPicture1, 0, sizeof introPicture1);
    uint8_t *red = introPicture1, *blue = introPicture1 + 2 * picturePlaneBytes;
    red[0] = blue[0] = 255, red[79] = 128, blue[80] = 64, red[7999] = 2;
    drawImage(introPicture1);
    EXPECT_TRUE(sameColor(colorGrid[0][0], Rgb{0.99609375f, 0, 0.99609375f}));
    EXPECT_TRUE(sameColor(colorGrid[79][0], Rgb{0.5f, 0, 0}));
    EXPECT_TRUE(sameColor(colorGrid[0][1], Rgb{0, 0, 0.25f}));
    EXPECT_TRUE(sameColor(penColor, Rgb{0.0078125f, 0, 0}));
    EXPECT_TRUE(sameColor(colorGrid[79][99], penColor));
    EXPECT_EQ(count(Rgb{0, 0, 0}), 8000 - 4);
    EXPECT_EQ(count(marker), 2000);  // columns 80..99 untouched
}

TEST(EffectsText, GlyphLookupAdvanceAndClipping) {
    resetDrawingState();
    std::memset(fontSheet, 0, sizeof fontSheet);
    // 'A' is the block at sheet columns 16..31, rows 64..79; any plane makes ink.
    setInk('A', 0, 0, 0), setInk('A', 15, 15, 1), setInk('A', 3, 7, 2);
    drawText(1, 0, 5, fontSheet, 2, 1, 3, 0, 0, "%c", 'A');
    EXPECT_TRUE(sameColor(colorGrid[15][15], textColor));
    EXPECT_TRUE(sameColor(colorGrid[3][7], textColor));
    EXPECT_EQ(count(textColor), 3);

    // A space without ink and a code above 127 draw nothing but keep their 9 columns, even
    // when the sheet has ink there.
    for (int i = 0; i < 16; ++i)
        for (int j = 0; j < 16; ++j) setInk('B', i, j), setInk(0xC1, i, j), setInk(0xFF, i, j, 2);
    fillGrid(marker);
    drawPlain(5, 10, "B \xC1" "B\xFF");
    for (int x = 0; x < gridSize; ++x)
        EXPECT_EQ(inkRow(x), (x >= 5 && x <= 20) || (x >= 32 && x <= 47) ? 10 : -1) << x;

    // The second glyph at -11..4, rows 95..110, shows only in columns 0..4, rows 95..99.
    fillGrid(marker);
    drawPlain(-20, 95, "BB");
    EXPECT_EQ(count(textColor), 25);
    penColor = marker;
    drawPlain(200, 200, "B");  // ink met off the grid still sets the pen
    EXPECT_TRUE(sameColor(penColor, textColor));
    penColor = marker;
    drawPlain(0, 0, "  "), drawPlain(0, 0, ""), drawText(1, 0, 5, fontSheet, 1, 1, 1, 0, 0, nullptr);
    EXPECT_TRUE(sameColor(penColor, marker));
    EXPECT_EQ(count(textColor), 25);

    // Text is cut to 255 characters: k = 254 lands on column 0, k = 255 would on 9.
    fillGrid(marker);
    drawPlain(-9 * 254, 0, std::string(400, 'A').c_str());
    EXPECT_EQ(inkRow(0), 0);
    EXPECT_EQ(inkRow(9), -1);
}

TEST(EffectsText, WaveFollowsPhaseAndTime) {
    std::memset(fontSheet, 0, sizeof fontSheet);
    setInk('W', 0, 0);
    struct Case { float time, phaseStep; int waves[8]; };
    const Case cases[] = {
        {0, 1, {0, 3, 3, 0, -3, -3, -1, 2}},
        {0, 3, {0, 0, -1, 1, -2, 2, -3, 3}},
        {1, 1, {-3, -1, 2, 3, 1, -2, -3, -2}},
    };
    for (const Case& c : cases) {
        resetDrawingState();
        demoTime = c.time;
        drawText(c.phaseStep, 4, 5, fontSheet, textColor.r, textColor.g, textColor.b, 0, 50, "WWWWWWWW");
        for (int k = 0; k < 8; ++k) EXPECT_EQ(inkRow(9 * k), 50 + c.waves[k]) << c.time << " " << k;
    }
}

TEST(EffectsFields, ValuesAtTimeZeroAndRightColumnsKept) {
    resetDrawingState();
    fillGrid(marker);
    drawPlasma();
    EXPECT_TRUE(sameColor(colorGrid[40][50], Rgb{0, 0, 0}));
    EXPECT_TRUE(sameColor(colorGrid[41][50], Rgb{0, 0.84147096f, 0.84147096f}));
    EXPECT_TRUE(sameColor(colorGrid[40][51], Rgb{0, 0.84147096f, 0.84147096f}));
    EXPECT_TRUE(sameColor(colorGrid[43][54], Rgb{0, -0.9589243f, -0.9589243f}));
    EXPECT_TRUE(sameColor(colorGrid[0][0], Rgb{0, 0.9318176f, 0.9318176f}));
    EXPECT_TRUE(sameColor(penColor, colorGrid[79][99]));
    EXPECT_EQ(count(marker), 2000);

    fillGrid(marker);
    drawBlueRipple();
    EXPECT_TRUE(sameColor(colorGrid[0][0], Rgb{0, 0, 1.0f}));
    EXPECT_TRUE(sameColor(colorGrid[1][1], Rgb{0, 0, 1.841471f}));
    EXPECT_TRUE(sameColor(colorGrid[3][4], Rgb{0, 0, 0.46342707f}));
    EXPECT_TRUE(sameColor(penColor, colorGrid[79][99]));
    EXPECT_EQ(count(marker), 2000);

    // Later the bands have moved outwards, towards larger x * y: at 0.5 s the phase that
    // sat on x * y = 0 has reached x * y = 0.5.
    demoTime = 0.5f;
    drawBlueRipple();
    EXPECT_TRUE(sameColor(colorGrid[0][0], Rgb{0, 0, 0.52057445f}));
    EXPECT_TRUE(sameColor(colorGrid[1][1], Rgb{0, 0, 1.4794255f}));
    EXPECT_TRUE(sameColor(colorGrid[2][3], Rgb{0, 0, 0.2944597f}));

    // At sin(t) = 1 the plasma's centres sit at (20, 50) and (40, 30): swapping the offsets
    // from the two centres gives the same colour.
    demoTime = 1.5707964f;
    drawPlasma();
    for (int p = -15; p <= 15; p += 3)
        for (int q = -15; q <= 15; q += 5)
            EXPECT_TRUE(sameColor(colorGrid[20 + p][50 + q], colorGrid[40 + q][30 + p])) << p << "," << q;
}

TEST(EffectsFields, WavyPictureCollapsesRowsAndKeepsTheClearWhite) {
    resetDrawingState();
    std::memset(introPicture4, 0, sizeof introPicture4);
    for (int y = 0; y < 100; ++y) introPicture4[y * 80] = uint8_t(y + 1);  // red numbers the rows
    for (int plane = 0; plane < 3; ++plane) introPicture4[plane * 8000 + 7999] = 255;
    fillGrid(Rgb{1, 1, 1});
    demoTime = 40;
    drawWavyImage();
    // Column 0 moves by sin(400) * 2.8 = -2.38: rows 2 and 3 both truncate to row 0.
    auto redOf = [](int y) { return float((y + 1) / 255.0); };
    EXPECT_EQ(colorGrid[0][0].r, redOf(3));
    EXPECT_EQ(colorGrid[0][1].r, redOf(4));
    EXPECT_EQ(colorGrid[0][96].r, redOf(99));
    for (int y = 97; y < 100; ++y) EXPECT_TRUE(sameColor(colorGrid[0][y], Rgb{1, 1, 1})) << y;
    EXPECT_TRUE(sameColor(penColor, Rgb{1, 1, 1}));  // 255 / 255 is exactly 1
}

TEST(EffectsStarfield, FirstCallSpawnsAllStarsAndWordsScrollLater) {
    resetDrawingState();
    std::memset(fontSheet, 0, sizeof fontSheet);
    for (const char* c = "StarsAreMyFavesButCubesCanBeBetter"; *c; ++c) setInk(*c, 0, 0);
    stars[5].z = -0.5f;  // moved to 7.6 and drawn once more, not respawned
    translate(3, 4, 5);
    drawStarfield();

    uint32_t state = 1;
    for (int i = 0; i < 105; ++i) state = state * 214013u + 2531011u;
    EXPECT_EQ(randomState, state);
    EXPECT_EQ(stars[5].z, 7.6000004f);
    EXPECT_EQ(scrollOffset, 0.6000000238418579f);
    EXPECT_EQ(primitiveList.count, starCount);
    // Star 0 comes from the first three draws (41, 18467, 6334) and is moved once.
    const Point3& star = stars[0];
    EXPECT_TRUE(samePoint(star, float(float(std::sin(41.0)) * 15.0), float(float(std::sin(18467.0)) * 15.0),
                          float(float(float(std::sin(6334.0)) * 30.0 - 120.0) + 8.1f)));
    for (const Point3& s : stars) {
        if (&s == &stars[5]) continue;
        EXPECT_TRUE(s.z >= -150 + 8.1f && s.z <= -90 + 8.1f && std::fabs(s.x) <= 15 && std::fabs(s.y) <= 15);
    }
    for (const Point3& p : primitiveList.items[0].points) EXPECT_TRUE(samePoint(p, star.x, star.y, star.z));
    EXPECT_TRUE(sameColor(primitiveList.items[0].colors[3], Rgb{1, 1, 1}));
    EXPECT_EQ(count(Rgb{0, 0, 0}), 10000);  // cleared, no word on the grid yet
    EXPECT_TRUE(sameColor(penColor, Rgb{1, 0, 1}));

    // Each frame moves every star 8.1 nearer; the one that reached z >= 0 starts again far away.
    const Point3 before = stars[1];
    primitiveList.count = 0;
    drawStarfield();
    EXPECT_TRUE(samePoint(stars[1], before.x, before.y, before.z + 8.1f));
    EXPECT_LT(stars[5].z, -80.0f);
    EXPECT_TRUE(samePoint(primitiveList.items[1].points[2], stars[1].x, stars[1].y, stars[1].z));

    for (int i = 2; i < 1000; ++i) primitiveList.count = 0, drawStarfield();
    EXPECT_EQ(scrollOffset, 600.0001f);
    // " Are " (600 - 600.0001) sits on row 0 with its 'A' at column 23; " My " on row 19.
    EXPECT_TRUE(sameColor(colorGrid[23][0], Rgb{0, 0, 3}));
    EXPECT_TRUE(sameColor(colorGrid[23][19], Rgb{2, 1, 0}));
    EXPECT_TRUE(sameColor(colorGrid[14][0], Rgb{0, 0, 0}));
}
