#include "ui/win32/Win32Dialog.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "ui/win32/Win32Backend.h"
#include "ui/win32/Win32CheckList.h"
#include "ui/win32/Win32HookedControl.h"
#include "ui/win32/Win32Panel.h"
#include "ui/win32/Win32Surface.h"
#include "ui/win32/Win32Window.h"

namespace zenthar::ui::win32 {

using resources::ControlClass;

namespace {

// An owned dialog whose template does not ask to be centred on the screen opens centred over
// its owner, kept within the owner's screen: placed by its template alone it would open at
// the owner's top-left corner, over the owner's caption.
void CentreOverOwner(HWND dialog)
{
    HWND owner = GetWindow(dialog, GW_OWNER);
    if (!owner || (GetWindowLongPtrA(dialog, GWL_STYLE) & DS_CENTER) || !IsWindowVisible(owner) || IsIconic(owner))
        return;
    RECT ownerRect{}, own{};
    GetWindowRect(owner, &ownerRect);
    GetWindowRect(dialog, &own);
    const LONG width = own.right - own.left;
    const LONG height = own.bottom - own.top;
    LONG x = ownerRect.left + (ownerRect.right - ownerRect.left - width) / 2;
    LONG y = ownerRect.top + (ownerRect.bottom - ownerRect.top - height) / 2;
    MONITORINFO screen{};
    screen.cbSize = sizeof screen;
    if (GetMonitorInfoA(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &screen)) {
        const RECT& work = screen.rcWork;
        x = std::max(work.left, std::min(x, work.right - width));
        y = std::max(work.top, std::min(y, work.bottom - height));
    }
    SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

Win32Dialog::Win32Dialog(Win32Backend& backend, Dialog& dialog, bool modal)
    : backend(backend), dialog(dialog), source(resources::FindDialogTemplate(dialog.TemplateId())), modal(modal)
{}

Win32Dialog::~Win32Dialog() = default;

INT_PTR CALLBACK Win32Dialog::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // FALSE leaves the message to the dialog manager; for WM_INITDIALOG, TRUE lets it set the
    // first focus as it does by default.
    return Guarded(
        "dialog", message, [&] { return Message(window, message, wParam, lParam); },
        [&]() -> INT_PTR { return message == WM_INITDIALOG ? TRUE : FALSE; });
}

INT_PTR Win32Dialog::Message(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<Win32Dialog*>(lParam);
        self->window = window;
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        self->backend.Register(window, self);
        CentreOverOwner(window);
        self->dialog.AttachWindow(self);
        for (const resources::ControlTemplate& control : self->source->controls) {
            if (self->IsCheckList(control.id)) AttachCheckList(self->Item(control.id));
        }
        return self->dialog.RunInitDialog() ? TRUE : FALSE;
    }
    if (message == WM_MEASUREITEM) {
        // Asked while the controls are created, before the dialog knows itself.
        auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (measure->CtlType == ODT_LISTBOX) {
            measure->itemHeight = CheckListRowHeight(window);
            SetWindowLongPtrA(window, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        return FALSE;
    }
    auto* self = reinterpret_cast<Win32Dialog*>(GetWindowLongPtrA(window, DWLP_USER));
    if (!self) return FALSE;
    return self->OnMessage(message, wParam, lParam);
}

INT_PTR Win32Dialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND: {
        const unsigned code = HIWORD(wParam);
        const int id = LOWORD(wParam);
        // Keyboard and menu commands (no control window) count as clicks.
        return dialog.DispatchCommand(lParam ? code : kButtonClicked, id) ? TRUE : FALSE;
    }
    case WM_SYSCOMMAND:
        if (dialog.DispatchSysCommand(static_cast<unsigned>(wParam))) {
            SetWindowLongPtrA(window, DWLP_MSGRESULT, 0);
            return TRUE;
        }
        return FALSE;
    case WM_PAINT: {
        PaintSurface surface(window, false);
        const bool painted = dialog.DispatchPaint(surface);
        return painted || surface.Began() ? TRUE : FALSE;
    }
    case WM_QUERYDRAGICON: {
        const IconHandle icon = dialog.DispatchQueryDragIcon();
        return icon ? static_cast<INT_PTR>(icon) : FALSE;
    }
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        const int id = static_cast<int>(item->CtlID);
        auto hooked = hooks.find(id);
        if (hooked != hooks.end() && hooked->second->hook) {
            Win32Surface surface(item->hDC);
            hooked->second->hook->OnDrawItem(*hooked->second, surface, {FromRect(item->rcItem), item->itemState});
            SetWindowLongPtrA(window, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        if (item->CtlType == ODT_LISTBOX && IsCheckList(id)) {
            DrawCheckListRow(*item);
            SetWindowLongPtrA(window, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        return FALSE;
    }
    case WM_NCDESTROY:
        backend.Unregister(window);
        SetWindowLongPtrA(window, DWLP_USER, 0);
        dialog.AttachWindow(nullptr);
        window = nullptr;
        items.clear();
        return FALSE;
    default: return FALSE;
    }
}

HWND Win32Dialog::Item(int id) const
{
    if (!window) return nullptr;
    const auto known = items.find(id);
    // A window handle can be reused once its window is gone: the one found must still be
    // this dialog's control with this id.
    if (known != items.end() && IsWindow(known->second) && GetParent(known->second) == window &&
        GetDlgCtrlID(known->second) == id)
        return known->second;
    HWND found = GetDlgItem(window, id);
    if (found) items[id] = found;
    else items.erase(id);
    return found;
}

ControlClass Win32Dialog::ClassOf(int id) const
{
    if (source) {
        if (const resources::ControlTemplate* control = source->FindControl(id)) return control->controlClass;
    }
    return ControlClass::Static;
}

bool Win32Dialog::IsCheckList(int id) const
{
    if (!source) return false;
    const resources::ControlTemplate* control = source->FindControl(id);
    return control && control->controlClass == ControlClass::ListBox &&
           (control->style & (LBS_OWNERDRAWFIXED | LBS_HASSTRINGS)) == (LBS_OWNERDRAWFIXED | LBS_HASSTRINGS);
}

void Win32Dialog::EndDialog(int result)
{
    if (!window) return;
    ended = true;
    ::EndDialog(window, result);
}

void Win32Dialog::Show(bool show)
{
    if (window) ::ShowWindow(window, show ? SW_SHOW : SW_HIDE);
}

void Win32Dialog::Destroy()
{
    if (window) DestroyWindow(window);
}

void Win32Dialog::Invalidate(bool erase)
{
    if (!window) return;
    // Without erasing, the dialog's own painting leaves its controls as they are, and each
    // control that changed has invalidated itself: the others are not drawn again. (Drawing
    // every control of the main dialog takes about 10 ms under Wine, and a run repaints it
    // after every step.)
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | (erase ? RDW_ERASE | RDW_ALLCHILDREN : RDW_NOCHILDREN));
}

void Win32Dialog::UpdateWindow()
{
    if (window) ::UpdateWindow(window);
}

bool Win32Dialog::IsIconic() const
{
    return window && ::IsIconic(window);
}

bool Win32Dialog::IsEnabled() const
{
    return window && IsWindowEnabled(window);
}

Rect Win32Dialog::ClientRect() const
{
    RECT r{};
    if (window) GetClientRect(window, &r);
    return FromRect(r);
}

void Win32Dialog::SetIcon(IconHandle icon, bool big)
{
    if (window) SendMessageA(window, WM_SETICON, big ? ICON_BIG : ICON_SMALL, static_cast<LPARAM>(icon));
}

bool Win32Dialog::HasSystemMenu() const
{
    return window && (GetWindowLongPtrA(window, GWL_STYLE) & WS_SYSMENU);
}

bool Win32Dialog::AppendSystemMenu(unsigned commandId, std::string_view text)
{
    if (!HasSystemMenu()) return false;
    HMENU menu = GetSystemMenu(window, FALSE);
    if (!menu) return false;
    const std::string copy(text);
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, commandId, copy.c_str());
    return true;
}

bool Win32Dialog::HasItem(int id) const
{
    return Item(id) != nullptr;
}

std::string Win32Dialog::GetItemText(int id) const
{
    return WindowText(Item(id));
}

void Win32Dialog::SetItemText(int id, std::string_view text)
{
    const std::string copy(text);
    if (HWND item = Item(id)) SetWindowTextA(item, copy.c_str());
}

void Win32Dialog::EnableItem(int id, bool enable)
{
    if (HWND item = Item(id)) EnableWindow(item, enable);
}

bool Win32Dialog::IsItemEnabled(int id) const
{
    HWND item = Item(id);
    return item && IsWindowEnabled(item);
}

void Win32Dialog::ShowItem(int id, bool show)
{
    if (HWND item = Item(id)) ::ShowWindow(item, show ? SW_SHOW : SW_HIDE);
}

bool Win32Dialog::IsItemVisible(int id) const
{
    HWND item = Item(id);
    return item && (GetWindowLongPtrA(item, GWL_STYLE) & WS_VISIBLE);
}

void Win32Dialog::SetFocus(int id)
{
    if (HWND item = Item(id)) SendMessageA(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item), TRUE);
}

int Win32Dialog::GetFocus() const
{
    HWND focus = ::GetFocus();
    // The fields of an address control are its children: report the control.
    while (focus && window && GetParent(focus) != window) {
        if (!IsChild(window, focus)) return 0;
        focus = GetParent(focus);
    }
    return focus && window ? GetDlgCtrlID(focus) : 0;
}

void Win32Dialog::GiveDialogFont(int id, bool redraw)
{
    if (HWND item = Item(id)) SendMessageA(item, WM_SETFONT, SendMessageA(window, WM_GETFONT, 0, 0), redraw);
}

int Win32Dialog::GetCheck(int id) const
{
    HWND item = Item(id);
    return item ? static_cast<int>(SendMessageA(item, BM_GETCHECK, 0, 0)) : 0;
}

void Win32Dialog::SetCheck(int id, int state)
{
    if (HWND item = Item(id)) SendMessageA(item, BM_SETCHECK, static_cast<WPARAM>(state), 0);
}

void Win32Dialog::CheckRadioButton(int firstId, int lastId, int checkId)
{
    if (window) ::CheckRadioButton(window, firstId, lastId, checkId);
}

int Win32Dialog::AddString(int id, std::string_view text)
{
    HWND item = Item(id);
    if (!item) return -1;
    const std::string copy(text);
    if (IsCombo(id))
        return static_cast<int>(SendMessageA(item, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(copy.c_str())));
    if (!IsList(id)) return -1;
    const LRESULT index = SendMessageA(item, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(copy.c_str()));
    if (index >= 0 && IsCheckList(id)) SendMessageA(item, LB_SETITEMDATA, static_cast<WPARAM>(index), 0);
    return static_cast<int>(index);
}

int Win32Dialog::DeleteString(int id, int index)
{
    HWND item = Item(id);
    if (!item || index < 0) return -1;
    if (IsCombo(id)) return static_cast<int>(SendMessageA(item, CB_DELETESTRING, static_cast<WPARAM>(index), 0));
    if (IsList(id)) return static_cast<int>(SendMessageA(item, LB_DELETESTRING, static_cast<WPARAM>(index), 0));
    return -1;
}

void Win32Dialog::ResetContent(int id)
{
    HWND item = Item(id);
    if (!item) return;
    if (IsCombo(id)) SendMessageA(item, CB_RESETCONTENT, 0, 0);
    if (IsList(id)) SendMessageA(item, LB_RESETCONTENT, 0, 0);
}

int Win32Dialog::GetCount(int id) const
{
    HWND item = Item(id);
    if (!item) return -1;
    if (IsCombo(id)) return static_cast<int>(SendMessageA(item, CB_GETCOUNT, 0, 0));
    if (IsList(id)) return static_cast<int>(SendMessageA(item, LB_GETCOUNT, 0, 0));
    return -1;
}

int Win32Dialog::GetCurSel(int id) const
{
    HWND item = Item(id);
    if (!item) return -1;
    if (IsCombo(id)) return static_cast<int>(SendMessageA(item, CB_GETCURSEL, 0, 0));
    if (IsList(id)) return static_cast<int>(SendMessageA(item, LB_GETCURSEL, 0, 0));
    return -1;
}

int Win32Dialog::SetCurSel(int id, int index)
{
    HWND item = Item(id);
    if (!item) return -1;
    if (IsCombo(id)) return static_cast<int>(SendMessageA(item, CB_SETCURSEL, static_cast<WPARAM>(index), 0));
    if (IsList(id)) return static_cast<int>(SendMessageA(item, LB_SETCURSEL, static_cast<WPARAM>(index), 0));
    return -1;
}

std::string Win32Dialog::GetString(int id, int index) const
{
    HWND item = Item(id);
    if (!item || index < 0) return {};
    const bool combo = IsCombo(id);
    if (!combo && !IsList(id)) return {};
    const LRESULT length = SendMessageA(item, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length <= 0) return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const LRESULT copied = SendMessageA(item, combo ? CB_GETLBTEXT : LB_GETTEXT, static_cast<WPARAM>(index),
                                        reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(std::max<LRESULT>(copied, 0)));
    return text;
}

int Win32Dialog::GetRowCheck(int id, int index) const
{
    HWND item = Item(id);
    if (!item || !IsList(id) || index < 0) return 0;
    const LRESULT state = SendMessageA(item, LB_GETITEMDATA, static_cast<WPARAM>(index), 0);
    return state == LB_ERR ? 0 : static_cast<int>(state);
}

void Win32Dialog::SetRowCheck(int id, int index, int state)
{
    HWND item = Item(id);
    if (!item || !IsList(id) || index < 0) return;
    if (SendMessageA(item, LB_SETITEMDATA, static_cast<WPARAM>(index), std::clamp(state, 0, 2)) == LB_ERR) return;
    // A held list is drawn whole when it is released.
    if (redrawHolds.count(id)) return;
    RECT row{};
    if (SendMessageA(item, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&row)) != LB_ERR)
        InvalidateRect(item, &row, FALSE);
}

