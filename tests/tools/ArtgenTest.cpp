// The generator's painter and file writers, on small shapes whose answers are known.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

#include "tests/common/ArtReading.h"
#include "tools/artgen/ImageFiles.h"
#include "tools/artgen/Raster.h"
#include "tools/artgen/Solid.h"

namespace {

using namespace artgen;

double Sum(const Mask& m)
{
    double s = 0;
    for (const float v : m.cover) s += v;
    return s;
}

float Max(const Mask& m)
{
    float best = 0;
    for (const float v : m.cover) best = std::max(best, v);
    return best;
}

TEST(Rasterize, CoverageIsExactAcrossAndCloseAlongRows)
{
    // Edges at quarter pixels: the border pixels are partly covered.
    const Mask rect = Rasterize(Path::Rect(2.25, 3.5, 5.5, 4), 12, 12);
    EXPECT_NEAR(Sum(rect), 5.5 * 4, 1e-4);
    EXPECT_NEAR(rect.At(2, 5), 0.75, 1e-5);
    EXPECT_NEAR(rect.At(7, 5), 0.75, 1e-5);
    EXPECT_NEAR(rect.At(4, 3), 0.5, 1e-5);
    EXPECT_FLOAT_EQ(rect.At(4, 5), 1.0f);
    EXPECT_FLOAT_EQ(rect.At(1, 5), 0.0f);

    const Mask disc = Rasterize(Path::Circle({20, 20}, 11.3), 40, 40);
    EXPECT_NEAR(Sum(disc), std::numbers::pi * 11.3 * 11.3, 0.5);
}

TEST(Rasterize, FillRulesDecideHoles)
{
    Path nested = Path::Rect(0, 0, 10, 10);
    nested.Add(Path::Rect(3, 3, 4, 4));  // same direction as the outer square
    EXPECT_NEAR(Sum(Rasterize(nested, 10, 10, FillRule::NonZero)), 100, 1e-3);
    EXPECT_NEAR(Sum(Rasterize(nested, 10, 10, FillRule::EvenOdd)), 84, 1e-3);
    Path ring = Path::Rect(0, 0, 10, 10);
    ring.Add(Path::Rect(3, 3, 4, 4).Reversed());
    EXPECT_NEAR(Sum(Rasterize(ring, 10, 10, FillRule::NonZero)), 84, 1e-3);
}

TEST(Rasterize, SurvivesShapesOutsideOrBroken)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    Path odd = Path::Rect(-50, -50, 200, 200);
    odd.Add(Path::Polygon({{nan, 1}, {5, nan}, {3, 3}}));
    odd.Add(Path::Polygon({{1, 1}, {2, 2}}));  // too few points to enclose anything
    const Mask m = Rasterize(odd, 8, 8);
    EXPECT_NEAR(Sum(m), 64, 1e-3);
    EXPECT_EQ(Sum(Rasterize(Path::Rect(20, 20, 5, 5), 8, 8)), 0);
    EXPECT_EQ(Sum(Rasterize(Path{}, 8, 8)), 0);
}

TEST(Stroke, OverlapsNeverCountTwice)
{
    // A sharp V: both segments and the joint overlap near the corner.
    for (const Join join : {Join::Miter, Join::Round, Join::Bevel}) {
        const Mask v = Rasterize(Stroke({{4, 4}, {20, 30}, {36, 4}}, 6, join, Cap::Round), 40, 40);
        EXPECT_LE(Max(v), 1.0f);
        EXPECT_FLOAT_EQ(v.At(20, 28), 1.0f);
    }
    const Mask line = Rasterize(Stroke({{5, 10}, {35, 10}}, 4, Join::Miter, Cap::Butt), 40, 20);
    EXPECT_NEAR(Sum(line), 30 * 4, 1e-3);
    const Mask square = Rasterize(Stroke({{5, 10}, {35, 10}}, 4, Join::Miter, Cap::Square), 40, 20);
    EXPECT_NEAR(Sum(square), 34 * 4, 1e-3);
}

TEST(Stroke, MitreReachesTheCornerAndBevelCutsIt)
{
    const std::vector<Vec2> corner{{4, 20}, {20, 20}, {20, 4}};
    const Mask mitre = Rasterize(Stroke(corner, 6, Join::Miter, Cap::Butt), 30, 30);
    const Mask bevel = Rasterize(Stroke(corner, 6, Join::Bevel, Cap::Butt), 30, 30);
    EXPECT_FLOAT_EQ(mitre.At(22, 22), 1.0f);
    EXPECT_LT(bevel.At(22, 22), 0.5f);
    EXPECT_NEAR(Sum(mitre) - Sum(bevel), 4.5, 0.05);  // the corner triangle beyond the bevel
}

