// Extension points for controls that draw themselves.
//
// Two kinds exist. A ControlHook is attached to a control that the template already made
// (the dialog's data exchange binds it): it sees the control's messages before their default
// processing and is asked to draw it when the control is owner-drawn. A PanelHook owns a
// child window that takes the place of a static control of the template (same rectangle,
// style, extended style, text and id) and paints its whole client area itself.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "ui/DialogTypes.h"

namespace zenthar::ui {

// Drawing on a control's or panel's device context. Nothing is drawn outside the calls.
class DrawSurface {
public:
    virtual ~DrawSurface() = default;
    virtual void SetBackgroundTransparent() = 0;
    virtual void FillRect(const Rect& rect, Color color) = 0;
    // A one-pixel frame, as FrameRect with a solid brush.
    virtual void FrameRect(const Rect& rect, Color color) = 0;
    // A one-pixel line from `from` up to, not including, `to` (MoveTo/LineTo).
    virtual void Line(Point from, Point to, Color color) = 0;
    virtual void DrawIcon(int x, int y, IconHandle icon) = 0;
    // DrawTextA in the control's font; with kDtCalcRect it only measures, into `rect`.
    // Returns the height of the text.
    virtual int DrawText(std::string_view text, Rect& rect, unsigned format, Color color) = 0;
    virtual void DrawFocusRect(const Rect& rect) = 0;
    // StretchBlt with the HALFTONE stretch mode and SRCCOPY.
    virtual void StretchBitmap(BitmapHandle bitmap, const Rect& source, const Rect& dest) = 0;
};

// A message as a control's window procedure gets it.
struct ControlMessage {
    unsigned message = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
};

struct DrawItemInfo {
    Rect item;
    unsigned state = 0;  // kOds* bits
};

// A control's window, as its hook sees it.
class ControlWindow {
public:
    virtual ~ControlWindow() = default;
    virtual int Id() const = 0;
    virtual std::uint32_t Style() const = 0;
    // Sets the window style; with `frameChanged` the window is told its frame changed.
    virtual void SetStyle(std::uint32_t style, bool frameChanged) = 0;
    virtual std::string Text() const = 0;
    virtual bool IsEnabled() const = 0;
    // Whether the keyboard focus is on the control or on a window inside it.
    virtual bool HasFocus() const = 0;
    virtual Rect ClientRect() const = 0;
    virtual void Invalidate(bool erase) = 0;
    // Sends a message to the control (through its hook).
    virtual std::intptr_t Send(const ControlMessage& message) = 0;
    // The control's default processing of a message, bypassing the hook.
    virtual std::intptr_t CallDefault(const ControlMessage& message) = 0;
    // Moves the keyboard focus to the next control in the dialog's tab order after this one,
    // or to the dialog itself when there is none.
    virtual void FocusNextInTabOrder() = 0;
};

class ControlHook {
public:
    virtual ~ControlHook() = default;
    // Once, when the control is bound to the wrapper.
    virtual void OnAttach(ControlWindow&) {}
    // Every message of the control before its default processing. Return true with `result`
    // set to answer it; return false to let the default processing handle `message` (which
    // the hook may have changed).
    virtual bool OnControlMessage(ControlWindow&, ControlMessage&, std::intptr_t& result)
    {
        (void)result;
        return false;
    }
    // A draw request for an owner-drawn control.
    virtual void OnDrawItem(ControlWindow&, DrawSurface&, const DrawItemInfo&) {}
    // The control's window is going away.
    virtual void OnDetach() {}
};

class PanelWindow {
public:
    virtual ~PanelWindow() = default;
    virtual int Id() const = 0;
    virtual std::uint32_t Style() const = 0;
    virtual Rect ClientRect() const = 0;
    virtual void Invalidate(bool erase) = 0;
};

class PanelHook {
public:
    virtual ~PanelHook() = default;
    // The whole client area must be painted; the window class erases nothing.
    virtual void OnPaint(PanelWindow&, DrawSurface&) {}
    virtual void OnSize(PanelWindow&, int width, int height)
    {
        (void)width;
        (void)height;
    }
    // The panel's window is going away (destroyed by the dialog or by a new ReplaceStatic).
    virtual void OnPanelDestroyed() {}
};

}  // namespace zenthar::ui
