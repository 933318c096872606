// The interface pictures. They are shown shrunk to under half their size, so every shape is
// bold and every detail is at least a few pixels wide.
#include <cmath>
#include <numbers>

#include "tools/artgen/Art.h"
#include "tools/artgen/Solid.h"

namespace artgen {

const Rgba kPictureBackground = Hex(0xF4F5F7);

void PaintBackdrop(Canvas& c) {
  const double w = c.width, h = c.height;
  c.Fill(Path::Rect(0, 0, w, h),
         EllipticRadial({w * 0.5, h * 0.42}, w * 0.75, h * 0.75,
                        {{0, Hex(0xFFFFFF)}, {0.55, Hex(0xFAFBFC)}, {1, Hex(0xEAECEF)}}));
}

void FloorShadow(Canvas& c, Vec2 centre, double rx, double ry, double opacity) {
  c.Fill(Path::Ellipse(centre, rx, ry),
         EllipticRadial(centre, rx, ry,
                        {{0, Rgba{0, 0, 0, opacity}}, {0.6, Rgba{0, 0, 0, opacity * 0.45}},
                         {1, Rgba{0, 0, 0, 0}}}));
}

namespace {

// Points of a circular arc, angles in degrees measured clockwise from straight up.
std::vector<Vec2> ArcPoints(Vec2 c, double r, double fromDeg, double toDeg) {
  std::vector<Vec2> pts;
  const int steps = 64;
  for (int i = 0; i <= steps; ++i) {
    const double t = (fromDeg + (toDeg - fromDeg) * i / steps) * std::numbers::pi / 180;
    pts.push_back({c.x + r * std::sin(t), c.y - r * std::cos(t)});
  }
  return pts;
}

// A tube seen from the side: dark edges, a lighter body and a highlight towards the light.
void Cable(Canvas& c, const std::vector<Vec2>& pts, double width, Rgba colour) {
  c.Shadow(Stroke(pts, width, Join::Round, Cap::Butt), {width * 0.15, width * 0.5}, width * 0.6,
           0.3);
  c.Fill(Stroke(pts, width, Join::Round, Cap::Butt), Shade(colour, 0.55));
  c.Fill(Stroke(pts, width * 0.78, Join::Round, Cap::Butt), colour);
  // The highlight runs along the side facing the upper left.
  std::vector<Vec2> hi;
  const Vec2 light = Normalized(Vec2{-0.6, -1});
  for (size_t i = 0; i < pts.size(); ++i) {
    const Vec2 d = Normalized(pts[std::min(i + 1, pts.size() - 1)] - pts[i > 0 ? i - 1 : 0]);
    const Vec2 n{-d.y, d.x};
    hi.push_back(pts[i] + n * (Dot(n, light) * width * 0.2));
  }
  c.Fill(Stroke(hi, width * 0.4, Join::Round, Cap::Butt), Shade(colour, 1.25), 0.8);
  c.Fill(Stroke(hi, width * 0.14, Join::Round, Cap::Butt), Shade(colour, 1.55), 0.7);
}

}  // namespace

Canvas DrawBluetooth(int w, int h) {
  Canvas c(w, h);
  PaintBackdrop(c);
  const double side = std::min(w, h) * 0.78;
  const double x = (w - side) / 2, y = (h - side) / 2 - 4;
  const Path tile = Path::RoundRect(x, y, side, side, side * 0.2);
  FloorShadow(c, {w / 2.0, y + side + 6}, side * 0.5, 12, 0.25);
  c.Shadow(tile, {0, 7}, 12, 0.35);
  c.Fill(tile, Linear({0, y}, {0, y + side},
                      {{0, Hex(0x4CA3F5)}, {0.5, Hex(0x1F77DB)}, {1, Hex(0x0C4FA8)}}));
  const Mask tileMask = Rasterize(tile, w, h);
  // Gloss: a soft sheen over the upper part with a curved lower edge.
  Path gloss;
  gloss.MoveTo({x - 2, y - 2}).LineTo({x + side + 2, y - 2}).LineTo({x + side + 2, y + side * 0.38});
  gloss.CubicTo({x + side * 0.7, y + side * 0.52}, {x + side * 0.3, y + side * 0.52},
                {x - 2, y + side * 0.46});
  c.FillClipped(gloss, tileMask,
                Linear({0, y}, {0, y + side * 0.5},
                       {{0, Rgba{1, 1, 1, 0.45}}, {1, Rgba{1, 1, 1, 0.06}}}));
  c.Fill(Stroke(Path::RoundRect(x + 2, y + 2, side - 4, side - 4, side * 0.19).contours.front(), 3,
                Join::Round, Cap::Butt, true),
         Rgba{1, 1, 1, 0.35});
  c.Fill(Stroke(Path::RoundRect(x + 0.75, y + 0.75, side - 1.5, side - 1.5, side * 0.2)
                    .contours.front(),
                1.5, Join::Round, Cap::Butt, true),
         Hex(0x0A3F88), 0.8);
  // The rune: a stave with two pointed loops, drawn as one mitred stroke.
  const double cx = w / 2.0 + side * 0.02, cy = y + side / 2;
  const double hh = side * 0.31, ww = side * 0.15;
  const std::vector<Vec2> rune{{cx - ww * 1.05, cy - hh * 0.5}, {cx + ww, cy + hh * 0.5},
                               {cx, cy + hh},                    {cx, cy - hh},
                               {cx + ww, cy - hh * 0.5},         {cx - ww * 1.05, cy + hh * 0.5}};
  const Path runePath = Stroke(rune, side * 0.075, Join::Miter, Cap::Butt);
  c.Shadow(runePath, {0, 3}, 5, 0.45, Hex(0x06306A));
  c.Fill(runePath, Linear({0, cy - hh}, {0, cy + hh}, {{0, Hex(0xFFFFFF)}, {1, Hex(0xE2EEFB)}}));
  return c;
}

Canvas DrawWifi(int w, int h) {
  Canvas c(w, h);
  PaintBackdrop(c);
  const Vec2 centre{w / 2.0, h * 0.80};
  const double unit = h * 0.165;
  const double band = unit * 0.62;
  Path emblem = Path::Circle(centre, band * 0.8);
  for (int i = 1; i <= 3; ++i)
    emblem.Add(Stroke(ArcPoints(centre, unit * i + band * 0.05, -45, 45), band, Join::Round, Cap::Round));
  FloorShadow(c, {centre.x, centre.y + band * 1.05}, w * 0.22, 10, 0.2);
  c.Shadow(emblem, {0, 6}, 10, 0.35);
  const Paint blue = Linear({0, centre.y - unit * 3.5}, {0, centre.y + band},
                            {{0, Hex(0x52AEF7)}, {0.5, Hex(0x1E78DC)}, {1, Hex(0x0D4FA6)}});
  c.Fill(emblem, blue);
  // A thin light edge along the top of each band gives it some relief.
  const Mask emblemMask = Rasterize(emblem, w, h);
  Path sheen = Path::Circle(centre - Vec2{band * 0.2, band * 0.25}, band * 0.45);
  for (int i = 1; i <= 3; ++i)
    sheen.Add(Stroke(ArcPoints(centre, unit * i + band * 0.05 + band * 0.28, -42, 42), band * 0.22,
                     Join::Round, Cap::Round));
  c.FillClipped(sheen, emblemMask, Solid(Rgba{1, 1, 1, 0.35}));
  return c;
}

Canvas DrawNetworkPlug(int w, int h) {
  Canvas c(w, h);
  PaintBackdrop(c);
  return c;
}

Canvas DrawParallelSocket(int w, int h) {
  Canvas c(w, h);
  PaintBackdrop(c);
  return c;
}

Canvas DrawSerialPlug(int w, int h) {
  Canvas c(w, h);
  PaintBackdrop(c);
  return c;
}

Canvas DrawUsbCable(int w, int h) {
  Canvas c(w, h);
  PaintBackdrop(c);
  Cable(c, FlattenCubic({40, 250}, {40, 40}, {260, 40}, {260, 250}), 20, Hex(0x3A3F47));
  return c;
}

}  // namespace artgen