void Win32Dialog::ReserveRows(int id, int rows)
{
    HWND item = Item(id);
    if (!item || !IsList(id) || rows <= 0) return;
    // The texts are kept by the list; a row name is short, 32 bytes covers it.
    SendMessageA(item, LB_INITSTORAGE, static_cast<WPARAM>(rows), static_cast<LPARAM>(rows) * 32);
}

void Win32Dialog::HoldRedraw(int id, bool hold)
{
    HWND item = Item(id);
    if (!item) return;
    if (hold) {
        if (redrawHolds[id]++ == 0) SendMessageA(item, WM_SETREDRAW, FALSE, 0);
        return;
    }
    const auto held = redrawHolds.find(id);
    if (held == redrawHolds.end() || --held->second > 0) return;
    redrawHolds.erase(held);
    SendMessageA(item, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(item, nullptr, TRUE);
}

void Win32Dialog::SetProgressRange(int id, int low, int high)
{
    if (HWND item = Item(id)) SendMessageA(item, PBM_SETRANGE32, static_cast<WPARAM>(low), high);
}

void Win32Dialog::SetProgressStep(int id, int step)
{
    if (HWND item = Item(id)) SendMessageA(item, PBM_SETSTEP, static_cast<WPARAM>(step), 0);
}

int Win32Dialog::SetProgressPos(int id, int pos)
{
    HWND item = Item(id);
    return item ? static_cast<int>(SendMessageA(item, PBM_SETPOS, static_cast<WPARAM>(pos), 0)) : 0;
}

int Win32Dialog::GetProgressPos(int id) const
{
    HWND item = Item(id);
    return item ? static_cast<int>(SendMessageA(item, PBM_GETPOS, 0, 0)) : 0;
}

int Win32Dialog::StepProgress(int id)
{
    HWND item = Item(id);
    return item ? static_cast<int>(SendMessageA(item, PBM_STEPIT, 0, 0)) : 0;
}

void Win32Dialog::SetIpAddress(int id, std::uint32_t address)
{
    if (HWND item = Item(id)) SendMessageA(item, IPM_SETADDRESS, 0, static_cast<LPARAM>(address));
}

int Win32Dialog::GetIpAddress(int id, std::uint32_t& address) const
{
    address = 0;
    HWND item = Item(id);
    if (!item) return 0;
    DWORD value = 0;
    const LRESULT filled = SendMessageA(item, IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&value));
    address = value;
    return static_cast<int>(filled);
}

