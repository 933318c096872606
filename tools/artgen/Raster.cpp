#include "tools/artgen/Raster.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace artgen {

namespace {

constexpr int kSubRows = 16;
constexpr double kMiterLimit = 4.0;

double SignedArea(const std::vector<Vec2>& c)
{
    double s = 0;
    for (size_t i = 0; i < c.size(); ++i) {
        const Vec2 a = c[i];
        const Vec2 b = c[(i + 1) % c.size()];
        s += a.x * b.y - b.x * a.y;
    }
    return s / 2;
}

double Clamp01(double v)
{
    return v < 0 ? 0 : (v > 1 ? 1 : v);
}

Rgba Interpolate(const std::vector<Stop>& stops, double t)
{
    if (stops.empty()) return {};
    if (t <= stops.front().at) return stops.front().colour;
    for (size_t i = 1; i < stops.size(); ++i) {
        if (t <= stops[i].at) {
            const double span = stops[i].at - stops[i - 1].at;
            const double k = span > 0 ? (t - stops[i - 1].at) / span : 1.0;
            return Mix(stops[i - 1].colour, stops[i].colour, k);
        }
    }
    return stops.back().colour;
}

// One pass of a running-sum box blur along rows (horizontal) or columns.
void BoxPass(std::vector<float>& v, int w, int h, int r, bool horizontal)
{
    if (r <= 0) return;
    const int n = horizontal ? w : h;
    const int lines = horizontal ? h : w;
    std::vector<float> line(n);
    for (int l = 0; l < lines; ++l) {
        auto at = [&](int i) -> float& { return horizontal ? v[l * w + i] : v[i * w + l]; };
        for (int i = 0; i < n; ++i) line[i] = at(i);
        double sum = 0;
        for (int i = -r; i <= r; ++i) sum += (i >= 0 && i < n) ? line[i] : 0;
        for (int i = 0; i < n; ++i) {
            at(i) = static_cast<float>(sum / (2 * r + 1));
            const int out = i - r;
            const int in = i + r + 1;
            if (out >= 0) sum -= line[out];
            if (in < n) sum += line[in];
        }
    }
}

}  // namespace

double Dot(Vec2 a, Vec2 b)
{
    return a.x * b.x + a.y * b.y;
}
double Cross(Vec2 a, Vec2 b)
{
    return a.x * b.y - a.y * b.x;
}
double Length(Vec2 a)
{
    return std::sqrt(Dot(a, a));
}
Vec2 Normalized(Vec2 a)
{
    const double l = Length(a);
    return l > 0 ? a * (1 / l) : Vec2{};
}
Vec2 Lerp(Vec2 a, Vec2 b, double t)
{
    return a + (b - a) * t;
}

Rgba Hex(std::uint32_t rgb, double alpha)
{
    return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0, alpha};
}

