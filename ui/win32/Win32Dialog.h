// One dialog's real window: its dialog procedure and its controls by id. The check-list
// boxes, the hooked controls and the panels have files of their own.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <vector>

#include "resources/DialogTemplates.h"
#include "ui/Backend.h"
#include "ui/Dialog.h"

namespace zenthar::ui::win32 {

class Win32Backend;
class HookedControl;
class Panel;

class Win32Dialog : public DialogWindow {
public:
    Win32Dialog(Win32Backend& backend, Dialog& dialog, bool modal);
    ~Win32Dialog() override;

    static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND Handle() const { return window; }
    Dialog& Owner() const { return dialog; }
    bool Ended() const { return ended; }
    bool Modal() const { return modal; }

    void EndDialog(int result) override;
    void Show(bool show) override;
    void Destroy() override;
    void Invalidate(bool erase) override;
    void UpdateWindow() override;
    bool IsIconic() const override;
    bool IsEnabled() const override;
    Rect ClientRect() const override;
    void SetIcon(IconHandle icon, bool big) override;
    bool HasSystemMenu() const override;
    bool AppendSystemMenu(unsigned commandId, std::string_view text) override;
    bool HasItem(int id) const override;
    std::string GetItemText(int id) const override;
    void SetItemText(int id, std::string_view text) override;
    void EnableItem(int id, bool enable) override;
    bool IsItemEnabled(int id) const override;
    void ShowItem(int id, bool show) override;
    bool IsItemVisible(int id) const override;
    void SetFocus(int id) override;
    int GetFocus() const override;
    void GiveDialogFont(int id, bool redraw) override;
    int GetCheck(int id) const override;
    void SetCheck(int id, int state) override;
    void CheckRadioButton(int firstId, int lastId, int checkId) override;
    int AddString(int id, std::string_view text) override;
    int DeleteString(int id, int index) override;
    void ResetContent(int id) override;
    int GetCount(int id) const override;
    int GetCurSel(int id) const override;
    int SetCurSel(int id, int index) override;
    std::string GetString(int id, int index) const override;
    int GetRowCheck(int id, int index) const override;
    void SetRowCheck(int id, int index, int state) override;
    void ReserveRows(int id, int rows) override;
    void HoldRedraw(int id, bool hold) override;
    void SetProgressRange(int id, int low, int high) override;
    void SetProgressStep(int id, int step) override;
    int SetProgressPos(int id, int pos) override;
    int GetProgressPos(int id) const override;
    int StepProgress(int id) override;
    void SetIpAddress(int id, std::uint32_t address) override;
    int GetIpAddress(int id, std::uint32_t& address) const override;
    void AttachHook(int id, ControlHook& hook) override;
    PanelWindow* ReplaceStatic(int id, PanelHook& hook) override;
    void ForgetHooks() override;

private:
    static INT_PTR Message(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    HWND Item(int id) const;
    resources::ControlClass ClassOf(int id) const;
    bool IsList(int id) const { return ClassOf(id) == resources::ControlClass::ListBox; }
    bool IsCombo(int id) const { return ClassOf(id) == resources::ControlClass::ComboBox; }
    bool IsCheckList(int id) const;

    Win32Backend& backend;
    Dialog& dialog;
    const resources::DialogTemplate* source;
    bool modal;
    HWND window = nullptr;
    bool ended = false;
    std::map<int, std::unique_ptr<HookedControl>> hooks;
    std::map<int, std::unique_ptr<Panel>> panels;
    std::vector<std::unique_ptr<Panel>> retiredPanels;
    // The controls whose drawing is held off, with the number of holds.
    std::map<int, int> redrawHolds;
    // The control windows found so far, by id: under Wine each GetDlgItem is a round trip to
    // the server, and rebuilding a 200-row list asks for its control some 600 times.
    mutable std::map<int, HWND> items;
};

}  // namespace zenthar::ui::win32
