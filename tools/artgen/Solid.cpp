#include "tools/artgen/Solid.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace artgen {

namespace {

const Vec3 kLight = Normalized(Vec3{-0.45, 0.75, 0.55});

double Clamp01(double v)
{
    return v < 0 ? 0 : (v > 1 ? 1 : v);
}

}  // namespace

double Dot(Vec3 a, Vec3 b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
Vec3 Cross(Vec3 a, Vec3 b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
Vec3 Normalized(Vec3 a)
{
    const double l = std::sqrt(Dot(a, a));
    return l > 0 ? a * (1 / l) : Vec3{};
}

View::View(double yawDeg, double pitchDeg, double s, Vec2 o) : scale(s), origin(o)
{
    const double y = yawDeg * std::numbers::pi / 180;
    const double p = pitchDeg * std::numbers::pi / 180;
    // Rows of Rx(pitch) * Ry(yaw).
    right = {std::cos(y), 0, std::sin(y)};
    up = {std::sin(p) * std::sin(y), std::cos(p), -std::sin(p) * std::cos(y)};
    out = {-std::cos(p) * std::sin(y), std::sin(p), std::cos(p) * std::cos(y)};
}

Vec3 View::Turn(Vec3 v) const
{
    return {Dot(v, right), Dot(v, up), Dot(v, out)};
}

Vec2 View::Project(Vec3 p) const
{
    return {origin.x + scale * Dot(p, right), origin.y - scale * Dot(p, up)};
}

Affine View::Plane(Vec3 o, Vec3 u, Vec3 v) const
{
    const Vec2 po = Project(o);
    return Affine::Basis(po, Project(o + u) - po, Project(o + v) - po);
}

Rgba Lit(const View& view, const Material& m, Vec3 worldNormal)
{
    const Vec3 n = Normalized(view.Turn(worldNormal));
    const double diffuse = std::max(0.0, Dot(n, kLight));
    const Vec3 half = Normalized(kLight + Vec3{0, 0, 1});
    const double highlight = m.specular * std::pow(std::max(0.0, Dot(n, half)), m.shininess);
    const double k = m.ambient + m.diffuse * diffuse;
    return {Clamp01(m.base.r * k + highlight), Clamp01(m.base.g * k + highlight), Clamp01(m.base.b * k + highlight),
            m.base.a};
}

Frame MakeFrame(Vec3 origin, Vec3 u, Vec3 v)
{
    return {origin, u, v, Cross(u, v)};
}

PrismDrawn PrismShape(const View& view, const Frame& f, const std::vector<Vec2>& section, double length)
{
    PrismDrawn d;
    d.base = view.Plane(f.o, f.u, f.v);
    d.cap = view.Plane(f.o + f.w * length, f.u, f.v);
    d.baseShown = view.Faces(f.w * -1);
    d.capShown = view.Faces(f.w);
    std::vector<Vec2> all;
    for (const Vec2 p : section) {
        all.push_back(d.base.Apply(p));
        all.push_back(d.cap.Apply(p));
    }
    d.outline = Path::Polygon(ConvexHull(all));
    return d;
}

PrismDrawn DrawPrism(Canvas& canvas, const View& view, const Frame& f, const std::vector<Vec2>& section, double length,
                     const Material& sides, const Material& caps)
{
    PrismDrawn d = PrismShape(view, f, section, length);
    // The silhouette first, so hairline gaps between facets show a matching colour.
    canvas.Fill(d.outline, Shade(Lit(view, sides, view.Towards()), 0.85));
    const size_t n = section.size();
    for (size_t i = 0; i < n; ++i) {
        const Vec2 a = section[i];
        const Vec2 b = section[(i + 1) % n];
        const Vec2 e = b - a;
        const Vec3 normal = Normalized(f.u * e.y + f.v * -e.x);
        if (!view.Faces(normal)) continue;
        canvas.Fill(Path::Polygon({d.base.Apply(a), d.base.Apply(b), d.cap.Apply(b), d.cap.Apply(a)}),
                    Lit(view, sides, normal));
    }
    if (d.capShown) canvas.Fill(Path::Polygon(section).Transformed(d.cap), Lit(view, caps, f.w));
    if (d.baseShown) canvas.Fill(Path::Polygon(section).Transformed(d.base), Lit(view, caps, f.w * -1));
    return d;
}

std::vector<Vec2> RoundRectSection(double w, double h, double r)
{
    const Path p = Path::RoundRect(-w / 2, -h / 2, w, h, r);
    return p.contours.front();
}

std::vector<Vec2> CircleSection(double r, int segments)
{
    std::vector<Vec2> out;
    for (int i = 0; i < segments; ++i) {
        const double t = 2 * std::numbers::pi * i / segments;
        out.push_back({r * std::cos(t), r * std::sin(t)});
    }
    return out;
}

std::vector<Vec2> ConvexHull(std::vector<Vec2> pts)
{
    std::sort(pts.begin(), pts.end(), [](Vec2 a, Vec2 b) { return a.x < b.x || (a.x == b.x && a.y < b.y); });
    if (pts.size() < 3) return pts;
    std::vector<Vec2> hull(2 * pts.size());
    size_t k = 0;
    for (size_t i = 0; i < pts.size(); ++i) {
        while (k >= 2 && Cross(hull[k - 1] - hull[k - 2], pts[i] - hull[k - 2]) <= 0) --k;
        hull[k++] = pts[i];
    }
    for (size_t i = pts.size() - 1, t = k + 1; i > 0; --i) {
        while (k >= t && Cross(hull[k - 1] - hull[k - 2], pts[i - 1] - hull[k - 2]) <= 0) --k;
        hull[k++] = pts[i - 1];
    }
    hull.resize(k - 1);
    return hull;
}

}  // namespace artgen
