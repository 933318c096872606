// The dialog base class: a template id, modal and modeless runs, initialisation, OK and
// cancel, a message map per dialog, data exchange between members and controls, and the
// system-menu, paint and drag-icon hooks.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "ui/Backend.h"
#include "ui/DialogTypes.h"

namespace zenthar::ui {

class Control;
class Dialog;
class DataExchange;

using CommandHandler = void (Dialog::*)();

// One row of a dialog's message map: a notification from a control, and the member that
// handles it. A dialog keeps its map in its MessageMap override, where the class is complete:
//
//     std::span<const MessageEntry> MainDialog::MessageMap() const
//     {
//         static const MessageEntry kMessages[] = {
//             OnClicked<MainDialog>(ids::kExitButton, &MainDialog::OnExit),
//             OnEditChange<MainDialog>(ids::kCopiesEdit, &MainDialog::OnCopiesChanged),
//         };
//         return kMessages;
//     }
struct MessageEntry {
    unsigned code;
    int controlId;
    CommandHandler handler;
};

template <class D>
constexpr MessageEntry OnNotify(unsigned code, int controlId, void (D::*handler)())
{
    return {code, controlId, static_cast<CommandHandler>(handler)};
}
template <class D>
constexpr MessageEntry OnClicked(int controlId, void (D::*handler)())
{
    return OnNotify<D>(kButtonClicked, controlId, handler);
}
template <class D>
constexpr MessageEntry OnListSelChange(int controlId, void (D::*handler)())
{
    return OnNotify<D>(kListSelChange, controlId, handler);
}
template <class D>
constexpr MessageEntry OnComboSelChange(int controlId, void (D::*handler)())
{
    return OnNotify<D>(kComboSelChange, controlId, handler);
}
template <class D>
constexpr MessageEntry OnEditChange(int controlId, void (D::*handler)())
{
    return OnNotify<D>(kEditChange, controlId, handler);
}

class Dialog {
public:
    explicit Dialog(int templateId, Dialog* parent = nullptr);
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    int TemplateId() const { return templateId; }
    Dialog* Parent() const { return parent; }

    // Modal run: returns the value given to EndDialog (kIdOk, kIdCancel, ...), or -1 when the
    // window could not be made. Without a parent the dialog in front owns it, so that the
    // window behind stays disabled and cannot change what this one was opened about.
    int DoModal();
    // Modeless run: the window exists from Create until DestroyWindow, driven from outside.
    bool Create();
    void ShowWindow(bool show = true);
    void DestroyWindow();
    bool HasWindow() const { return window != nullptr; }

    void EndDialog(int result);
    // true: controls to members; false: members to controls. Notifications that the
    // controls raise meanwhile are not delivered.
    bool UpdateData(bool saveAndValidate = true);

    // The innermost modal dialog that has a window, on the user-interface thread; null when
    // none runs or when asked from another thread.
    static Dialog* InFront();
    // Whether the dialog's window takes input (a dialog it owns disables it while it is up).
    bool IsWindowEnabled() const;

    void Invalidate(bool erase = true);
    void UpdateWindow();
    bool IsIconic() const;
    Rect ClientRect() const;
    void SetIcon(IconHandle icon, bool big);
    bool HasSystemMenu() const;
    bool AppendSystemMenu(unsigned commandId, std::string_view text);

    void EnableItem(int id, bool enable = true);
    void ShowItem(int id, bool show = true);
    std::string GetItemText(int id) const;
    void SetItemText(int id, std::string_view text);
    void CheckRadioButton(int firstId, int lastId, int checkId);
    // The first radio in the range that is checked, 0 when none.
    int GetCheckedRadioButton(int firstId, int lastId) const;
    int GetFocusId() const;
    void GotoItem(int id);

    // Owned by this dialog, OK button only; a null caption shows the application's title.
    int MessageBox(std::string_view text, const char* caption = nullptr, MessageIcon icon = MessageIcon::None) const;

    // Puts a panel window in the place of the static control `id`.
    PanelWindow* ReplaceStatic(int id, PanelHook& hook);

    // The window the backend made, null when there is none.
    DialogWindow* Window() const { return window; }

    // ---- Called by the backends only. ----
    void AttachWindow(DialogWindow* newWindow);
    unsigned WindowSerial() const { return windowSerial; }
    bool RunInitDialog() { return OnInitDialog(); }
    // A control notification or a command; false when nothing handled it.
    bool DispatchCommand(unsigned code, int id);
    bool DispatchSysCommand(unsigned commandId) { return OnSysCommand(commandId); }
    bool DispatchPaint(DrawSurface& surface) { return OnPaint(surface); }
    IconHandle DispatchQueryDragIcon() { return OnQueryDragIcon(); }
    bool NotificationsLockedOut() const { return lockout > 0; }

protected:
    virtual void DoDataExchange(DataExchange&) {}
    // The standard initialisation: binds the controls and shows the members in them.
    // Returns true when the system shall put the focus on the first control that takes it.
    virtual bool OnInitDialog();
    // The standard OK: reads the controls into the members and ends with kIdOk.
    virtual void OnOK();
    virtual void OnCancel();
    virtual std::span<const MessageEntry> MessageMap() const { return {}; }
    // Return true when handled; otherwise the system's default applies.
    virtual bool OnSysCommand(unsigned commandId);
    // Return true when the dialog painted itself; otherwise the default painting applies.
    virtual bool OnPaint(DrawSurface&) { return false; }
    virtual IconHandle OnQueryDragIcon() { return 0; }

private:
    int templateId;
    Dialog* parent;
    DialogWindow* window = nullptr;
    unsigned windowSerial = 0;
    int lockout = 0;
};

// Moves values between a dialog's members and its controls, and binds control wrappers.
class DataExchange {
public:
    DataExchange(Dialog& dialog, bool saving) : dialog(dialog), saving(saving) {}
    bool Saving() const { return saving; }

    // Binds the wrapper to the control, once per window.
    void Control(int id, ui::Control& control);
    void Text(int id, std::string& value);
    // A fixed-size field: the text is cut to size - 1 characters and zero-terminated.
    void Text(int id, char* buffer, std::size_t size);
    void Check(int id, int& value);

private:
    Dialog& dialog;
    bool saving;
};

}  // namespace zenthar::ui
