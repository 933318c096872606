#include "ui/win32/Win32Window.h"

#include <algorithm>
#include <cstdio>

namespace zenthar::ui::win32 {

WNDPROC ReplaceProcedure(HWND control, WNDPROC procedure)
{
    return reinterpret_cast<WNDPROC>(SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
}

std::string WindowText(HWND window)
{
    if (!window) return {};
    const int length = GetWindowTextLengthA(window);
    if (length <= 0) return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int copied = GetWindowTextA(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(copied, 0)));
    return text;
}

void ReportEscaped(const char* procedure, UINT message, const char* what) noexcept
{
    char line[512];
    std::snprintf(line, sizeof line, "%s: message 0x%04X: %s", procedure, message, what ? what : "");
    OutputDebugStringA(line);
}

}  // namespace zenthar::ui::win32
