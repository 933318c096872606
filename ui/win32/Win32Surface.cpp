#include "ui/win32/Win32Surface.h"

#include <string>

namespace zenthar::ui::win32 {

RECT ToRect(const Rect& rect)
{
    return RECT{rect.left, rect.top, rect.right, rect.bottom};
}

Rect FromRect(const RECT& rect)
{
    return Rect{rect.left, rect.top, rect.right, rect.bottom};
}

void Win32Surface::SetBackgroundTransparent()
{
    SetBkMode(Dc(), TRANSPARENT);
}

void Win32Surface::FillRect(const Rect& rect, Color color)
{
    HBRUSH brush = CreateSolidBrush(color);
    const RECT r = ToRect(rect);
    ::FillRect(Dc(), &r, brush);
    DeleteObject(brush);
}

void Win32Surface::FrameRect(const Rect& rect, Color color)
{
    HBRUSH brush = CreateSolidBrush(color);
    const RECT r = ToRect(rect);
    ::FrameRect(Dc(), &r, brush);
    DeleteObject(brush);
}

void Win32Surface::Line(Point from, Point to, Color color)
{
    HPEN pen = CreatePen(PS_SOLID, 1, color);
    HGDIOBJ previous = SelectObject(Dc(), pen);
    MoveToEx(Dc(), from.x, from.y, nullptr);
    LineTo(Dc(), to.x, to.y);
    SelectObject(Dc(), previous);
    DeleteObject(pen);
}

void Win32Surface::DrawIcon(int x, int y, IconHandle icon)
{
    ::DrawIcon(Dc(), x, y, reinterpret_cast<HICON>(icon));
}

int Win32Surface::DrawText(std::string_view text, Rect& rect, unsigned format, Color color)
{
    const std::string copy(text);
    RECT r = ToRect(rect);
    SetTextColor(Dc(), color);
    const int height = ::DrawTextA(Dc(), copy.c_str(), static_cast<int>(copy.size()), &r, format);
    if (format & DT_CALCRECT) rect = FromRect(r);
    return height;
}

void Win32Surface::DrawFocusRect(const Rect& rect)
{
    const RECT r = ToRect(rect);
    ::DrawFocusRect(Dc(), &r);
}

void Win32Surface::StretchBitmap(BitmapHandle bitmap, const Rect& source, const Rect& dest)
{
    HDC target = Dc();
    HDC memory = CreateCompatibleDC(target);
    HGDIOBJ previous = SelectObject(memory, reinterpret_cast<HBITMAP>(bitmap));
    SetStretchBltMode(target, HALFTONE);
    SetBrushOrgEx(target, 0, 0, nullptr);
    StretchBlt(target, dest.left, dest.top, dest.Width(), dest.Height(), memory, source.left, source.top,
               source.Width(), source.Height(), SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
}

HDC PaintSurface::Dc()
{
    if (!began) {
        dc = BeginPaint(window, &paint);
        began = true;
    }
    return dc;
}

PaintSurface::~PaintSurface()
{
    if (began) {
        EndPaint(window, &paint);
    } else if (validateWhenUnused) {
        ValidateRect(window, nullptr);
    }
}

}  // namespace zenthar::ui::win32
