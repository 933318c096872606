#include "ui/win32/Win32Dialog.h"

#include <commctrl.h>

#include <algorithm>
#include <map>
#include <string>

#include "ui/win32/Win32Backend.h"
#include "ui/win32/Win32Surface.h"

namespace zenthar::ui::win32 {
namespace {

using resources::ControlClass;

constexpr const char* kPanelClass = "ZentharPanel";

// Controls are subclassed the classic way, by replacing their window procedure, rather than
// through the common controls' subclass chain: that chain finds its record through a window
// property on every message, and under Wine each property lookup is a round trip to the
// server. A repaint of the main dialog sends the check list a few dozen messages, and the
// chain alone made each repaint cost milliseconds more.
WNDPROC ReplaceProcedure(HWND control, WNDPROC procedure)
{
    return reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
}

// The check lists' own procedures, by window: only the user-interface thread touches it.
std::map<HWND, WNDPROC>& CheckListPrevious()
{
    static std::map<HWND, WNDPROC> previous;
    return previous;
}

LRESULT CallCheckListPrevious(HWND list, UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto found = CheckListPrevious().find(list);
    if (found == CheckListPrevious().end()) return DefWindowProcA(list, message, wParam, lParam);
    return CallWindowProcA(found->second, list, message, wParam, lParam);
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

// The box of a check-list row: a square as high as the row, at its left.
RECT CheckBoxOf(const RECT& row)
{
    const int side = row.bottom - row.top;
    return RECT{row.left + 1, row.top + 1, row.left + side - 1, row.bottom - 1};
}

LRESULT CALLBACK CheckListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        const int x = static_cast<short>(LOWORD(lParam));
        const int y = static_cast<short>(HIWORD(lParam));
        const LRESULT hit = SendMessageA(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(x, y));
        if (HIWORD(hit) == 0) {
            const int index = LOWORD(hit);
            RECT row{};
            if (SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&row)) != LB_ERR) {
                const RECT box = CheckBoxOf(row);
                if (x >= row.left && x < box.right + 1) {
                    const LRESULT state = SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(index), 0);
                    SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(index),
                                 ToggledCheck(state == LB_ERR ? 0 : static_cast<int>(state)));
                    InvalidateRect(list, &row, FALSE);
                }
            }
        }
        // The click then selects the row as in any list; a double click counts as a second click.
        return CallCheckListPrevious(list, WM_LBUTTONDOWN, wParam, lParam);
    }
    case WM_KEYDOWN:
        if (wParam == VK_SPACE) {
            const LRESULT index = SendMessageA(list, LB_GETCURSEL, 0, 0);
            if (index != LB_ERR) {
                const LRESULT state = SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(index), 0);
                SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(index),
                             ToggledCheck(state == LB_ERR ? 0 : static_cast<int>(state)));
                RECT row{};
                SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&row));
                InvalidateRect(list, &row, FALSE);
                // A keyboard toggle is reported as a click on the box is: the owner then sees
                // the new state, as it does after a click.
                if (GetWindowLongPtrA(list, GWL_STYLE) & LBS_NOTIFY)
                    SendMessageA(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_SELCHANGE),
                                 reinterpret_cast<LPARAM>(list));
            }
            return 0;
        }
        break;
    case WM_NCDESTROY: {
        const auto found = CheckListPrevious().find(list);
        if (found == CheckListPrevious().end()) break;
        const WNDPROC previous = found->second;
        CheckListPrevious().erase(found);
        ReplaceProcedure(list, previous);
        return CallWindowProcA(previous, list, message, wParam, lParam);
    }
    default: break;
    }
    return CallCheckListPrevious(list, message, wParam, lParam);
}

}  // namespace

int ToggledCheck(int state)
{
    return state == 0 ? 1 : 0;
}

// ---- Custom controls attached to template controls ----

class Win32Dialog::HookedControl : public ControlWindow {
public:
    HookedControl(HWND control, ControlHook& hook) : control(control), hook(&hook) {}

    // The control's record travels in its GWLP_USERDATA, which the system's controls leave to
    // the program.
    void Attach()
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

    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
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
    std::intptr_t Send(const ControlMessage& m) override { return SendMessageA(control, m.message, m.wParam, m.lParam); }
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
    ControlHook* hook;
    WNDPROC previous = nullptr;
};

// ---- Panels in the place of statics ----

class Win32Dialog::Panel : public PanelWindow {
public:
    Panel(PanelHook& hook, int id) : hook(&hook), id(id) {}

    static void RegisterClassOnce(HINSTANCE instance)
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

    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
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
};

// ---- The dialog window ----