void Win32Dialog::AttachHook(int id, ControlHook& hook)
{
    HWND item = Item(id);
    if (!item) return;
    auto control = std::make_unique<HookedControl>(item, hook);
    control->Attach();
    HookedControl& attached = *control;
    hooks[id] = std::move(control);
    hook.OnAttach(attached);
}

PanelWindow* Win32Dialog::ReplaceStatic(int id, PanelHook& hook)
{
    HWND old = Item(id);
    if (!old) return nullptr;
    RECT rect{};
    GetWindowRect(old, &rect);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrA(old, GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrA(old, GWL_EXSTYLE));
    const std::string text = WindowText(old);
    DestroyWindow(old);
    items.erase(id);
    // The panel object of an earlier window stays until the dialog goes: its window is gone,
    // but a caller may still hold it.
    if (auto previous = panels.find(id); previous != panels.end()) {
        retiredPanels.push_back(std::move(previous->second));
        panels.erase(previous);
    }

    HINSTANCE instance = GetModuleHandleA(nullptr);
    Panel::RegisterClassOnce(instance);
    auto panel = std::make_unique<Panel>(hook, id);
    HWND made = CreateWindowExA(exStyle, kPanelClass, text.c_str(), style, rect.left, rect.top, rect.right - rect.left,
                                rect.bottom - rect.top, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                instance, panel.get());
    if (!made) {
        // The static is gone; the place stays empty and the caller learns there is no panel,
        // as for a missing static.
        char line[96];
        std::snprintf(line, sizeof line, "CreateWindowExA(panel %d) failed, error %lu", id,
                      static_cast<unsigned long>(GetLastError()));
        OutputDebugStringA(line);
        return nullptr;
    }
    Panel& created = *panel;
    panels[id] = std::move(panel);
    return &created;
}

void Win32Dialog::ForgetHooks()
{
    for (auto& [id, control] : hooks) control->hook = nullptr;
    for (auto& [id, panel] : panels) panel->hook = nullptr;
}

}  // namespace zenthar::ui::win32
