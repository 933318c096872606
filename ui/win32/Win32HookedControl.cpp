#include "ui/win32/Win32HookedControl.h"

namespace zenthar::ui::win32 {

void HookedControl::Attach()
{
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(control, GWLP_WNDPROC)) == &Proc) {
        // Hooked again: the new record takes over the procedure the first one replaced.
        const auto* earlier = reinterpret_cast<const HookedControl*>(GetWindowLongPtrA(control, GWLP_USERDATA));
        previous = earlier ? earlier->previous : nullptr;
        SetWindowLongPtrA(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        return;
    }
    SetWindowLongPtrA(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    previous = ReplaceProcedure(control, &Proc);
}

LRESULT HookedControl::Message(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<HookedControl*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self || !self->previous) return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        const WNDPROC previous = self->previous;
        ReplaceProcedure(window, previous);
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        if (self->hook) self->hook->OnDetach();
        self->hook = nullptr;
        return CallWindowProcA(previous, window, message, wParam, lParam);
    }
    if (self->hook) {
        ControlMessage m{message, wParam, lParam};
        std::intptr_t result = 0;
        if (self->hook->OnControlMessage(*self, m, result)) return result;
        return CallWindowProcA(self->previous, window, m.message, m.wParam, m.lParam);
    }
    return CallWindowProcA(self->previous, window, message, wParam, lParam);
}

LRESULT CALLBACK HookedControl::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return Guarded(
        "hooked control", message, [&] { return Message(window, message, wParam, lParam); },
        [&] {
            const auto* self = reinterpret_cast<const HookedControl*>(GetWindowLongPtrA(window, GWLP_USERDATA));
            return self && self->previous ? CallWindowProcA(self->previous, window, message, wParam, lParam)
                                          : DefWindowProcA(window, message, wParam, lParam);
        });
}

}  // namespace zenthar::ui::win32
