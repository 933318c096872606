// What a user-interface backend provides. The program's entry point (or a test) creates one
// backend and installs it with UseBackend; the dialogs and controls reach it only through
// this interface.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "ui/CustomControl.h"
#include "ui/DialogTypes.h"

namespace zenthar::ui {

class Dialog;

// One dialog's window and its controls, addressed by control id. Operations on a missing
// control do nothing and read as empty, 0 or -1 (as the Windows calls on a null window).
class DialogWindow {
public:
    virtual ~DialogWindow() = default;

    // The dialog window.
    virtual void EndDialog(int result) = 0;
    virtual void Show(bool show) = 0;
    virtual void Destroy() = 0;
    virtual void Invalidate(bool erase) = 0;
    virtual void UpdateWindow() = 0;
    virtual bool IsIconic() const = 0;
    // Whether the dialog window takes input.
    virtual bool IsEnabled() const = 0;
    virtual Rect ClientRect() const = 0;
    virtual void SetIcon(IconHandle icon, bool big) = 0;
    virtual bool HasSystemMenu() const = 0;
    // A separator and then the item; false when the dialog has no system menu.
    virtual bool AppendSystemMenu(unsigned commandId, std::string_view text) = 0;

    // Any control.
    virtual bool HasItem(int id) const = 0;
    virtual std::string GetItemText(int id) const = 0;
    virtual void SetItemText(int id, std::string_view text) = 0;
    virtual void EnableItem(int id, bool enable) = 0;
    virtual bool IsItemEnabled(int id) const = 0;
    virtual void ShowItem(int id, bool show) = 0;
    virtual bool IsItemVisible(int id) const = 0;
    virtual void SetFocus(int id) = 0;
    // The id of the control that has the focus, 0 when none of the dialog's controls has it.
    virtual int GetFocus() const = 0;
    // WM_SETFONT with the dialog's own font.
    virtual void GiveDialogFont(int id, bool redraw) = 0;

    // Buttons.
    virtual int GetCheck(int id) const = 0;
    virtual void SetCheck(int id, int state) = 0;
    virtual void CheckRadioButton(int firstId, int lastId, int checkId) = 0;

    // List boxes and combo boxes. Indices are 0-based; -1 is "none" / failure.
    virtual int AddString(int id, std::string_view text) = 0;
    virtual int DeleteString(int id, int index) = 0;
    virtual void ResetContent(int id) = 0;
    virtual int GetCount(int id) const = 0;
    virtual int GetCurSel(int id) const = 0;
    virtual int SetCurSel(int id, int index) = 0;
    virtual std::string GetString(int id, int index) const = 0;
    // Check-list rows: 0 unchecked, 1 checked, 2 indeterminate.
    virtual int GetRowCheck(int id, int index) const = 0;
    virtual void SetRowCheck(int id, int index, int state) = 0;
    // A list rebuilt at length: room for `rows` rows made at once, and its drawing held off
    // until the last release (holds nest), when it is drawn once, whole.
    virtual void ReserveRows(int id, int rows) = 0;
    virtual void HoldRedraw(int id, bool hold) = 0;

    // Progress bars.
    virtual void SetProgressRange(int id, int low, int high) = 0;
    virtual void SetProgressStep(int id, int step) = 0;
    virtual int SetProgressPos(int id, int pos) = 0;  // returns the previous position
    virtual int GetProgressPos(int id) const = 0;
    virtual int StepProgress(int id) = 0;  // returns the previous position

    // IP address fields: the address most significant byte first. Reading returns the number
    // of fields that are not blank; blank fields read as 0.
    virtual void SetIpAddress(int id, std::uint32_t address) = 0;
    virtual int GetIpAddress(int id, std::uint32_t& address) const = 0;

    // Custom controls.
    virtual void AttachHook(int id, ControlHook& hook) = 0;
    // Replaces the control `id` (a static, or a panel made earlier) by a new panel window;
    // null when there is no such control.
    virtual PanelWindow* ReplaceStatic(int id, PanelHook& hook) = 0;
    // Drops every hook without calling it (their owners are being destroyed).
    virtual void ForgetHooks() = 0;
};

class Backend {
public:
    virtual ~Backend() = default;

    // Creates the dialog's window from its template, initialises it and runs it until it
    // ends; returns the result (-1 when the window could not be created).
    virtual int RunModal(Dialog& dialog, Dialog* parent) = 0;
    // Creates the dialog's window and initialises it; it stays until Destroy.
    virtual bool CreateModeless(Dialog& dialog, Dialog* parent) = 0;

    // OK button only; returns the button pressed (kIdOk).
    virtual int MessageBox(const Dialog* owner, std::string_view text, std::string_view caption, MessageIcon icon) = 0;
    // The program file's base name.
    virtual std::string AppTitle() const = 0;

    // From the program's resources; width and height 0 give the resource's own size.
    virtual IconHandle LoadIcon(int id, int width, int height) = 0;
    virtual void DestroyIcon(IconHandle icon) = 0;
    virtual BitmapHandle LoadBitmap(int id) = 0;
    virtual Size BitmapSize(BitmapHandle bitmap) const = 0;

    virtual Color SysColor(int index) const = 0;
    virtual int SystemMetric(int index) const = 0;
};

// The backend the dialogs use; set once by the entry point or the test. Null until then.
void UseBackend(Backend* backend);
Backend& CurrentBackend();

}  // namespace zenthar::ui