Rgba Mix(Rgba a, Rgba b, double t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

Rgba Shade(Rgba c, double factor)
{
    if (factor >= 1) return Mix(c, Rgba{1, 1, 1, c.a}, Clamp01(factor - 1));
    return {c.r * factor, c.g * factor, c.b * factor, c.a};
}

Affine Affine::Then(const Affine& n) const
{
    return {n.a * a + n.c * b, n.b * a + n.d * b,       n.a * c + n.c * d,
            n.b * c + n.d * d, n.a * e + n.c * f + n.e, n.b * e + n.d * f + n.f};
}

Affine Affine::Inverse() const
{
    const double det = a * d - b * c;
    if (det == 0) return {};
    const double ia = d / det, ib = -b / det, ic = -c / det, id = a / det;
    return {ia, ib, ic, id, -(ia * e + ic * f), -(ib * e + id * f)};
}

Affine Affine::Translate(double x, double y)
{
    return {1, 0, 0, 1, x, y};
}
Affine Affine::Scale(double sx, double sy)
{
    return {sx, 0, 0, sy, 0, 0};
}
Affine Affine::Rotate(double degrees)
{
    const double r = degrees * std::numbers::pi / 180;
    return {std::cos(r), std::sin(r), -std::sin(r), std::cos(r), 0, 0};
}
Affine Affine::Basis(Vec2 o, Vec2 u, Vec2 v)
{
    return {u.x, u.y, v.x, v.y, o.x, o.y};
}

Path& Path::MoveTo(Vec2 p)
{
    contours.push_back({p});
    return *this;
}

Path& Path::LineTo(Vec2 p)
{
    if (contours.empty()) contours.emplace_back();
    contours.back().push_back(p);
    return *this;
}

Path& Path::QuadTo(Vec2 c, Vec2 p)
{
    const Vec2 p0 = contours.back().back();
    return CubicTo(p0 + (c - p0) * (2.0 / 3), p + (c - p) * (2.0 / 3), p);
}

Path& Path::CubicTo(Vec2 c1, Vec2 c2, Vec2 p)
{
    const Vec2 p0 = contours.back().back();
    const auto pts = FlattenCubic(p0, c1, c2, p);
    contours.back().insert(contours.back().end(), pts.begin() + 1, pts.end());
    return *this;
}

Path& Path::ArcTo(Vec2 c, double rx, double ry, double fromDeg, double toDeg)
{
    const int steps = std::max(4, static_cast<int>(std::abs(toDeg - fromDeg) / 4));
    if (contours.empty()) contours.emplace_back();
    for (int i = 0; i <= steps; ++i) {
        const double t = (fromDeg + (toDeg - fromDeg) * i / steps) * std::numbers::pi / 180;
        contours.back().push_back({c.x + rx * std::cos(t), c.y + ry * std::sin(t)});
    }
    return *this;
}

Path& Path::Add(const Path& other)
{
    contours.insert(contours.end(), other.contours.begin(), other.contours.end());
    return *this;
}

Path Path::Transformed(const Affine& m) const
{
    Path out = *this;
    for (auto& c : out.contours)
        for (auto& p : c) p = m.Apply(p);
    return out;
}

Path Path::Reversed() const
{
    Path out = *this;
    for (auto& c : out.contours) std::reverse(c.begin(), c.end());
    return out;
}

Path Path::Rect(double x, double y, double w, double h)
{
    return Polygon({{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}});
}

Path Path::RoundRect(double x, double y, double w, double h, double r)
{
    r = std::min({r, w / 2, h / 2});
    if (r <= 0) return Rect(x, y, w, h);
    Path p;
    p.contours.emplace_back();
    p.ArcTo({x + w - r, y + r}, r, r, -90, 0);
    p.ArcTo({x + w - r, y + h - r}, r, r, 0, 90);
    p.ArcTo({x + r, y + h - r}, r, r, 90, 180);
    p.ArcTo({x + r, y + r}, r, r, 180, 270);
    return p;
}

Path Path::Ellipse(Vec2 c, double rx, double ry)
{
    Path p;
    p.contours.emplace_back();
    p.ArcTo(c, rx, ry, 0, 360);
    p.contours.back().pop_back();  // the closing point repeats the first
    return p;
}

Path Path::Polygon(const std::vector<Vec2>& pts)
{
    Path p;
    p.contours.push_back(pts);
    return p;
}

std::vector<Vec2> FlattenCubic(Vec2 p0, Vec2 c1, Vec2 c2, Vec2 p1, int steps)
{
    std::vector<Vec2> out;
    out.reserve(steps + 1);
    for (int i = 0; i <= steps; ++i) {
        const double t = static_cast<double>(i) / steps;
        const double u = 1 - t;
        out.push_back(p0 * (u * u * u) + c1 * (3 * u * u * t) + c2 * (3 * u * t * t) + p1 * (t * t * t));
    }
    return out;
}

Path Stroke(const std::vector<Vec2>& input, double width, Join join, Cap cap, bool closed)
{
    std::vector<Vec2> pts;
    for (const Vec2 p : input)
        if (pts.empty() || Length(p - pts.back()) > 1e-9) pts.push_back(p);
    if (closed && pts.size() > 2 && Length(pts.front() - pts.back()) < 1e-9) pts.pop_back();
    Path out;
    const double h = width / 2;
    if (pts.size() < 2) {
        if (pts.size() == 1 && cap == Cap::Round) out.Add(Path::Circle(pts[0], h));
        return out;
    }
    const size_t n = pts.size();
    const size_t segments = closed ? n : n - 1;
    for (size_t i = 0; i < segments; ++i) {
        Vec2 a = pts[i];
        Vec2 b = pts[(i + 1) % n];
        const Vec2 d = Normalized(b - a);
        if (!closed && cap == Cap::Square) {
            if (i == 0) a = a - d * h;
            if (i == segments - 1) b = b + d * h;
        }
        const Vec2 nrm{-d.y * h, d.x * h};
        out.contours.push_back({a + nrm, b + nrm, b - nrm, a - nrm});
    }
    const size_t firstJoin = closed ? 0 : 1;
    const size_t lastJoin = closed ? n : n - 1;
    for (size_t i = firstJoin; i < lastJoin; ++i) {
        const Vec2 p = pts[i];
        const Vec2 d0 = Normalized(p - pts[(i + n - 1) % n]);
        const Vec2 d1 = Normalized(pts[(i + 1) % n] - p);
        const double turn = Cross(d0, d1);
        if (join == Join::Round) {
            out.Add(Path::Circle(p, h));
            continue;
        }
        if (std::abs(turn) < 1e-9 && Dot(d0, d1) > 0) continue;
        // The outer side is opposite to the turn.
        const double side = turn > 0 ? -1 : 1;
        const Vec2 n0 = Vec2{-d0.y, d0.x} * (h * side);
        const Vec2 n1 = Vec2{-d1.y, d1.x} * (h * side);
        const Vec2 m = Normalized(n0 + n1);
        const double cosHalf = Dot(m, n0) / h;
        if (join == Join::Miter && cosHalf > 1 / kMiterLimit) {
            out.contours.push_back({p, p + n0, p + m * (h / cosHalf), p + n1});
        } else {
            out.contours.push_back({p, p + n0, p + n1});
        }
    }
    if (!closed && cap == Cap::Round) {
        out.Add(Path::Circle(pts.front(), h));
        out.Add(Path::Circle(pts.back(), h));
    }
    for (auto& c : out.contours)
        if (SignedArea(c) < 0) std::reverse(c.begin(), c.end());
    return out;
}

Mask::Mask(int w, int h) : width(w), height(h), cover(static_cast<size_t>(w) * h, 0.0f) {}

float Mask::At(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height) return 0;
    return cover[static_cast<size_t>(y) * width + x];
}

