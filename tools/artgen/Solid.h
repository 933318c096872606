// Orthographic 3-D helpers for the connector pictures: straight prisms lit from the upper
// left, and affine maps onto their faces so that 2-D detail can be drawn on any plane.
#pragma once

#include <vector>

#include "tools/artgen/Raster.h"

namespace artgen {

struct Vec3 {
    double x = 0;
    double y = 0;
    double z = 0;
};

inline Vec3 operator+(Vec3 a, Vec3 b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vec3 operator-(Vec3 a, Vec3 b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vec3 operator*(Vec3 a, double k)
{
    return {a.x * k, a.y * k, a.z * k};
}
double Dot(Vec3 a, Vec3 b);
Vec3 Cross(Vec3 a, Vec3 b);
Vec3 Normalized(Vec3 a);

// World: x right, y up, z towards the viewer before the view turns.
class View {
public:
    // yaw turns the scene about the vertical axis, pitch tilts it so its top shows.
    View(double yawDeg, double pitchDeg, double scale, Vec2 origin);
    Vec2 Project(Vec3 p) const;
    Vec3 Turn(Vec3 v) const;  // into view space (z towards the viewer)
    bool Faces(Vec3 normal) const { return Turn(normal).z > 1e-6; }
    Vec3 Towards() const { return out; }  // world direction to the viewer
    // Local 2-D coordinates (a, b) on the plane o + u*a + v*b, mapped to the screen.
    Affine Plane(Vec3 o, Vec3 u, Vec3 v) const;

private:
    Vec3 right, up, out;
    double scale;
    Vec2 origin;
};

struct Material {
    Rgba base;
    double ambient = 0.55;
    double diffuse = 0.5;
    double specular = 0.0;
    double shininess = 24;
};

Rgba Lit(const View& view, const Material& m, Vec3 worldNormal);

// u and v span the cross-section, w = u x v runs along the prism's length.
struct Frame {
    Vec3 o;
    Vec3 u;
    Vec3 v;
    Vec3 w;
    Vec3 At(double a, double b, double c) const { return o + u * a + v * b + w * c; }
};
Frame MakeFrame(Vec3 origin, Vec3 u, Vec3 v);  // w = u x v

struct PrismDrawn {
    Affine cap;   // local section coordinates at w = length, on the screen
    Affine base;  // the same at w = 0
    bool capShown;
    bool baseShown;
    Path outline;  // screen silhouette
};

// The section is convex and counter-clockwise in (u, v).
PrismDrawn DrawPrism(Canvas& canvas, const View& view, const Frame& frame, const std::vector<Vec2>& section,
                     double length, const Material& sides, const Material& caps);
PrismDrawn PrismShape(const View& view, const Frame& frame, const std::vector<Vec2>& section, double length);

std::vector<Vec2> RoundRectSection(double w, double h, double r);  // centred on 0
std::vector<Vec2> CircleSection(double r, int segments = 40);
std::vector<Vec2> ConvexHull(std::vector<Vec2> pts);

}  // namespace artgen
