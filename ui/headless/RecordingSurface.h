// A drawing surface that records what is drawn on it, for tests of controls that draw
// themselves. Text is measured with a fixed model font: every character kCharWidth pixels
// wide, lines kLineHeight pixels high.
#pragma once

#include <string>
#include <vector>

#include "ui/CustomControl.h"

namespace zenthar::ui::headless {

struct DrawOp {
    enum class Kind { Transparent, Fill, Frame, Line, Icon, Text, FocusRect, Bitmap };
    Kind kind;
    Rect rect;       // Fill, Frame, Text (where drawn), FocusRect, Bitmap (destination)
    Rect source;     // Bitmap
    Point from, to;  // Line; Icon uses `from`
    Color color = 0;
    std::string text;
    unsigned format = 0;
    std::uintptr_t handle = 0;  // Icon, Bitmap
};

class RecordingSurface : public DrawSurface {
public:
    static constexpr int kCharWidth = 6;
    static constexpr int kLineHeight = 13;

    void SetBackgroundTransparent() override;
    void FillRect(const Rect& rect, Color color) override;
    void FrameRect(const Rect& rect, Color color) override;
    void Line(Point from, Point to, Color color) override;
    void DrawIcon(int x, int y, IconHandle icon) override;
    int DrawText(std::string_view text, Rect& rect, unsigned format, Color color) override;
    void DrawFocusRect(const Rect& rect) override;
    void StretchBitmap(BitmapHandle bitmap, const Rect& source, const Rect& dest) override;

    const std::vector<DrawOp>& Ops() const { return ops; }

    // The lines DrawText shows for `text` in a box `width` pixels wide, after mnemonic
    // prefixes are taken out.
    static std::vector<std::string> LayoutLines(std::string_view text, int width, bool wordBreak);

private:
    std::vector<DrawOp> ops;
};

}  // namespace zenthar::ui::headless
