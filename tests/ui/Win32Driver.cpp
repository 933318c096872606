// The contract suite's driver for the real windows. The user acts from a thread timer that
// fires inside the dialog's own message loop, by sending the messages mouse and keyboard
// would cause; a second timer watches for message boxes, notes what they show and closes
// them.
#include <windows.h>
#include <commctrl.h>

#include <utility>

#include "tests/common/WindowTestKit.h"
#include "tests/ui/UiDriver.h"
#include "ui/win32/Win32Backend.h"

namespace zenthar::ui::contract {
namespace {

using testing::Delivery;
using testing::WindowText;
using win32::Win32Backend;

class Win32User : public User {
public:
    Win32User(Dialog& dialog, HWND window) : dialog(dialog), window(window) {}

    // A mouse reaches a control only where it is on screen, visible and enabled.
    HWND Reachable(int id, POINT clientPoint)
    {
        HWND control = GetDlgItem(window, id);
        if (!control) return nullptr;
        POINT screen = clientPoint;
        ClientToScreen(control, &screen);
        HWND hit = WindowFromPoint(screen);
        while (hit && hit != control && GetParent(hit) == control) hit = GetParent(hit);
        return hit == control ? control : nullptr;
    }
    HWND ReachableCentre(int id)
    {
        HWND control = GetDlgItem(window, id);
        if (!control) return nullptr;
        RECT r{};
        GetClientRect(control, &r);
        return Reachable(id, POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    }
    HWND Usable(int id)
    {
        HWND control = GetDlgItem(window, id);
        if (!control || !IsWindowEnabled(control) || !(GetWindowLongPtrA(control, GWL_STYLE) & WS_VISIBLE))
            return nullptr;
        return control;
    }

    void Click(int id) override
    {
        if (HWND control = ReachableCentre(id)) SendMessageA(control, BM_CLICK, 0, 0);
    }
    void Type(int id, const std::string& text) override
    {
        HWND control = Usable(id);
        if (!control) return;
        Focus(id);
        testing::TypeText(control, text, Delivery::Send);
    }
    void SelectCombo(int id, int index) override
    {
        HWND control = ReachableCentre(id);
        if (!control) return;
        Focus(id);
        SendMessageA(control, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(control));
    }
    void ClickRow(int id, int row, bool onBox)
    {
        HWND control = GetDlgItem(window, id);
        RECT r{};
        if (!control ||
            SendMessageA(control, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r)) == LB_ERR)
            return;
        const POINT at{onBox ? r.left + (r.bottom - r.top) / 2 : r.right - 4, (r.top + r.bottom) / 2};
        if (!Reachable(id, at)) return;
        SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        SendMessageA(control, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    }
    void SelectRow(int id, int row) override { ClickRow(id, row, false); }
    void ToggleRow(int id, int row) override { ClickRow(id, row, true); }
    void SetIpFields(int id, const std::array<std::string, 4>& fields) override
    {
        HWND control = Usable(id);
        if (!control) return;
        const std::vector<HWND> edits = testing::ChildrenLeftToRight(control);
        for (std::size_t i = 0; i < edits.size() && i < 4; ++i) SetWindowTextA(edits[i], fields[i].c_str());
    }
    void Focus(int id) override
    {
        if (HWND control = Usable(id)) SendMessageA(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    }
    void Key(WPARAM key)
    {
        HWND focus = GetFocus();
        MSG message{focus ? focus : window, WM_KEYDOWN, key, 0, 0, {0, 0}};
        IsDialogMessageA(window, &message);
    }
    void PressEnter() override { Key(VK_RETURN); }
    void PressEscape() override { Key(VK_ESCAPE); }
    void PressSpace() override
    {
        if (HWND focus = GetFocus()) testing::PressKey(focus, VK_SPACE, Delivery::Send);
    }
    void SysCommand(unsigned commandId) override { SendMessageA(window, WM_SYSCOMMAND, commandId, 0); }
    int DefaultButton() override
    {
        for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            if (SendMessageA(child, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON) return GetDlgCtrlID(child);
        }
        return 0;
    }
    void Redraw(int id) override
    {
        if (HWND control = GetDlgItem(window, id))
            RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
    void End(int result) override { dialog.EndDialog(result); }

private:
    Dialog& dialog;
    HWND window;
};

class Win32Driver;
Win32Driver* current = nullptr;

class Win32Driver : public Driver {
public:
    Win32Driver()
    {
        UseBackend(&backend);
        current = this;
    }
    ~Win32Driver() override
    {
        UseBackend(nullptr);
        current = nullptr;
    }

    int RunModal(Dialog& dialog, std::function<void(User&)> act) override
    {
        running = &dialog;
        user = std::move(act);
        const UINT_PTR actTimer = SetTimer(nullptr, 0, 100, ActNow);
        const UINT_PTR watchTimer = SetTimer(nullptr, 0, 40, Watch);
        actTimerId = actTimer;
        const int result = dialog.DoModal();
        KillTimer(nullptr, actTimer);
        KillTimer(nullptr, watchTimer);
        running = nullptr;
        return result;
    }

    std::vector<SeenMessageBox> MessageBoxes() const override { return seen; }

private:
    static void CALLBACK ActNow(HWND, UINT, UINT_PTR timer, DWORD)
    {
        KillTimer(nullptr, timer);
        Win32Driver* self = current;
        if (!self || !self->running || timer != self->actTimerId) return;
        Dialog& dialog = *self->running;
        HWND window = Win32Backend::DialogHandle(dialog);
        if (!window) return;
        Win32User user(dialog, window);
        self->user(user);
        // What the dialog manager posted (a close from the system menu) is handled before
        // the test gives up on the dialog.
        MSG message;
        for (int i = 0; i < 100 && dialog.HasWindow() && !Win32Backend::DialogEnded(dialog) &&
                        PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);
             ++i) {
            if (!IsDialogMessageA(window, &message)) {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
        }
        if (dialog.HasWindow() && !Win32Backend::DialogEnded(dialog)) dialog.EndDialog(-2);
    }

    static BOOL CALLBACK CollectBox(HWND window, LPARAM parameter)
    {
        auto* self = reinterpret_cast<Win32Driver*>(parameter);
        char className[64] = {};
        GetClassNameA(window, className, sizeof className - 1);
        if (std::string(className) != "#32770" || !IsWindowVisible(window) || self->backend.TemplateIdOf(window) != 0)
            return TRUE;
        SeenMessageBox box;
        box.caption = WindowText(window);
        for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            GetClassNameA(child, className, sizeof className - 1);
            if (lstrcmpiA(className, "Static") != 0) continue;
            if ((GetWindowLongPtrA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
                box.exclamation = box.exclamation ||
                                  (IsWindowVisible(child) && SendMessageA(child, STM_GETICON, 0, 0) != 0);
            } else if (box.text.empty()) {
                box.text = WindowText(child);
            }
        }
        HWND owner = GetWindow(window, GW_OWNER);
        box.ownerTemplateId = owner ? self->backend.TemplateIdOf(owner) : 0;
        box.ownerEnabled = owner && IsWindowEnabled(owner);
        self->seen.push_back(box);
        PostMessageA(window, WM_COMMAND, IDOK, 0);
        return TRUE;
    }

    static void CALLBACK Watch(HWND, UINT, UINT_PTR, DWORD)
    {
        if (current) EnumThreadWindows(GetCurrentThreadId(), CollectBox, reinterpret_cast<LPARAM>(current));
    }

    Win32Backend backend;
    Dialog* running = nullptr;
    std::function<void(User&)> user;
    UINT_PTR actTimerId = 0;
    std::vector<SeenMessageBox> seen;
};

}  // namespace

std::unique_ptr<Driver> MakeDriver()
{
    return std::make_unique<Win32Driver>();
}

}  // namespace zenthar::ui::contract