void Mask::Intersect(const Mask& other)
{
    for (size_t i = 0; i < cover.size() && i < other.cover.size(); ++i) cover[i] *= other.cover[i];
}

void Mask::Subtract(const Mask& other)
{
    for (size_t i = 0; i < cover.size() && i < other.cover.size(); ++i) cover[i] *= 1.0f - other.cover[i];
}

void Mask::Blur(double radius)
{
    const int r = static_cast<int>(std::lround(radius / 1.8));
    for (int pass = 0; pass < 3; ++pass) {
        BoxPass(cover, width, height, r, true);
        BoxPass(cover, width, height, r, false);
    }
}

Mask Mask::Shifted(int dx, int dy) const
{
    Mask out(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) out.cover[static_cast<size_t>(y) * width + x] = At(x - dx, y - dy);
    return out;
}

namespace {

// A contour's edge from top to bottom, with the winding direction it was drawn in.
struct Edge {
    double x0, y0, x1, y1;
    int dir;
};

// The edges that can cover a pixel; minY and maxY become the rows they span.
std::vector<Edge> EdgesOf(const Path& path, double& minY, double& maxY)
{
    std::vector<Edge> edges;
    minY = 1e300, maxY = -1e300;
    for (const auto& c : path.contours) {
        if (c.size() < 3) continue;
        for (size_t i = 0; i < c.size(); ++i) {
            const Vec2 a = c[i];
            const Vec2 b = c[(i + 1) % c.size()];
            if (!std::isfinite(a.x) || !std::isfinite(a.y) || !std::isfinite(b.x) || !std::isfinite(b.y)) continue;
            if (a.y == b.y) continue;
            if (a.y < b.y) edges.push_back({a.x, a.y, b.x, b.y, 1});
            else edges.push_back({b.x, b.y, a.x, a.y, -1});
            minY = std::min({minY, a.y, b.y});
            maxY = std::max({maxY, a.y, b.y});
        }
    }
    return edges;
}

// Adds to acc what the edges crossing pixel row y cover of each pixel, sampled in kSubRows
// sub-rows; xs is scratch space kept between rows.
void CoverRow(const std::vector<const Edge*>& rowEdges, int y, int width, FillRule rule, std::vector<double>& acc,
              std::vector<std::pair<double, int>>& xs)
{
    const double weight = 1.0 / kSubRows;
    auto addSpan = [&](double a, double b) {
        a = std::clamp(a, 0.0, static_cast<double>(width));
        b = std::clamp(b, 0.0, static_cast<double>(width));
        if (b <= a) return;
        const int ia = static_cast<int>(a);
        const int ib = static_cast<int>(b);
        if (ia == ib) {
            acc[ia] += (b - a) * weight;
            return;
        }
        acc[ia] += (ia + 1 - a) * weight;
        for (int i = ia + 1; i < ib; ++i) acc[i] += weight;
        acc[ib] += (b - ib) * weight;
    };
    for (int s = 0; s < kSubRows; ++s) {
        const double sy = y + (s + 0.5) / kSubRows;
        xs.clear();
        for (const Edge* e : rowEdges) {
            if (sy < e->y0 || sy >= e->y1) continue;
            xs.push_back({e->x0 + (sy - e->y0) * (e->x1 - e->x0) / (e->y1 - e->y0), e->dir});
        }
        std::sort(xs.begin(), xs.end());
        int wind = 0;
        double start = 0;
        for (const auto& [x, dir] : xs) {
            const bool before = rule == FillRule::NonZero ? wind != 0 : (wind & 1) != 0;
            wind += dir;
            const bool after = rule == FillRule::NonZero ? wind != 0 : (wind & 1) != 0;
            if (!before && after) start = x;
            if (before && !after) addSpan(start, x);
        }
    }
}

}  // namespace

