#include "ui/win32/Win32Panel.h"

#include "ui/win32/Win32Surface.h"
#include "ui/win32/Win32Window.h"

namespace zenthar::ui::win32 {

void Panel::RegisterClassOnce(HINSTANCE instance)
{
    WNDCLASSA existing{};
    if (GetClassInfoA(instance, kPanelClass, &existing)) return;
    WNDCLASSA windowClass{};
    windowClass.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = Proc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kPanelClass;
    RegisterClassA(&windowClass);
}

LRESULT Panel::Message(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* created = reinterpret_cast<CREATESTRUCTA*>(lParam);
        auto* self = static_cast<Panel*>(created->lpCreateParams);
        self->window = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Panel*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self && self->hook) {
        switch (message) {
        case WM_SIZE: {
            const LRESULT result = DefWindowProcA(window, message, wParam, lParam);
            self->hook->OnSize(*self, LOWORD(lParam), HIWORD(lParam));
            return result;
        }
        case WM_PAINT: {
            PaintSurface surface(window, true);
            self->hook->OnPaint(*self, surface);
            return 0;
        }
        case WM_DESTROY: self->hook->OnPanelDestroyed(); break;
        default: break;
        }
    }
    if (message == WM_NCDESTROY && self) {
        self->window = nullptr;
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK Panel::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return Guarded(
        "panel", message, [&] { return Message(window, message, wParam, lParam); },
        [&] { return DefWindowProcA(window, message, wParam, lParam); });
}

}  // namespace zenthar::ui::win32
