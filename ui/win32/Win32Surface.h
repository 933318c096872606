// Drawing on a Windows device context. A paint surface begins painting on its first use,
// so a paint hook that draws nothing leaves the window to its default painting.
#pragma once

#include <windows.h>

#include "ui/CustomControl.h"

namespace zenthar::ui::win32 {

class Win32Surface : public DrawSurface {
public:
    explicit Win32Surface(HDC dc) : dc(dc) {}
    void SetBackgroundTransparent() override;
    void FillRect(const Rect& rect, Color color) override;
    void FrameRect(const Rect& rect, Color color) override;
    void Line(Point from, Point to, Color color) override;
    void DrawIcon(int x, int y, IconHandle icon) override;
    int DrawText(std::string_view text, Rect& rect, unsigned format, Color color) override;
    void DrawFocusRect(const Rect& rect) override;
    void StretchBitmap(BitmapHandle bitmap, const Rect& source, const Rect& dest) override;

protected:
    Win32Surface() = default;
    virtual HDC Dc() { return dc; }
    HDC dc = nullptr;
};

class PaintSurface : public Win32Surface {
public:
    // A surface that was never drawn on validates the window when `validateWhenUnused`;
    // otherwise it leaves the update region to the default painting.
    PaintSurface(HWND window, bool validateWhenUnused) : window(window), validateWhenUnused(validateWhenUnused) {}
    ~PaintSurface() override;
    bool Began() const { return began; }

protected:
    HDC Dc() override;

private:
    HWND window;
    PAINTSTRUCT paint{};
    bool began = false;
    bool validateWhenUnused;
};

RECT ToRect(const Rect& rect);
Rect FromRect(const RECT& rect);

}  // namespace zenthar::ui::win32
