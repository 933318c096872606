// A custom control's hook on a template control: its messages go to the hook before the
// control's own procedure sees them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "ui/CustomControl.h"
#include "ui/win32/Win32Surface.h"
#include "ui/win32/Win32Window.h"

namespace zenthar::ui::win32 {

class HookedControl : public ControlWindow {
public:
    HookedControl(HWND control, ControlHook& hook) : control(control), hook(&hook) {}

    // The control's record travels in its GWLP_USERDATA, which the system's controls leave to
    // the program.
    void Attach();

    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    int Id() const override { return GetDlgCtrlID(control); }
    std::uint32_t Style() const override { return static_cast<std::uint32_t>(GetWindowLongPtrA(control, GWL_STYLE)); }
    void SetStyle(std::uint32_t style, bool frameChanged) override
    {
        SetWindowLongPtrA(control, GWL_STYLE, static_cast<LONG_PTR>(style));
        if (frameChanged) {
            SetWindowPos(control, nullptr, 0, 0, 0, 0,
                         SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    std::string Text() const override { return WindowText(control); }
    bool IsEnabled() const override { return IsWindowEnabled(control); }
    bool HasFocus() const override
    {
        HWND focus = ::GetFocus();
        return focus && (focus == control || IsChild(control, focus));
    }
    Rect ClientRect() const override
    {
        RECT r{};
        GetClientRect(control, &r);
        return FromRect(r);
    }
    void Invalidate(bool erase) override { InvalidateRect(control, nullptr, erase); }
    std::intptr_t Send(const ControlMessage& m) override
    {
        return SendMessageA(control, m.message, m.wParam, m.lParam);
    }
    std::intptr_t CallDefault(const ControlMessage& m) override
    {
        return previous ? CallWindowProcA(previous, control, m.message, m.wParam, m.lParam)
                        : DefWindowProcA(control, m.message, m.wParam, m.lParam);
    }
    void FocusNextInTabOrder() override
    {
        HWND parent = GetParent(control);
        HWND next = GetNextDlgTabItem(parent, control, FALSE);
        if (next && next != control) {
            SendMessageA(parent, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(next), TRUE);
        } else {
            ::SetFocus(parent);
        }
    }

    HWND control;
    ControlHook* hook;  // null once the dialog forgets its hooks
    WNDPROC previous = nullptr;

private:
    static LRESULT Message(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

}  // namespace zenthar::ui::win32
