#include "controls/ImageButton.h"

#include <string>

#include "ui/Ui.h"

namespace zenthar::controls {

std::uint32_t WithButtonType(std::uint32_t style, std::uint32_t type)
{
    return (style & ~kButtonTypeBits) | (type & kButtonTypeBits);
}

int ChooseIconSlot(const IconSlots& icons, bool pressed, bool disabled)
{
    if (icons[0].icon == 0) return -1;
    if (disabled) return icons[2].icon ? 2 : 0;
    if (!pressed && icons[1].icon) return 1;
    return 0;
}

ui::Point IconPosition(const ui::Rect& item, int width, int height, bool captionEmpty, bool pressed)
{
    ui::Point at;
    at.x = captionEmpty ? item.left + (item.Width() - width) / 2 : item.left + 3;
    at.y = item.top + (item.Height() - height) / 2;
    if (pressed) {
        ++at.x;
        ++at.y;
    }
    return at;
}

ui::Rect CaptionArea(const ui::Rect& item, const IconSlot* icon, bool pressed)
{
    ui::Rect area = item;
    if (icon) area.left += icon->width + 3;
    return pressed ? Offset(area, 1, 1) : area;
}

ui::Rect CentreIn(const ui::Rect& area, const ui::Rect& measured)
{
    return Offset(measured, (area.Width() - measured.Width()) / 2, (area.Height() - measured.Height()) / 2);
}

ui::Rect Deflate(const ui::Rect& rect, int by)
{
    return {rect.left + by, rect.top + by, rect.right - by, rect.bottom - by};
}

ui::Rect Offset(const ui::Rect& rect, int dx, int dy)
{
    return {rect.left + dx, rect.top + dy, rect.right + dx, rect.bottom + dy};
}

ImageButton::ImageButton()
    // The colours are taken once; a later change of the system colours is not followed.
    : pressedBackground(ui::GetSysColor(ui::kColorBtnFace)), focusedBackground(ui::GetSysColor(ui::kColorBtnFace)),
      normalBackground(ui::GetSysColor(ui::kColorBtnFace)), pressedText(ui::GetSysColor(ui::kColorBtnText)),
      normalText(ui::GetSysColor(ui::kColorBtnText))
{}

ImageButton::~ImageButton()
{
    ReleaseIcons();
}

void ImageButton::ReleaseIcons()
{
    for (IconSlot& slot : icons) {
        ui::DestroyIconHandle(slot.icon);
        slot = {};
    }
}

void ImageButton::SetIcons(int id0, int width0, int height0, int id1, int width1, int height1, int id2, int width2,
                           int height2)
{
    ReleaseIcons();
    const ui::IconHandle icon0 = id0 ? ui::LoadIconResource(id0) : 0;
    const ui::IconHandle icon1 = id1 ? ui::LoadIconResource(id1) : 0;
    const ui::IconHandle icon2 = id2 ? ui::LoadIconResource(id2) : 0;
    if (icon0) {
        icons[0] = {icon0, width0, height0};
        if (icon1) icons[1] = {icon1, width1, height1};
        if (icon2) icons[2] = {icon2, width2, height2};
    } else {
        // Without the main icon the others are never drawn; keeping them would only leak.
        ui::DestroyIconHandle(icon1);
        ui::DestroyIconHandle(icon2);
    }
    if (window) window->Invalidate(true);
}

void ImageButton::SetFlat(bool newFlat, bool repaint)
{
    flat = newFlat;
    if (repaint && window) window->Invalidate(true);
}

void ImageButton::OnAttach(ui::ControlWindow& control)
{
    window = &control;
    const std::uint32_t style = control.Style();
    if ((style & kButtonTypeBits) == kDefPushButtonType) isDefault = true;
    control.SetStyle(WithButtonType(style, kOwnerDrawType), true);
}

void ImageButton::OnDetach()
{
    window = nullptr;
}

bool ImageButton::OnControlMessage(ui::ControlWindow& control, ui::ControlMessage& message, std::intptr_t& result)
{
    switch (message.message) {
    case ui::kBmSetStyle: {
        const auto type = static_cast<std::uint32_t>(message.wParam) & kButtonTypeBits;
        if (type == kDefPushButtonType) isDefault = true;
        else if (type == kPushButtonType) isDefault = false;
        // The dialog manager moves the default state by restyling push buttons; whatever it
        // asks for, this one must stay owner-drawn.
        message.wParam = WithButtonType(static_cast<std::uint32_t>(message.wParam), kOwnerDrawType);
        return false;
    }
    case ui::kWmGetDlgCode:
        result = control.CallDefault(message) |
                 static_cast<std::intptr_t>(isDefault ? ui::kDlgcDefPushButton : ui::kDlgcUndefPushButton);
        return true;
    case ui::kWmLButtonDown:
        // Show the pressed look at once, before the button captures the mouse.
        control.Send({ui::kBmSetState, 1, 0});
        return false;
    case ui::kWmLButtonDblClk:
        // A quick second click is a second click, not a double-click.
        message.message = ui::kWmLButtonDown;
        return false;
    case ui::kWmKillFocus:
        // The system takes the focus away from a control it disables (to nowhere) before it
        // tells the control: remember that the focus was ours.
        focusTakenByDisable = message.wParam == 0 && !control.IsEnabled();
        return false;
    case ui::kWmSetFocus: focusTakenByDisable = false; return false;
    case ui::kWmEnable:
        result = control.CallDefault(message);
        // Only the focus this button had is handed on: the copies box or the list, where the
        // user is typing or ticking while Install follows, keeps it.
        if (message.wParam == 0 && (focusTakenByDisable || control.HasFocus())) control.FocusNextInTabOrder();
        focusTakenByDisable = false;
        return true;
    default: return false;
    }
}

void ImageButton::DrawBackground(ui::DrawSurface& surface, const ui::Rect& work)
{
    const ui::Color fill = pressed ? pressedBackground : focused ? focusedBackground : normalBackground;
    surface.FillRect(work, fill);
}

void ImageButton::DrawBorder(ui::DrawSurface& surface, const ui::Rect& work)
{
    const ui::Color light = ui::GetSysColor(ui::kColorBtnHighlight);
    const ui::Color dark = ui::GetSysColor(ui::kColorBtnShadow);
    const ui::Color topLeft = pressed ? dark : light;
    const ui::Color bottomRight = pressed ? light : dark;
    const int l = work.left, t = work.top, r = work.right, b = work.bottom;
    surface.Line({l, t}, {r - 1, t}, topLeft);
    surface.Line({l, t}, {l, b - 1}, topLeft);
    surface.Line({r - 1, t}, {r - 1, b}, bottomRight);
    surface.Line({l, b - 1}, {r, b - 1}, bottomRight);
}

void ImageButton::DrawCaption(ui::DrawSurface& surface, std::string_view caption, ui::Rect area)
{
    constexpr unsigned kDraw = ui::kDtCenter | ui::kDtWordBreak;
    ui::Rect measured = area;
    surface.DrawText(caption, measured, kDraw | ui::kDtCalcRect, normalText);
    ui::Rect at = CentreIn(area, measured);
    if (disabled) {
        ui::Rect engraved = Offset(at, 1, 1);
        surface.DrawText(caption, engraved, kDraw, ui::GetSysColor(ui::kColorBtnHighlight));
        surface.DrawText(caption, at, kDraw, ui::GetSysColor(ui::kColorBtnShadow));
    } else {
        surface.DrawText(caption, at, kDraw, pressed ? pressedText : normalText);
    }
}

void ImageButton::OnDrawItem(ui::ControlWindow& control, ui::DrawSurface& surface, const ui::DrawItemInfo& info)
{
    pressed = info.state & ui::kOdsSelected;
    focused = info.state & ui::kOdsFocus;
    disabled = info.state & ui::kOdsDisabled;
    ui::Rect work = info.item;
    surface.SetBackgroundTransparent();

    if (!flat && (focused || isDefault)) {
        surface.FrameRect(work, ui::Rgb(0, 0, 0));
        work = Deflate(work, 1);
    }
    DrawBackground(surface, work);
    if (!flat) DrawBorder(surface, work);

    std::string caption = control.Text();
    if (caption.size() > kMaxCaption) caption.resize(kMaxCaption);

    const IconSlot* drawn = nullptr;
    if (const int slot = ChooseIconSlot(icons, pressed, disabled); slot >= 0) {
        drawn = &icons[static_cast<std::size_t>(slot)];
        const ui::Point at = IconPosition(info.item, drawn->width, drawn->height, caption.empty(), pressed);
        surface.DrawIcon(at.x, at.y, drawn->icon);
    }
    if (!caption.empty()) DrawCaption(surface, caption, CaptionArea(info.item, drawn, pressed));

    if (!flat && focused) surface.DrawFocusRect(Deflate(work, 3));
}

}  // namespace zenthar::controls
