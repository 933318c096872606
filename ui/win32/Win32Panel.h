// A panel in the place of a static: a window of the program's own class whose painting and
// sizing go to a hook.
#pragma once

#include <windows.h>

#include <cstdint>

#include "ui/CustomControl.h"
#include "ui/win32/Win32Surface.h"

namespace zenthar::ui::win32 {

inline constexpr const char* kPanelClass = "ZentharPanel";

class Panel : public PanelWindow {
public:
    Panel(PanelHook& hook, int id) : hook(&hook), id(id) {}

    static void RegisterClassOnce(HINSTANCE instance);
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    int Id() const override { return id; }
    std::uint32_t Style() const override
    {
        return window ? static_cast<std::uint32_t>(GetWindowLongPtrA(window, GWL_STYLE)) : 0;
    }
    Rect ClientRect() const override
    {
        RECT r{};
        if (window) GetClientRect(window, &r);
        return FromRect(r);
    }
    void Invalidate(bool erase) override
    {
        if (window) InvalidateRect(window, nullptr, erase);
    }

    PanelHook* hook;
    int id;
    HWND window = nullptr;

private:
    static LRESULT Message(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

}  // namespace zenthar::ui::win32