TEST(Geometry, AffineComposesAndInverts)
{
    const Affine m = Affine::Rotate(30).Then(Affine::Scale(2, 3)).Then(Affine::Translate(5, -7));
    const Vec2 p{1.5, -2};
    const Vec2 q = m.Apply(p);
    const Vec2 r = Affine::Rotate(30).Apply(p);
    EXPECT_NEAR(q.x, r.x * 2 + 5, 1e-9);
    EXPECT_NEAR(q.y, r.y * 3 - 7, 1e-9);
    const Vec2 back = m.Inverse().Apply(q);
    EXPECT_NEAR(back.x, p.x, 1e-9);
    EXPECT_NEAR(back.y, p.y, 1e-9);
}

TEST(Geometry, HullAndHiddenFaces)
{
    const auto hull = ConvexHull({{0, 0}, {4, 0}, {2, 1}, {4, 4}, {1, 2}, {0, 4}, {2, 2}});
    EXPECT_EQ(hull.size(), 4u);
    // Seen from above and from the left, a box shows its top and left faces only.
    const View view(20, 30, 1, {0, 0});
    EXPECT_TRUE(view.Faces({0, 1, 0}));
    EXPECT_FALSE(view.Faces({0, -1, 0}));
    EXPECT_TRUE(view.Faces({-1, 0, 0}));
    EXPECT_FALSE(view.Faces({1, 0, 0}));
    // Higher points are drawn higher on the screen.
    EXPECT_LT(view.Project({0, 1, 0}).y, view.Project({0, 0, 0}).y);
}

TEST(ImageFiles, BitmapRowsArePaddedBottomUpAndBlue)
{
    Canvas c(3, 2);
    c.Clear(Hex(0x102030));
    c.Fill(Path::Rect(0, 0, 1, 1), Hex(0xFF8000));       // top-left pixel
    c.Fill(Path::Rect(2, 1, 1, 1), Hex(0x00FF00), 0.5);  // half over the background
    const arttest::Bytes f = EncodeBmp24(c, Hex(0xFFFFFF));
    ASSERT_EQ(f.size(), 54u + 12 * 2);
    const arttest::Rgb topLeft = arttest::BmpPixel(f, 0, 0);
    EXPECT_EQ(topLeft.r, 0xFF);
    EXPECT_EQ(topLeft.g, 0x80);
    EXPECT_EQ(topLeft.b, 0x00);
    EXPECT_EQ(f[54], 0x30);  // first stored row is the bottom one, blue first
    const arttest::Rgb blend = arttest::BmpPixel(f, 2, 1);
    EXPECT_NEAR(blend.r, 0x08, 1);
    EXPECT_NEAR(blend.g, (0x20 + 0xFF) / 2, 1);
    EXPECT_NEAR(blend.b, 0x18, 1);
}

TEST(ImageFiles, IconKeepsFewColoursExactlyAndMattesEdges)
{
    Canvas c(32, 32);
    c.Fill(Path::Rect(4, 4, 10, 10), Hex(0x336699));
    c.Fill(Path::Rect(20, 4, 1, 1), Hex(0xFF0000), 0.6);  // kept, blended onto the matte
    c.Fill(Path::Rect(22, 4, 1, 1), Hex(0xFF0000), 0.3);  // dropped
    const arttest::Bytes f = EncodeIco({&c}, Hex(0xF0F0F0));
    const auto img = arttest::DecodeIconImage(f, arttest::U32(f, 18), arttest::U32(f, 14));
    ASSERT_EQ(img.index.size(), 32u * 32);
    auto at = [&](int x, int y) { return img.palette[img.index[y * 32 + x]]; };
    EXPECT_FALSE(img.transparent[5 * 32 + 5]);
    EXPECT_EQ(at(5, 5).r, 0x33);
    EXPECT_EQ(at(5, 5).g, 0x66);
    EXPECT_EQ(at(5, 5).b, 0x99);
    EXPECT_FALSE(img.transparent[4 * 32 + 20]);
    EXPECT_NEAR(at(20, 4).r, std::lround(255 * 0.6 + 240 * 0.4), 1);
    EXPECT_NEAR(at(20, 4).g, std::lround(240 * 0.4), 1);
    EXPECT_TRUE(img.transparent[4 * 32 + 22]);
    EXPECT_TRUE(img.transparent[0]);
    EXPECT_EQ(at(0, 0).r + at(0, 0).g + at(0, 0).b, 0);
}

TEST(ImageFiles, IconWithManyColoursStaysClose)
{
    Canvas c(32, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            c.Fill(Path::Rect(x, y, 1, 1), Rgba{x / 31.0, y / 31.0, ((x * 7 + y * 13) % 32) / 31.0, 1});
    const arttest::Bytes f = EncodeIco({&c}, Hex(0xF0F0F0));
    const auto img = arttest::DecodeIconImage(f, arttest::U32(f, 18), arttest::U32(f, 14));
    ASSERT_EQ(img.index.size(), 32u * 32);
    double worst = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const auto p = img.palette[img.index[y * 32 + x]];
            const Rgba want = c.At(x, y);
            worst = std::max(
                {worst, std::abs(p.r - want.r * 255), std::abs(p.g - want.g * 255), std::abs(p.b - want.b * 255)});
        }
    }
    EXPECT_LT(worst, 48);  // 1024 distinct colours into 255 entries
}

}  // namespace
