// The interface pictures. They are shown shrunk to under half their size, so every shape is
// bold and every detail is at least a few pixels wide.
#include <cmath>
#include <numbers>

#include "tools/artgen/Art.h"
#include "tools/artgen/Solid.h"

namespace artgen {

const Rgba kPictureBackground = Hex(0xF4F5F7);

void PaintBackdrop(Canvas& c)
{
    const double w = c.width, h = c.height;
    c.Fill(Path::Rect(0, 0, w, h), EllipticRadial({w * 0.5, h * 0.42}, w * 0.75, h * 0.75,
                                                  {{0, Hex(0xFFFFFF)}, {0.55, Hex(0xFAFBFC)}, {1, Hex(0xEAECEF)}}));
}

void FloorShadow(Canvas& c, Vec2 centre, double rx, double ry, double opacity)
{
    c.Fill(Path::Ellipse(centre, rx, ry),
           EllipticRadial(centre, rx, ry,
                          {{0, Rgba{0, 0, 0, opacity}}, {0.6, Rgba{0, 0, 0, opacity * 0.45}}, {1, Rgba{0, 0, 0, 0}}}));
}

namespace {

// Points of a circular arc, angles in degrees measured clockwise from straight up.
std::vector<Vec2> ArcPoints(Vec2 c, double r, double fromDeg, double toDeg)
{
    std::vector<Vec2> pts;
    const int steps = 64;
    for (int i = 0; i <= steps; ++i) {
        const double t = (fromDeg + (toDeg - fromDeg) * i / steps) * std::numbers::pi / 180;
        pts.push_back({c.x + r * std::sin(t), c.y - r * std::cos(t)});
    }
    return pts;
}

// A tube seen from the side: dark edges, a lighter body and a highlight towards the light.
void Cable(Canvas& c, const std::vector<Vec2>& pts, double width, Rgba colour)
{
    c.Shadow(Stroke(pts, width, Join::Round, Cap::Butt), {width * 0.15, width * 0.5}, width * 0.6, 0.3);
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

namespace {

const Vec3 kUp{0, 1, 0};

// A frame whose w axis runs along `axis` on the floor, v straight up, centred at `origin`.
Frame AxisFrame(Vec3 origin, Vec3 axis)
{
    const Vec3 w = Normalized(axis);
    return MakeFrame(origin, Normalized(Cross(kUp, w)), kUp);
}

Frame Along(const Frame& f, double w0)
{
    return {f.At(0, 0, w0), f.u, f.v, f.w};
}

// The soft shadow a prism casts straight down onto the floor (y = 0).
void FloorShadowOf(Canvas& c, const View& view, const Frame& f, const std::vector<Vec2>& section, double w0, double w1,
                   double blur, double opacity)
{
    std::vector<Vec2> pts;
    for (const Vec2 p : section) {
        for (const double w : {w0, w1}) {
            Vec3 q = f.At(p.x, p.y, w);
            q.y = 0;
            pts.push_back(view.Project(q));
        }
    }
    c.Shadow(Path::Polygon(ConvexHull(pts)), {0, blur * 0.3}, blur, opacity);
}

const Material kDarkPlastic{Hex(0x434951), 0.5, 0.7, 0.18, 18};
const Material kMetal{Hex(0xC5CBD3), 0.55, 0.55, 0.55, 10};
const Material kMetalFace{Hex(0xB9C0C9), 0.6, 0.45, 0.3, 10};
const Rgba kGold = Hex(0xE0B341);
const Rgba kCavity = Hex(0x1E2024);
const Rgba kInsulatorWhite = Hex(0xF2F2EE);

// The USB emblem: a stave ending in an arrow, with a round-ended branch on the left and a
// square-ended one on the right; local size about 10 x 10, base at (0, 0), pointing to +y.
Path UsbEmblem()
{
    Path p;
    p.Add(Stroke({{0, 0.8}, {0, 8.2}}, 0.8, Join::Miter, Cap::Butt));
    p.Add(Path::Polygon({{-1.3, 8}, {1.3, 8}, {0, 10.2}}));
    p.Add(Path::Circle({0, 0}, 1.3));
    p.Add(Stroke({{0, 2.2}, {-2.8, 4.6}, {-2.8, 6.4}}, 0.7, Join::Round, Cap::Butt));
    p.Add(Path::Circle({-2.8, 6.7}, 0.95));
    p.Add(Stroke({{0, 3.6}, {2.6, 5.4}, {2.6, 6.6}}, 0.7, Join::Round, Cap::Butt));
    p.Add(Path::Rect(1.85, 6.4, 1.5, 1.5));
    return p;
}

// A convex polygon with its corners rounded off, for sections and faces.
std::vector<Vec2> Rounded(const std::vector<Vec2>& pts, double r)
{
    std::vector<Vec2> out;
    const size_t n = pts.size();
    for (size_t i = 0; i < n; ++i) {
        const Vec2 p = pts[i];
        const Vec2 a = pts[(i + n - 1) % n];
        const Vec2 b = pts[(i + 1) % n];
        const double t = std::min({r, Length(a - p) / 2, Length(b - p) / 2});
        const Vec2 from = p + Normalized(a - p) * t;
        const Vec2 to = p + Normalized(b - p) * t;
        for (int k = 0; k <= 6; ++k) {
            const double s = k / 6.0;
            out.push_back(Lerp(Lerp(from, p, s), Lerp(p, to, s), s));
        }
    }
    return out;
}

// The D-shaped shell of the sub-miniature connectors: wider at the top.
std::vector<Vec2> DShape(double topWidth, double bottomWidth, double height, double r)
{
    return Rounded({{-bottomWidth / 2, -height / 2},
                    {bottomWidth / 2, -height / 2},
                    {topWidth / 2, height / 2},
                    {-topWidth / 2, height / 2}},
                   r);
}

// A metal pin seen end on.
void PinEnd(Canvas& c, const Affine& m, Vec2 at, double r)
{
    const Path pin = Path::Circle(at, r).Transformed(m);
    c.Fill(pin, Radial(m.Apply(at + Vec2{-r * 0.35, r * 0.35}), r * 1.3 * std::sqrt(std::abs(m.a * m.d - m.b * m.c)),
                       {{0, Hex(0xFFF4C8)}, {0.5, Hex(0xE2B548)}, {1, Hex(0x8F6A1C)}}));
}

}  // namespace

Canvas DrawBluetooth(int w, int h)
{
    Canvas c(w, h);
    PaintBackdrop(c);
    const double side = std::min(w, h) * 0.78;
    const double x = (w - side) / 2, y = (h - side) / 2 - 4;
    const Path tile = Path::RoundRect(x, y, side, side, side * 0.2);
    FloorShadow(c, {w / 2.0, y + side + 6}, side * 0.5, 12, 0.25);
    c.Shadow(tile, {0, 7}, 12, 0.35);
    c.Fill(tile, Linear({0, y}, {0, y + side}, {{0, Hex(0x4CA3F5)}, {0.5, Hex(0x1F77DB)}, {1, Hex(0x0C4FA8)}}));
    const Mask tileMask = Rasterize(tile, w, h);
    // Gloss: a soft sheen over the upper part with a curved lower edge.
    Path gloss;
    gloss.MoveTo({x - 2, y - 2}).LineTo({x + side + 2, y - 2}).LineTo({x + side + 2, y + side * 0.38});
    gloss.CubicTo({x + side * 0.7, y + side * 0.52}, {x + side * 0.3, y + side * 0.52}, {x - 2, y + side * 0.46});
    c.FillClipped(gloss, tileMask,
                  Linear({0, y}, {0, y + side * 0.5}, {{0, Rgba{1, 1, 1, 0.45}}, {1, Rgba{1, 1, 1, 0.06}}}));
    c.Fill(Stroke(Path::RoundRect(x + 2, y + 2, side - 4, side - 4, side * 0.19).contours.front(), 3, Join::Round,
                  Cap::Butt, true),
           Rgba{1, 1, 1, 0.35});
    c.Fill(Stroke(Path::RoundRect(x + 0.75, y + 0.75, side - 1.5, side - 1.5, side * 0.2).contours.front(), 1.5,
                  Join::Round, Cap::Butt, true),
           Hex(0x0A3F88), 0.8);
    // The rune: a stave with two pointed loops, drawn as one mitred stroke.
    const double cx = w / 2.0 + side * 0.02, cy = y + side / 2;
    const double hh = side * 0.31, ww = side * 0.15;
    const std::vector<Vec2> rune{
        {cx - ww * 1.05, cy - hh * 0.5}, {cx + ww, cy + hh * 0.5},       {cx, cy + hh}, {cx, cy - hh},
        {cx + ww, cy - hh * 0.5},        {cx - ww * 1.05, cy + hh * 0.5}};
    const Path runePath = Stroke(rune, side * 0.075, Join::Miter, Cap::Butt);
    c.Shadow(runePath, {0, 3}, 5, 0.45, Hex(0x06306A));
    c.Fill(runePath, Linear({0, cy - hh}, {0, cy + hh}, {{0, Hex(0xFFFFFF)}, {1, Hex(0xE2EEFB)}}));
    return c;
}

Canvas DrawWifi(int w, int h)
{
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
        sheen.Add(Stroke(ArcPoints(centre, unit * i + band * 0.05 + band * 0.28, -42, 42), band * 0.22, Join::Round,
                         Cap::Round));
    c.FillClipped(sheen, emblemMask, Solid(Rgba{1, 1, 1, 0.35}));
    return c;
}

namespace {

// The jack's face: the opening with the catch notch below, the eight springs at the top and
// the two link lights.
void DrawJackFace(Canvas& c, const Affine& m)
{
    Path opening = Path::Polygon(
        {{-6.1, 4.1}, {6.1, 4.1}, {6.1, -2.6}, {3.2, -2.6}, {3.2, -4.6}, {-3.2, -4.6}, {-3.2, -2.6}, {-6.1, -2.6}});
    c.Fill(Stroke(opening.contours.front(), 1.4, Join::Miter, Cap::Butt, true).Transformed(m), Hex(0x8C939C));
    c.Fill(opening.Transformed(m), Hex(0x24272C));
    c.Fill(Path::Rect(-6.1, 1.2, 12.2, 2.9).Transformed(m), Hex(0x3C4047));
    for (int i = 0; i < 8; ++i) c.Fill(Path::Rect(-4.95 + i * 1.3, 1.4, 0.6, 2.5).Transformed(m), kGold);
    c.Fill(Path::RoundRect(-7.6, 4.9, 3, 1.8, 0.4).Transformed(m), Hex(0x39D353));
    c.Fill(Path::RoundRect(4.6, 4.9, 3, 1.8, 0.4).Transformed(m), Hex(0xF2B233));
}

// What the network plug's clear body shows: the coloured wires and gold contacts on top, and
// the contacts' ends on its face (m).
void DrawPlugWires(Canvas& c, const View& view, const Frame& plug, const Affine& m)
{
    const Affine top = view.Plane(plug.At(0, 3.8, 0), plug.u, plug.w);
    const std::uint32_t wires[8] = {0xF7D9B5, 0xF08A24, 0xCDEBC8, 0x2F6FD6, 0xC9DAF5, 0x36A348, 0xE7D3C0, 0x8A5A2B};
    for (int i = 0; i < 8; ++i) c.Fill(Path::Rect(-4.8 + i * 1.3, 1.5, 1.0, 15).Transformed(top), Hex(wires[i]));
    c.Fill(Path::Rect(-5.8, 0, 11.6, 17).Transformed(top), Hex(0xEEF4F8), 0.45);
    for (int i = 0; i < 8; ++i) c.Fill(Path::Rect(-4.75 + i * 1.3, 17.2, 0.9, 4.3).Transformed(top), kGold);
    for (int i = 0; i < 8; ++i) c.Fill(Path::Rect(-4.75 + i * 1.3, 2.4, 0.9, 1.4).Transformed(m), kGold);
}

// The face of USB plug B (m): the socket for the tongue inside the bevelled shell.
void DrawPlugBFace(Canvas& c, const Affine& m, const std::vector<Vec2>& bShell)
{
    std::vector<Vec2> inner;
    for (const Vec2 p : bShell) inner.push_back(p * 0.86);
    c.Fill(Path::Polygon(inner).Transformed(m), kInsulatorWhite);
    c.Fill(Path::Rect(-2.7, -1.9, 5.4, 3.6).Transformed(m), kCavity);
    for (int i = 0; i < 2; ++i) {
        c.Fill(Path::Rect(-2.1 + i * 2.6, 1.0, 1.6, 0.7).Transformed(m), kGold);
        c.Fill(Path::Rect(-2.1 + i * 2.6, -1.7, 1.6, 0.7).Transformed(m), kGold);
    }
}

// The face of USB plug A (m): the tongue in one half, and the shell's two catch windows on top.
void DrawPlugAFace(Canvas& c, const View& view, const Frame& a, const Affine& m)
{
    c.Fill(Path::Rect(-5.5, -1.75, 11, 3.5).Transformed(m), kCavity);
    c.Fill(Path::Rect(-5.5, -1.75, 11, 1.75).Transformed(m), kInsulatorWhite);
    for (int i = 0; i < 4; ++i) c.Fill(Path::Rect(-4.4 + i * 2.4, -0.15, 1.4, 0.35).Transformed(m), kGold);
    const Affine top = view.Plane(a.At(0, 2.25, 24), a.u, a.w);
    for (const double x : {-4.0, 2.0}) c.Fill(Path::Rect(x, 5.5, 2, 2.5).Transformed(top), kCavity);
}

}  // namespace

Canvas DrawNetworkPlug(int w, int h)
{
    Canvas c(w, h);
    PaintBackdrop(c);
    const View view(14, 24, 4.4, {w * 0.42, h * 0.5});
    // The socket faces the viewer's left; the plug waits just in front of it.
    const Vec3 facing = Normalized(Vec3{-0.62, 0, 0.78});
    const Frame jack = AxisFrame({16, 7, -14}, facing);
    const Frame plug = AxisFrame(jack.At(0, -0.4, 30), facing * -1);
    const auto jackSection = RoundRectSection(17, 14, 1);
    const auto bodySection = RoundRectSection(11.6, 7.6, 0.8);
    const auto bootSection = RoundRectSection(10, 8.2, 2.6);
    const auto bootTail = RoundRectSection(7.2, 6.6, 3);

    FloorShadowOf(c, view, jack, jackSection, -22, 0, 10, 0.35);
    FloorShadowOf(c, view, plug, bootSection, -12, 22, 10, 0.3);

    // The jack: a shielded metal box; its face has the opening with the catch notch below,
    // the eight springs at the top and the two link lights.
    const PrismDrawn j = DrawPrism(c, view, Along(jack, -22), jackSection, 22, kMetal, kMetalFace);
    DrawJackFace(c, j.cap);

    // The cable runs from the plug's boot out of the picture at the lower left.
    const Vec2 tail = view.Project(plug.At(0, 0, -13));
    const Vec2 tailDir = Normalized(tail - view.Project(plug.At(0, 0, 0)));
    Cable(c, FlattenCubic(tail, tail + tailDir * 40, {w * 0.05, h * 0.78}, {-20, h * 0.86}, 64), 22, Hex(0x2E7BD6));

    // The plug: a blue boot and a clear body that shows its coloured wires, gold contacts on
    // top and the catch underneath.
    const Material boot{Hex(0x3288E6), 0.5, 0.6, 0.25, 16};
    const Material clear{Hex(0xE6EEF4), 0.6, 0.45, 0.5, 14};
    const Vec3 clipAxis = Normalized(plug.w * -12 + plug.v * -3);
    const Frame clip = MakeFrame(plug.At(0, -3.9, 18), plug.u, Cross(clipAxis, plug.u));
    DrawPrism(c, view, clip, RoundRectSection(6, 1, 0.3), 13, clear, clear);
    DrawPrism(c, view, Along(plug, -13), bootTail, 6, boot, boot);
    DrawPrism(c, view, Along(plug, -8), bootSection, 8, boot, boot);
    const PrismDrawn body = DrawPrism(c, view, plug, bodySection, 22, clear, clear);
    DrawPlugWires(c, view, plug, body.cap);
    return c;
}

Canvas DrawParallelSocket(int w, int h)
{
    Canvas c(w, h);
    PaintBackdrop(c);
    const View view(-16, 16, 4.1, {w * 0.5, h * 0.5 + 60});
    // A piece of a computer's back panel with the port in its middle.
    const Frame panel = AxisFrame({0, 15, 0}, {0, 0, 1});
    const auto plate = RoundRectSection(62, 30, 2.5);
    const Material paint{Hex(0xD5D9DE), 0.62, 0.42, 0.15, 12};
    FloorShadowOf(c, view, panel, plate, -4, 0, 10, 0.4);
    const PrismDrawn p = DrawPrism(c, view, Along(panel, -4), plate, 4, paint, paint);
    // Slight sheen across the painted face.
    c.Fill(Path::Polygon(plate).Transformed(p.cap),
           Linear(p.cap.Apply({-31, 15}), p.cap.Apply({31, -15}),
                  {{0, Rgba{1, 1, 1, 0.35}}, {0.5, Rgba{1, 1, 1, 0}}, {1, Rgba{0, 0, 0, 0.06}}}));
    // The printer mark beside the port.
    {
        const Affine m = Affine::Scale(0.36, -0.36).Then(Affine::Translate(-3, 10.5)).Then(p.cap);
        const Rgba ink = Hex(0x6A717B);
        c.Fill(Stroke(Path::Rect(2, 0, 12, 6).contours.front(), 1.6, Join::Miter, Cap::Butt, true).Transformed(m), ink);
        c.Fill(Path::RoundRect(-2, 6, 20, 9, 1.5).Transformed(m), ink);
        c.Fill(Path::Rect(2, 11, 12, 9).Transformed(m), Hex(0xD5D9DE));
        c.Fill(Stroke(Path::Rect(2, 11, 12, 9).contours.front(), 1.6, Join::Miter, Cap::Butt, true).Transformed(m),
               ink);
    }
    // Connector flange, the D shell standing out of it, and the two hexagon posts.
    const Frame port = Along({panel.At(0, -3, 0), panel.u, panel.v, panel.w}, 0);
    DrawPrism(c, view, port, RoundRectSection(53, 12.6, 1.2), 0.8, kMetal, kMetalFace);
    const PrismDrawn shell = DrawPrism(c, view, Along(port, 0.8), DShape(38.4, 34.6, 10.6, 2.2), 5, kMetal, kMetalFace);
    std::vector<Vec2> hex;
    for (int i = 0; i < 6; ++i)
        hex.push_back({2.7 * std::cos(i * std::numbers::pi / 3), 2.7 * std::sin(i * std::numbers::pi / 3)});
    for (const double u : {-23.5, 23.5}) {
        const PrismDrawn post =
            DrawPrism(c, view, Along({port.At(u, 0, 0), port.u, port.v, port.w}, 0.8), hex, 5, kMetal, kMetalFace);
        c.Fill(Path::Circle({0, 0}, 1.45).Transformed(post.cap), Hex(0x3A3E44));
        c.Fill(Path::Circle({0.35, -0.35}, 1.0).Transformed(post.cap), Hex(0x1E2024));
    }
    // The burgundy insert, set back a little inside the shell, with its 13 + 12 contact holes.
    const Affine& m = shell.cap;
    const auto insert = DShape(36.2, 32.5, 8.6, 1.6);
    c.Fill(Path::Polygon(insert).Transformed(m), Hex(0x5C1634));
    c.Fill(Path::Polygon(DShape(35.6, 31.9, 8.0, 1.4)).Transformed(Affine::Translate(0.3, -0.3).Then(m)),
           Linear(m.Apply({0, 4}), m.Apply({0, -4}), {{0, Hex(0xB2386E)}, {1, Hex(0x93265A)}}));
    auto hole = [&](Vec2 at) {
        c.Fill(Path::Circle(at + Vec2{0.1, -0.12}, 0.62).Transformed(m), Hex(0xD06A98));
        c.Fill(Path::Circle(at, 0.55).Transformed(m), Hex(0x1A0A10));
    };
    for (int i = 0; i < 13; ++i) hole({-16.62 + i * 2.77, 1.42});
    for (int i = 0; i < 12; ++i) hole({-15.235 + i * 2.77, -1.42});
    return c;
}

Canvas DrawSerialPlug(int w, int h)
{
    Canvas c(w, h);
    PaintBackdrop(c);
    const View view(-14, 32, 5.0, {w * 0.53, h * 0.5});
    const Frame plug = AxisFrame({-1, 6.3, 0}, {-0.55, 0, 0.84});
    const auto shell = RoundRectSection(31, 12.5, 3.5);
    const auto flange = RoundRectSection(31, 12.6, 1.5);
    const auto dShell = DShape(16.9, 14.3, 8.2, 1.6);
    const Material moulding{Hex(0xD9D6CE), 0.5, 0.55, 0.2, 16};
    const Material dark{Hex(0x3A3F46), 0.5, 0.6, 0.2, 16};

    FloorShadowOf(c, view, plug, shell, -10, 24, 10, 0.35);
    const Vec2 tail = view.Project(plug.At(0, 0, -13));
    const Vec2 tailDir = Normalized(tail - view.Project(plug.At(0, 0, 0)));
    Cable(c, FlattenCubic(tail, tail + tailDir * 60, {w * 0.98, h * 0.1}, {w + 30.0, h * 0.06}, 64), 20, Hex(0xA9AEB5));
    DrawPrism(c, view, Along(plug, -11), RoundRectSection(11, 8, 3.5), 11, moulding, moulding);

    // Thumbscrews: knurled heads behind the moulding, threads through the flange.
    auto screwHead = [&](double u) {
        const Frame s = Along({plug.At(u, 0, 0), plug.u, plug.v, plug.w}, -6);
        DrawPrism(c, view, s, CircleSection(3.0, 24), 7, kMetal, kMetalFace);
    };
    const double sideFacing = view.Turn(plug.u).z;
    // Draw the farther screw first.
    screwHead(sideFacing > 0 ? -13 : 13);
    DrawPrism(c, view, plug, shell, 16, moulding, moulding);
    screwHead(sideFacing > 0 ? 13 : -13);
    // Grip ridges on the moulding's top.
    const Affine top = view.Plane(plug.At(0, 6.25, 0), plug.u, plug.w);
    for (int i = 0; i < 5; ++i)
        c.Fill(Path::RoundRect(-9, 2.5 + i * 2.2, 18, 0.9, 0.4).Transformed(top), Hex(0xA9A59C));
    DrawPrism(c, view, Along(plug, 16), flange, 1.2, kMetal, kMetalFace);
    for (const double u : {-12.5, 12.5})
        DrawPrism(c, view, Along({plug.At(u, 0, 0), plug.u, plug.v, plug.w}, 17), CircleSection(1.5, 16), 5, kMetal,
                  kMetalFace);
    const PrismDrawn d = DrawPrism(c, view, Along(plug, 17), dShell, 6.5, kMetal, kMetalFace);
    // The face: the insulator inside the shell and the nine pins, five over four.
    const Affine& m = d.cap;
    c.Fill(Path::Polygon(DShape(15.6, 13.0, 6.9, 1.2)).Transformed(m), Hex(0x2A2D33));
    (void)dark;
    for (int i = 0; i < 5; ++i) PinEnd(c, m, {-5.54 + i * 2.77, 1.42}, 0.75);
    for (int i = 0; i < 4; ++i) PinEnd(c, m, {-4.155 + i * 2.77, -1.42}, 0.75);
    return c;
}

Canvas DrawUsbCable(int w, int h)
{
    Canvas c(w, h);
    PaintBackdrop(c);
    const View view(-12, 38, 3.6, {w * 0.49, h * 0.5});

    // Plug A lies at the front left pointing towards the viewer, plug B at the back right.
    const Frame a = AxisFrame({-12, 4.2, 4}, {-0.5, 0, 0.87});
    const Frame b = AxisFrame({20, 5.5, -16}, {0.42, 0, 0.91});
    const auto aBody = RoundRectSection(16, 8.4, 3);
    const auto aBoot = RoundRectSection(9, 6.2, 3);
    const auto aShell = RoundRectSection(12, 4.5, 0.6);
    const auto bBody = RoundRectSection(12.5, 11, 3);
    const auto bBoot = RoundRectSection(8, 7.4, 3.4);
    const std::vector<Vec2> bShell{{-4.25, -3.9}, {4.25, -3.9}, {4.25, 2.3}, {2.65, 3.9}, {-2.65, 3.9}, {-4.25, 2.3}};

    FloorShadowOf(c, view, b, bBody, -6, 34, 9, 0.35);
    FloorShadowOf(c, view, a, aBody, -6, 36, 9, 0.35);

    // The cable leaves the back of each plug and loops round behind them.
    const Vec2 aEnd = view.Project(a.At(0, 0, -5));
    const Vec2 bEnd = view.Project(b.At(0, 0, -5));
    const Vec2 aDir = Normalized(aEnd - view.Project(a.At(0, 0, 0)));
    const Vec2 bDir = Normalized(bEnd - view.Project(b.At(0, 0, 0)));
    const std::vector<Vec2> cable = FlattenCubic(aEnd, aEnd + aDir * 80, bEnd + bDir * 150, bEnd, 96);
    Cable(c, cable, 14, Hex(0x40464F));

    auto plug = [&](const Frame& f, const std::vector<Vec2>& boot, const std::vector<Vec2>& body,
                    const std::vector<Vec2>& shell, double bodyLen, double shellLen) {
        DrawPrism(c, view, Along(f, -6), boot, 6, kDarkPlastic, kDarkPlastic);
        const PrismDrawn bodyDrawn = DrawPrism(c, view, f, body, bodyLen, kDarkPlastic, kDarkPlastic);
        (void)bodyDrawn;
        return DrawPrism(c, view, Along(f, bodyLen), shell, shellLen, kMetal, kMetalFace);
    };

    // Plug B: square shell with bevelled top corners; its face has the socket for the tongue.
    const PrismDrawn bDrawn = plug(b, bBoot, bBody, bShell, 22, 10);
    DrawPlugBFace(c, bDrawn.cap, bShell);
    // The emblem on B's top.
    c.Fill(UsbEmblem().Transformed(Affine::Scale(0.85, 0.85).Then(view.Plane(b.At(0, 5.5, 7), b.u, b.w))),
           Hex(0xA9B0BA));

    // Plug A: the flat shell with its two catch windows; the tongue fills one half of the face.
    const PrismDrawn aDrawn = plug(a, aBoot, aBody, aShell, 24, 12);
    DrawPlugAFace(c, view, a, aDrawn.cap);
    c.Fill(UsbEmblem().Transformed(Affine::Scale(1.05, 1.05).Then(view.Plane(a.At(0, 4.2, 7), a.u, a.w))),
           Hex(0xA9B0BA));
    return c;
}

}  // namespace artgen