Win32Dialog::Win32Dialog(Win32Backend& backend, Dialog& dialog, bool modal)
    : backend(backend), dialog(dialog), source(resources::FindDialogTemplate(dialog.TemplateId())), modal(modal)
{
}

Win32Dialog::~Win32Dialog() = default;

INT_PTR CALLBACK Win32Dialog::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<Win32Dialog*>(lParam);
        self->window = window;
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        self->backend.Register(window, self);
        self->dialog.AttachWindow(self);
        for (const resources::ControlTemplate& control : self->source->controls) {
            if (!self->IsCheckList(control.id)) continue;
            HWND list = self->Item(control.id);
            if (list && !CheckListPrevious().count(list)) CheckListPrevious()[list] = ReplaceProcedure(list, &CheckListProc);
        }
        return self->dialog.RunInitDialog() ? TRUE : FALSE;
    }
    if (message == WM_MEASUREITEM) {
        // Asked while the controls are created, before the dialog knows itself: a check-list
        // row is one line of the dialog's font, and never lower than its check box.
        auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (measure->CtlType == ODT_LISTBOX) {
            HDC dc = GetDC(window);
            HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)));
            TEXTMETRICA metrics{};
            GetTextMetricsA(dc, &metrics);
            SelectObject(dc, previous);
            ReleaseDC(window, dc);
            measure->itemHeight = static_cast<UINT>(std::max<LONG>(metrics.tmHeight + 2, 15));
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
        return FALSE;
    default: return FALSE;
    }
}

void Win32Dialog::DrawCheckListRow(const DRAWITEMSTRUCT& item)
{
    HDC dc = item.hDC;
    if (item.itemID == static_cast<UINT>(-1)) {
        if (item.itemState & ODS_FOCUS) ::DrawFocusRect(dc, &item.rcItem);
        return;
    }
    const bool selected = item.itemState & ODS_SELECTED;
    const bool disabled = !IsWindowEnabled(item.hwndItem);
    const RECT row = item.rcItem;
    const RECT box = CheckBoxOf(row);

    HBRUSH window = GetSysColorBrush(COLOR_WINDOW);
    RECT boxBand{row.left, row.top, box.right + 1, row.bottom};
    ::FillRect(dc, &boxBand, window);
    const int state = static_cast<int>(item.itemData);
    UINT look = DFCS_BUTTONCHECK | DFCS_FLAT;
    if (state == 1) look |= DFCS_CHECKED;
    if (state == 2) look = DFCS_BUTTON3STATE | DFCS_CHECKED | DFCS_FLAT;
    if (disabled) look |= DFCS_INACTIVE;
    RECT drawnBox = box;
    DrawFrameControl(dc, &drawnBox, DFC_BUTTON, look);

    RECT textRect{box.right + 2, row.top, row.right, row.bottom};
    ::FillRect(dc, &textRect, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    const int length = static_cast<int>(SendMessageA(item.hwndItem, LB_GETTEXTLEN, item.itemID, 0));
    std::string text(static_cast<std::size_t>(std::max(length, 0)) + 1, '\0');
    if (length > 0) SendMessageA(item.hwndItem, LB_GETTEXT, item.itemID, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(std::max(length, 0)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(disabled ? COLOR_GRAYTEXT : selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    RECT textArea = textRect;
    textArea.left += 2;
    ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &textArea, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if (item.itemState & ODS_FOCUS) ::DrawFocusRect(dc, &textRect);
}

HWND Win32Dialog::Item(int id) const
{
    return window ? GetDlgItem(window, id) : nullptr;
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
    if (window) InvalidateRect(window, nullptr, erase);
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
    if (IsCombo(id)) return static_cast<int>(SendMessageA(item, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(copy.c_str())));
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
    RECT row{};
    if (SendMessageA(item, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&row)) != LB_ERR)
        InvalidateRect(item, &row, FALSE);
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
    // The panel object of an earlier window stays until the dialog goes: its window is gone,
    // but a caller may still hold it.
    if (auto previous = panels.find(id); previous != panels.end()) retiredPanels.push_back(std::move(previous->second));

    HINSTANCE instance = GetModuleHandleA(nullptr);
    Panel::RegisterClassOnce(instance);
    auto panel = std::make_unique<Panel>(hook, id);
    CreateWindowExA(exStyle, kPanelClass, text.c_str(), style, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance,
                    panel.get());
    Panel& made = *panel;
    panels[id] = std::move(panel);
    return &made;
}

void Win32Dialog::ForgetHooks()
{
    for (auto& [id, control] : hooks) control->hook = nullptr;
    for (auto& [id, panel] : panels) panel->hook = nullptr;
}

}  // namespace zenthar::ui::win32
