#include "ui/win32/Win32CheckList.h"

#include <algorithm>
#include <map>
#include <string>

#include "ui/win32/Win32Window.h"

namespace zenthar::ui::win32 {
namespace {

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

// The box of a check-list row: a square as high as the row, at its left.
RECT CheckBoxOf(const RECT& row)
{
    const int side = row.bottom - row.top;
    return RECT{row.left + 1, row.top + 1, row.left + side - 1, row.bottom - 1};
}

LRESULT CheckListMessage(HWND list, UINT message, WPARAM wParam, LPARAM lParam)
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
            if (SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&row)) !=
                LB_ERR) {
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

LRESULT CALLBACK CheckListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam)
{
    return Guarded(
        "check list", message, [&] { return CheckListMessage(list, message, wParam, lParam); },
        [&] { return CallCheckListPrevious(list, message, wParam, lParam); });
}

}  // namespace

int ToggledCheck(int state)
{
    return state == 0 ? 1 : 0;
}

void AttachCheckList(HWND list)
{
    if (list && !CheckListPrevious().count(list)) CheckListPrevious()[list] = ReplaceProcedure(list, &CheckListProc);
}

UINT CheckListRowHeight(HWND dialog)
{
    HDC dc = GetDC(dialog);
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0)));
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, previous);
    ReleaseDC(dialog, dc);
    return static_cast<UINT>(std::max<LONG>(metrics.tmHeight + 2, 15));
}

void DrawCheckListRow(const DRAWITEMSTRUCT& item)
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

}  // namespace zenthar::ui::win32