Mask Rasterize(const Path& path, int width, int height, FillRule rule)
{
    Mask mask(width, height);
    double minY = 0, maxY = 0;
    const std::vector<Edge> edges = EdgesOf(path, minY, maxY);
    if (edges.empty()) return mask;
    const int rowFirst = std::max(0, static_cast<int>(std::floor(minY)));
    const int rowEnd = std::min(height, static_cast<int>(std::ceil(maxY)) + 1);
    std::vector<double> acc(static_cast<size_t>(width) + 2);
    std::vector<const Edge*> rowEdges;
    std::vector<std::pair<double, int>> xs;
    for (int y = rowFirst; y < rowEnd; ++y) {
        rowEdges.clear();
        for (const Edge& e : edges)
            if (e.y1 > y && e.y0 < y + 1) rowEdges.push_back(&e);
        if (rowEdges.empty()) continue;
        std::fill(acc.begin(), acc.end(), 0.0);
        CoverRow(rowEdges, y, width, rule, acc, xs);
        float* row = &mask.cover[static_cast<size_t>(y) * width];
        for (int x = 0; x < width; ++x) row[x] = static_cast<float>(std::min(1.0, acc[x]));
    }
    return mask;
}

Paint Solid(Rgba c)
{
    return [c](Vec2) { return c; };
}

Paint Linear(Vec2 from, Vec2 to, std::vector<Stop> stops)
{
    const Vec2 d = to - from;
    const double len2 = Dot(d, d);
    return [=](Vec2 p) {
        const double t = len2 > 0 ? Dot(p - from, d) / len2 : 0;
        return Interpolate(stops, t);
    };
}

Paint Radial(Vec2 centre, double radius, std::vector<Stop> stops)
{
    return EllipticRadial(centre, radius, radius, std::move(stops));
}

Paint EllipticRadial(Vec2 centre, double rx, double ry, std::vector<Stop> stops)
{
    return [=](Vec2 p) {
        const double dx = (p.x - centre.x) / rx;
        const double dy = (p.y - centre.y) / ry;
        return Interpolate(stops, std::sqrt(dx * dx + dy * dy));
    };
}

Canvas::Canvas(int w, int h) : width(w), height(h), px(static_cast<size_t>(w) * h * 4, 0.0f) {}

void Canvas::Clear(Rgba c)
{
    for (size_t i = 0; i < px.size(); i += 4) {
        px[i] = static_cast<float>(c.r * c.a);
        px[i + 1] = static_cast<float>(c.g * c.a);
        px[i + 2] = static_cast<float>(c.b * c.a);
        px[i + 3] = static_cast<float>(c.a);
    }
}

void Canvas::Composite(const Mask& mask, const Paint& paint, double opacity)
{
    for (int y = 0; y < height && y < mask.height; ++y) {
        for (int x = 0; x < width && x < mask.width; ++x) {
            const double cov = mask.cover[static_cast<size_t>(y) * mask.width + x];
            if (cov <= 0) continue;
            const Rgba s = paint({x + 0.5, y + 0.5});
            const double a = Clamp01(s.a) * cov * opacity;
            float* d = &px[(static_cast<size_t>(y) * width + x) * 4];
            d[0] = static_cast<float>(Clamp01(s.r) * a + d[0] * (1 - a));
            d[1] = static_cast<float>(Clamp01(s.g) * a + d[1] * (1 - a));
            d[2] = static_cast<float>(Clamp01(s.b) * a + d[2] * (1 - a));
            d[3] = static_cast<float>(a + d[3] * (1 - a));
        }
    }
}

void Canvas::Fill(const Path& path, const Paint& paint, double opacity, FillRule rule)
{
    Composite(Rasterize(path, width, height, rule), paint, opacity);
}

void Canvas::FillClipped(const Path& path, const Mask& clip, const Paint& paint, double opacity)
{
    Mask m = Rasterize(path, width, height);
    m.Intersect(clip);
    Composite(m, paint, opacity);
}

void Canvas::Shadow(const Path& path, Vec2 offset, double blur, double opacity, Rgba c)
{
    Mask m = Rasterize(path.Transformed(Affine::Translate(offset.x, offset.y)), width, height);
    m.Blur(blur);
    Composite(m, Solid(c), opacity);
}

Rgba Canvas::At(int x, int y) const
{
    const float* p = &px[(static_cast<size_t>(y) * width + x) * 4];
    if (p[3] <= 0) return {0, 0, 0, 0};
    return {p[0] / p[3], p[1] / p[3], p[2] / p[3], p[3]};
}

}  // namespace artgen
