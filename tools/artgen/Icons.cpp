// The icons, designed on a 32-pixel grid. Outlines sit on half-pixel lines so that the one-
// pixel strokes stay sharp at their own size.
#include <cmath>

#include "tools/artgen/Art.h"

namespace artgen {

namespace {

// A glossy coloured disc with a white sign on it: the look of the OK and cancel buttons.
struct DiscColours {
    std::uint32_t light;
    std::uint32_t mid;
    std::uint32_t dark;
    std::uint32_t rim;
};

const DiscColours kRedDisc{0xFF7A66, 0xE0301E, 0xA8140A, 0x7E0D06};
const DiscColours kGreenDisc{0x7BE07A, 0x2FAA36, 0x157A1F, 0x0C5A14};

Canvas Disc(int size, const DiscColours& col, const std::vector<std::vector<Vec2>>& sign)
{
    Canvas c(size, size);
    const double k = size / 32.0;
    const Affine m = Affine::Scale(k, k);
    const Vec2 centre{16, 16};
    const Path disc = Path::Circle(centre, 14.6).Transformed(m);
    c.Shadow(disc, Vec2{0.4, 0.9} * k, 1.6 * k, 0.35);
    c.Fill(disc,
           Radial(m.Apply({12.5, 10.5}), 21 * k, {{0, Hex(col.light)}, {0.55, Hex(col.mid)}, {1, Hex(col.dark)}}));
    const Mask discMask = Rasterize(disc, size, size);
    // Gloss on the upper half.
    c.FillClipped(Path::Ellipse({16, 10.2}, 10.5, 7.2).Transformed(m), discMask,
                  Linear(m.Apply({0, 3}), m.Apply({0, 17}), {{0, Rgba{1, 1, 1, 0.75}}, {1, Rgba{1, 1, 1, 0.0}}}));
    c.Fill(Stroke(Path::Circle(centre, 14.1).contours.front(), 1.0, Join::Round, Cap::Butt, true).Transformed(m),
           Hex(col.rim), 0.9);
    for (const auto& line : sign) {
        Path stroke = Stroke(line, 4.2, Join::Round, Cap::Round).Transformed(m);
        c.Shadow(stroke, Vec2{0.3, 0.8} * k, 0.9 * k, 0.45, Hex(col.rim));
    }
    for (const auto& line : sign) c.Fill(Stroke(line, 4.2, Join::Round, Cap::Round).Transformed(m), Hex(0xFFFFFF));
    return c;
}

// A white sheet with grey lines of print.
void Sheet(Canvas& c, const Affine& m, double x, double y, double w, double h, const std::vector<double>& lineWidths,
           double lineStep, double lineHeight)
{
    const Path sheet = Path::Rect(x, y, w, h).Transformed(m);
    c.Fill(sheet, Linear(m.Apply({x, y}), m.Apply({x + w, y + h}), {{0, Hex(0xFFFFFF)}, {1, Hex(0xE4E8EE)}}));
    c.Fill(Stroke(Path::Rect(x + 0.5, y + 0.5, w - 1, h - 1).contours.front(), 1, Join::Miter, Cap::Butt, true)
               .Transformed(m),
           Hex(0x8A9099));
    for (size_t i = 0; i < lineWidths.size(); ++i)
        c.Fill(Path::Rect(x + 2, y + 2.5 + lineStep * i, lineWidths[i], lineHeight).Transformed(m), Hex(0x8C96A6));
}

}  // namespace

Canvas DrawCrossIcon(int size)
{
    return Disc(size, kRedDisc, {{{11, 11}, {21, 21}}, {{21, 11}, {11, 21}}});
}

Canvas DrawTickIcon(int size)
{
    return Disc(size, kGreenDisc, {{{9.5, 16.5}, {14, 21}, {22.5, 11}}});
}

Canvas DrawPrinterIcon(int size)
{
    Canvas c(size, size);
    const double k = size / 32.0;
    const Affine m = Affine::Scale(k, k);
    // Paper waiting at the back.
    Sheet(c, m, 8.5, 2.5, 15, 12, {10, 8, 11}, 2.5, 1);
    // Body: sloping top and front face.
    const Path top = Path::Polygon({{5, 11}, {27, 11}, {30, 17}, {2, 17}}).Transformed(m);
    const Path front = Path::RoundRect(2, 16.5, 28, 11, 2).Transformed(m);
    c.Shadow(front, Vec2{0.5, 1.2} * k, 1.5 * k, 0.35);
    c.Fill(top, Linear(m.Apply({0, 11}), m.Apply({0, 17}), {{0, Hex(0xF4F5F7)}, {1, Hex(0xC9CDD3)}}));
    c.Fill(front, Linear(m.Apply({0, 16.5}), m.Apply({0, 27.5}),
                         {{0, Hex(0xE2E5EA)}, {0.5, Hex(0xC3C8CF)}, {1, Hex(0x8E949D)}}));
    // The slot the paper goes into, then the outline.
    c.Fill(Path::Rect(7, 12.6, 18, 1.6).Transformed(m), Hex(0x505660));
    c.Fill(Stroke({{5, 11}, {27, 11}, {30, 17}}, 1, Join::Miter, Cap::Butt).Transformed(m), Hex(0x5C626B));
    c.Fill(Stroke({{5, 11}, {2, 17}}, 1, Join::Miter, Cap::Butt).Transformed(m), Hex(0x5C626B));
    c.Fill(Stroke(Path::RoundRect(2.5, 16.5, 27, 10.5, 2).contours.front(), 1, Join::Round, Cap::Butt, true)
               .Transformed(m),
           Hex(0x4E545C));
    // Output slot with the printed page coming out towards the viewer.
    c.Fill(Path::RoundRect(6, 19.5, 20, 2.5, 1).Transformed(m), Hex(0x3A3F46));
    Sheet(c, m, 8.5, 20.5, 15, 10, {9, 11, 7}, 2.4, 1);
    // Power light.
    c.Fill(Path::Circle({27, 19.3}, 1.3).Transformed(m),
           Radial(m.Apply({26.6, 18.9}), 1.6 * k, {{0, Hex(0xB8FFB0)}, {1, Hex(0x1E9E2A)}}));
    return c;
}

Canvas DrawUninstallIcon(int size)
{
    // The printer with a red "take away" badge over its lower right corner, ringed in white so
    // that it stands off the printer at 16 pixels too.
    Canvas c = DrawPrinterIcon(size);
    const double k = size / 32.0;
    const Affine m = Affine::Scale(k, k);
    const Vec2 centre{23, 23};
    c.Shadow(Path::Circle(centre, 8.6).Transformed(m), Vec2{0.4, 0.8} * k, 1.2 * k, 0.35);
    c.Fill(Path::Circle(centre, 8.6).Transformed(m), Hex(0xFFFFFF));
    c.Fill(Path::Circle(centre, 7.4).Transformed(m),
           Radial(m.Apply({21, 20.5}), 9 * k,
                  {{0, Hex(kRedDisc.light)}, {0.6, Hex(kRedDisc.mid)}, {1, Hex(kRedDisc.dark)}}));
    c.Fill(Stroke({{19, 23}, {27, 23}}, 2.8, Join::Miter, Cap::Round).Transformed(m), Hex(0xFFFFFF));
    return c;
}

namespace {

// The small size's simpler drawing: a dark printer and its white strip.
void DrawSmallAppIcon(Canvas& c, int size)
{
    const double k = size / 16.0;
    const Affine m = Affine::Scale(k, k);
    const Path paper =
        Path::Polygon({{4, 2}, {5, 1}, {6, 2}, {7, 1}, {8, 2}, {9, 1}, {10, 2}, {11, 1}, {12, 2}, {12, 10}, {4, 10}})
            .Transformed(m);
    c.Fill(paper, Hex(0xFFFFFF));
    c.Fill(Stroke({{4.5, 10}, {4.5, 2}}, 1, Join::Miter, Cap::Butt).Transformed(m), Hex(0x9AA2AE));
    c.Fill(Stroke({{11.5, 2}, {11.5, 10}}, 1, Join::Miter, Cap::Butt).Transformed(m), Hex(0x9AA2AE));
    c.Fill(Path::Rect(6, 3, 4, 1).Transformed(m), Hex(0x7A8494));
    c.Fill(Path::Rect(6, 5, 3, 1).Transformed(m), Hex(0x7A8494));
    c.Fill(Path::Rect(6, 7, 4, 1).Transformed(m), Hex(0x2D6CD2));
    const Path body = Path::RoundRect(1, 8, 14, 7, 1.5).Transformed(m);
    c.Fill(body,
           Linear(m.Apply({0, 8}), m.Apply({0, 15}), {{0, Hex(0x6E757F)}, {0.35, Hex(0x464C55)}, {1, Hex(0x1E2126)}}));
    c.Fill(Path::Rect(3, 9, 10, 1).Transformed(m), Hex(0x111317));
    c.Fill(Path::Rect(11, 12, 2, 1).Transformed(m), Hex(0x37C3FF));
}

// The receipt strip rising out of the slot, its top edge torn off, in units of a 32-pixel icon.
void DrawReceiptStrip(Canvas& c, double k, const Affine& m)
{
    Path paper;
    paper.MoveTo({9, 18});
    paper.LineTo({9.5, 4.5});
    for (int i = 0; i < 7; ++i) {
        paper.LineTo({10.5 + i * 2.0, 2.8});
        paper.LineTo({11.5 + i * 2.0, 4.4});
    }
    paper.LineTo({22.5, 4.2});
    paper.LineTo({23, 18});
    const Path paperPx = paper.Transformed(m);
    c.Shadow(paperPx, Vec2{0.6, 0.6} * k, 1.2 * k, 0.3);
    c.Fill(paperPx,
           Linear(m.Apply({9, 0}), m.Apply({23, 0}), {{0, Hex(0xFFFFFF)}, {0.8, Hex(0xF3F5F8)}, {1, Hex(0xD8DDE4)}}));
    c.Fill(Stroke(paper.contours.front(), 0.9, Join::Miter, Cap::Butt, true).Transformed(m), Hex(0x8A929E));
    const double lines[][2] = {{11.5, 8}, {11.5, 5}, {11.5, 9}, {11.5, 6}};
    for (int i = 0; i < 4; ++i)
        c.Fill(Path::Rect(lines[i][0], 6.5 + i * 2.1, lines[i][1], 1).Transformed(m), Hex(0x8C96A6));
    c.Fill(Path::Rect(11.5, 15, 9, 1.3).Transformed(m), Hex(0x2D6CD2));
}

// The printer body in front of the strip.
void DrawPrinterBody(Canvas& c, double k, const Affine& m)
{
    // Printer body: sloping lid with the paper slot, then the rounded front.
    const Path lid = Path::Polygon({{5, 14}, {27, 14}, {30, 19}, {2, 19}}).Transformed(m);
    const Path front = Path::RoundRect(2, 18.5, 28, 11.5, 3).Transformed(m);
    c.Shadow(front, Vec2{0.5, 1.2} * k, 1.6 * k, 0.4);
    c.Fill(lid, Linear(m.Apply({0, 14}), m.Apply({0, 19}), {{0, Hex(0x8A919B)}, {1, Hex(0x5A616B)}}));
    c.Fill(front, Linear(m.Apply({0, 18.5}), m.Apply({0, 30}),
                         {{0, Hex(0x5D646E)}, {0.45, Hex(0x3C424A)}, {1, Hex(0x1C1F24)}}));
    c.Fill(Path::Polygon({{7.5, 16.2}, {24.5, 16.2}, {25, 17.8}, {7, 17.8}}).Transformed(m), Hex(0x15171B));
    // The paper passes in front of the slot's back edge.
    c.Fill(Path::Rect(9.2, 15.5, 13.6, 1.6).Transformed(m), Hex(0xF1F3F6));
    c.Fill(Stroke({{5, 14}, {27, 14}, {30, 19}}, 0.9, Join::Miter, Cap::Butt).Transformed(m), Hex(0x2A2E34));
    c.Fill(Stroke({{5, 14}, {2, 19}}, 0.9, Join::Miter, Cap::Butt).Transformed(m), Hex(0x2A2E34));
    c.Fill(Stroke(Path::RoundRect(2.45, 18.95, 27.1, 10.6, 2.6).contours.front(), 0.9, Join::Round, Cap::Butt, true)
               .Transformed(m),
           Hex(0x16191D));
    // A highlight along the front's upper edge, the feed button and the ready light.
    c.Fill(Path::Rect(4, 19.6, 24, 0.8).Transformed(m), Hex(0x9AA2AD), 0.7);
    c.Fill(Path::RoundRect(5, 24, 6, 2.6, 1.2).Transformed(m),
           Linear(m.Apply({0, 24}), m.Apply({0, 26.6}), {{0, Hex(0x7A828D)}, {1, Hex(0x2E333A)}}));
    c.Fill(Path::Circle({25.5, 25.2}, 1.5).Transformed(m),
           Radial(m.Apply({25.1, 24.7}), 2 * k, {{0, Hex(0xC8F4FF)}, {0.6, Hex(0x2FB4F0)}, {1, Hex(0x0C6FA8)}}));
}

}  // namespace

Canvas DrawAppIcon(int size)
{
    Canvas c(size, size);
    if (size < 24) {
        DrawSmallAppIcon(c, size);
        return c;
    }
    const double k = size / 32.0;
    const Affine m = Affine::Scale(k, k);
    DrawReceiptStrip(c, k, m);
    DrawPrinterBody(c, k, m);
    return c;
}

}  // namespace artgen
