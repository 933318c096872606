// What the window procedures of this backend share: replacing a control's procedure, reading
// a window's text, and the guard that keeps a C++ exception from unwinding into Windows.
#pragma once

#include <windows.h>

#include <exception>
#include <string>

namespace zenthar::ui::win32 {

// Controls are subclassed the classic way, by replacing their window procedure, rather than
// through the common controls' subclass chain: that chain finds its record through a window
// property on every message, and under Wine each property lookup is a round trip to the
// server. A repaint of the main dialog sends the check list a few dozen messages, and the
// chain alone made each repaint cost milliseconds more.
WNDPROC ReplaceProcedure(HWND control, WNDPROC procedure);

std::string WindowText(HWND window);

// Writes what escaped a procedure to the debugger's output.
void ReportEscaped(const char* procedure, UINT message, const char* what) noexcept;

// Runs a procedure's `body`; when it throws, the exception is reported and the message gets
// `fallback()`, its default processing. Windows calls procedures through frames that C++
// cannot unwind (and a 32-bit build would skip the system's own cleanup), so nothing may
// leave a procedure by an exception.
template <class Body, class Fallback>
auto Guarded(const char* procedure, UINT message, Body&& body, Fallback&& fallback) noexcept -> decltype(body())
{
    try {
        return body();
    } catch (const std::exception& error) {
        ReportEscaped(procedure, message, error.what());
    } catch (...) {
        ReportEscaped(procedure, message, "unknown exception");
    }
    try {
        return fallback();
    } catch (...) {
        ReportEscaped(procedure, message, "exception in the default processing");
        return {};
    }
}

}  // namespace zenthar::ui::win32
