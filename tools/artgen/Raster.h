// A small vector painter: paths flattened to polygons, filled with exact horizontal and
// 16-row vertical supersampled coverage, composited in premultiplied floating point.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace artgen {

struct Vec2 {
    double x = 0;
    double y = 0;
};

inline Vec2 operator+(Vec2 a, Vec2 b)
{
    return {a.x + b.x, a.y + b.y};
}
inline Vec2 operator-(Vec2 a, Vec2 b)
{
    return {a.x - b.x, a.y - b.y};
}
inline Vec2 operator*(Vec2 a, double k)
{
    return {a.x * k, a.y * k};
}
inline Vec2 operator*(double k, Vec2 a)
{
    return {a.x * k, a.y * k};
}
double Dot(Vec2 a, Vec2 b);
double Cross(Vec2 a, Vec2 b);
double Length(Vec2 a);
Vec2 Normalized(Vec2 a);
Vec2 Lerp(Vec2 a, Vec2 b, double t);

// Straight (not premultiplied) colour, components 0..1.
struct Rgba {
    double r = 0;
    double g = 0;
    double b = 0;
    double a = 1;
};

Rgba Hex(std::uint32_t rgb, double alpha = 1.0);
Rgba Mix(Rgba a, Rgba b, double t);
Rgba Shade(Rgba c, double factor);  // factor > 1 lightens towards white, < 1 darkens

// x' = a*x + c*y + e, y' = b*x + d*y + f
struct Affine {
    double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;
    Vec2 Apply(Vec2 p) const { return {a * p.x + c * p.y + e, b * p.x + d * p.y + f}; }
    Affine Then(const Affine& next) const;  // this first, then next
    Affine Inverse() const;
    static Affine Translate(double x, double y);
    static Affine Scale(double sx, double sy);
    static Affine Rotate(double degrees);
    // Maps the unit square's corners (0,0), (1,0), (0,1) onto o, o+u, o+v.
    static Affine Basis(Vec2 o, Vec2 u, Vec2 v);
};

class Path {
public:
    std::vector<std::vector<Vec2>> contours;

    Path& MoveTo(Vec2 p);
    Path& LineTo(Vec2 p);
    Path& QuadTo(Vec2 c, Vec2 p);
    Path& CubicTo(Vec2 c1, Vec2 c2, Vec2 p);
    // Arc of the ellipse centred at c, angles in degrees (0 = +x, growing towards +y).
    Path& ArcTo(Vec2 c, double rx, double ry, double fromDeg, double toDeg);
    Path& Add(const Path& other);
    Path Transformed(const Affine& m) const;
    Path Reversed() const;

    static Path Rect(double x, double y, double w, double h);
    static Path RoundRect(double x, double y, double w, double h, double r);
    static Path Ellipse(Vec2 c, double rx, double ry);
    static Path Circle(Vec2 c, double r) { return Ellipse(c, r, r); }
    static Path Polygon(const std::vector<Vec2>& pts);
};

enum class Join { Miter, Round, Bevel };
enum class Cap { Butt, Round, Square };

// The outline of a stroked polyline as one path to fill with the non-zero rule.
Path Stroke(const std::vector<Vec2>& pts, double width, Join join = Join::Round, Cap cap = Cap::Round,
            bool closed = false);
std::vector<Vec2> FlattenCubic(Vec2 p0, Vec2 c1, Vec2 c2, Vec2 p1, int steps = 48);

enum class FillRule { NonZero, EvenOdd };

// Coverage 0..1 per pixel.
class Mask {
public:
    Mask(int width, int height);
    int width;
    int height;
    std::vector<float> cover;
    float At(int x, int y) const;
    void Intersect(const Mask& other);
    void Subtract(const Mask& other);
    void Blur(double radius);
    Mask Shifted(int dx, int dy) const;
};

Mask Rasterize(const Path& path, int width, int height, FillRule rule = FillRule::NonZero);

using Paint = std::function<Rgba(Vec2)>;
struct Stop {
    double at;
    Rgba colour;
};
Paint Solid(Rgba c);
Paint Linear(Vec2 from, Vec2 to, std::vector<Stop> stops);
Paint Radial(Vec2 centre, double radius, std::vector<Stop> stops);
Paint EllipticRadial(Vec2 centre, double rx, double ry, std::vector<Stop> stops);

class Canvas {
public:
    Canvas(int width, int height);
    int width;
    int height;
    std::vector<float> px;  // premultiplied r, g, b, a per pixel

    void Clear(Rgba c);
    void Composite(const Mask& mask, const Paint& paint, double opacity = 1.0);
    void Fill(const Path& path, const Paint& paint, double opacity = 1.0, FillRule rule = FillRule::NonZero);
    void Fill(const Path& path, Rgba c, double opacity = 1.0) { Fill(path, Solid(c), opacity); }
    void FillClipped(const Path& path, const Mask& clip, const Paint& paint, double opacity = 1.0);
    // A soft shadow of the path's shape: blurred, offset and tinted.
    void Shadow(const Path& path, Vec2 offset, double blur, double opacity, Rgba c = Hex(0));
    Rgba At(int x, int y) const;  // straight colour
};

}  // namespace artgen
