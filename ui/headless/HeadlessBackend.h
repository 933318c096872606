// The headless user interface: dialogs made of in-memory controls that behave as the
// Windows ones do, answered by a scripted user, with a transcript of every dialog and
// message box in the order the user saw them.
#pragma once

#include <array>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "resources/DialogTemplates.h"
#include "ui/Backend.h"
#include "ui/Dialog.h"
#include "ui/headless/RecordingSurface.h"

namespace zenthar::ui::headless {

class HeadlessDialog;

struct Event {
    enum class Kind { DialogOpened, DialogCreated, DialogEnded, DialogDestroyed, MessageBox };
    Kind kind;
    int templateId = 0;   // the dialog; for a message box, 0
    std::string text;     // message box
    std::string caption;  // message box
    MessageIcon icon = MessageIcon::None;
    int ownerTemplateId = 0;  // message box or dialog: the owning dialog's template, 0 for none
    int result = 0;           // DialogEnded

    // One line, e.g. `open main`, `end main = IDCANCEL`, `message "Install Canceled" caption
    // "zenthar" icon none owner main`.
    std::string Describe() const;
};

// What the user does in one modal run of a dialog, in order.
class UserScript {
public:
    using Step = std::function<void(HeadlessDialog&)>;

    UserScript& Click(int id);
    // Replaces the edit box's text at once (one change notification).
    UserScript& SetText(int id, std::string text);
    // Replaces the edit box's text by typing it character by character (one change
    // notification per character; an empty text clears the box).
    UserScript& Type(int id, std::string text);
    UserScript& SelectCombo(int id, int index);
    UserScript& SelectComboText(int id, std::string text);
    UserScript& SelectRow(int id, int row);
    // A click on the check box of a row: toggles it and selects the row.
    UserScript& ToggleRow(int id, int row);
    // Four fields; an empty text is a blank field.
    UserScript& SetIpFields(int id, std::array<std::string, 4> fields);
    UserScript& Focus(int id);
    UserScript& PressEnter();
    UserScript& PressEscape();
    UserScript& PressSpace();
    UserScript& SysCommand(unsigned commandId);
    UserScript& Close();
    // Ends the dialog with `result`, as EndDialog from outside.
    UserScript& End(int result);
    // Anything else: a look at the dialog, or an action on it.
    UserScript& Then(Step step);

    const std::vector<Step>& Steps() const { return steps; }

private:
    std::vector<Step> steps;
};

// One dialog window made of in-memory controls.
class HeadlessDialog : public DialogWindow {
public:
    struct Row {
        std::string text;
        int check = 0;
    };
    struct Panel;
    struct Item {
        const resources::ControlTemplate* source = nullptr;
        int id = 0;
        resources::ControlClass controlClass = resources::ControlClass::Static;
        std::uint32_t style = 0;
        std::uint32_t exStyle = 0;
        std::string text;
        Rect rect;  // pixels, in the dialog's client area
        int check = 0;
        bool pushed = false;
        bool hasDialogFont = false;
        std::vector<Row> rows;
        int curSel = -1;
        int redrawHolds = 0;  // a list held undrawn while it is rebuilt
        int low = 0, high = 100, step = 10, pos = 0;
        std::array<std::optional<int>, 4> ipFields;
        ControlHook* hook = nullptr;
        std::unique_ptr<Panel> panel;
        std::unique_ptr<ControlWindow> controlWindow;

        bool Enabled() const;
        bool Visible() const;
    };

    HeadlessDialog(class HeadlessBackend& backend, Dialog& dialog, const resources::DialogTemplate& source, bool modal);
    ~HeadlessDialog() override;

    Dialog& Owner() const { return dialog; }
    int TemplateId() const { return source.id; }
    const resources::DialogTemplate& Template() const { return source; }
    bool Ended() const { return ended; }
    int Result() const { return result; }
    bool Destroyed() const { return destroyed; }
    bool Visible() const { return visible; }
    // A dialog (or message box) it owns disables it while that is up; a disabled dialog
    // takes no input from the user.
    bool DialogEnabled() const { return enabled; }
    void SetDialogEnabled(bool enable) { enabled = enable; }

    // Inspection.
    const Item* Find(int id) const;
    Item* Find(int id);
    std::vector<std::string> Rows(int id) const;
    std::vector<int> RowChecks(int id) const;
    // The push button that shows the default style, 0 when none.
    int DefaultButton() const;
    IconHandle Icon(bool big) const { return big ? bigIcon : smallIcon; }
    const std::vector<std::pair<unsigned, std::string>>& SystemMenuItems() const { return systemMenu; }
    int PaintCount() const { return paintCount; }

    // The user.
    void UserClick(int id);
    void UserSetText(int id, const std::string& text);
    void UserType(int id, const std::string& text);
    void UserSelectCombo(int id, int index);
    void UserSelectRow(int id, int row);
    void UserToggleRow(int id, int row);
    void UserSetIpFields(int id, const std::array<std::string, 4>& fields);
    void UserFocus(int id);
    void UserEnter();
    void UserEscape();
    void UserSpace();
    void UserSysCommand(unsigned commandId);

    // Drawing on request: the dialog's paint hook (empty when it leaves painting to the
    // default), a custom control's draw request, a panel's paint.
    std::vector<DrawOp> Paint();
    std::vector<DrawOp> DrawControl(int id);
    std::vector<DrawOp> PaintPanel(int id);

    // DialogWindow.
    void EndDialog(int result) override;
    void Show(bool show) override;
    void Destroy() override;
    void Invalidate(bool erase) override;
    void UpdateWindow() override;
    bool IsIconic() const override { return iconic; }
    bool IsEnabled() const override { return enabled; }
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
    void ReserveRows(int id, int rows) override;
    void HoldRedraw(int id, bool hold) override;
    int GetCount(int id) const override;
    int GetCurSel(int id) const override;
    int SetCurSel(int id, int index) override;
    std::string GetString(int id, int index) const override;
    int GetRowCheck(int id, int index) const override;
    void SetRowCheck(int id, int index, int state) override;
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

    // Used by the backend and the control windows.
    void Initialise();
    std::intptr_t SendToControl(Item& item, ControlMessage message);
    std::intptr_t DefaultControlProc(Item& item, const ControlMessage& message);
    void FocusNextAfter(const Item& item);
    void Notify(unsigned code, int id);

private:
    unsigned DlgCode(Item& item);
    bool IsPushButton(Item& item);
    bool MoveFocus(Item* item);
    void NextDlgCtl(Item* item);
    void ClearGroupSiblings(Item& radio);
    void SetButtonCheck(Item& item, int state);
    Item* FirstTabStop();
    // A usable control for the user: exists, visible and enabled.
    Item* Reachable(int id);
    // The control a step of the script acts on, when a person could act on it. A control
    // that is missing, or of another kind than `kind` (any kind when `kind` is null), is a
    // fault of the script, reported to the backend; a hidden or disabled one is only out of
    // the person's reach, and the step does nothing, as the person's click would.
    Item* StepTarget(int id, const std::optional<resources::ControlClass>& kind, const char* step);

    HeadlessBackend& backend;
    Dialog& dialog;
    const resources::DialogTemplate& source;
    bool modal;
    std::vector<std::unique_ptr<Item>> items;
    Size baseUnits;
    Item* focus = nullptr;
    int defaultId = 0;
    bool ended = false;
    int result = 0;
    bool destroyed = false;
    bool visible = false;
    bool enabled = true;
    bool iconic = false;
    bool invalid = false;
    int paintCount = 0;
    IconHandle bigIcon = 0;
    IconHandle smallIcon = 0;
    std::vector<std::pair<unsigned, std::string>> systemMenu;
};

class HeadlessBackend : public Backend {
public:
    HeadlessBackend();
    ~HeadlessBackend() override;

    // The user's actions for the next modal run of this template; each run takes the next
    // script given for its template.
    UserScript& Script(int templateId);
    // Called for every message box as it is shown; the box is then answered with OK.
    void OnMessageBox(std::function<void(const Event&)> answer) { messageBoxAnswer = std::move(answer); }
    // Called each time a dialog is painted: what the user sees at that moment can be read.
    void OnPainted(std::function<void(HeadlessDialog&)> observer) { paintObserver = std::move(observer); }
    void NotifyPainted(HeadlessDialog& window)
    {
        if (paintObserver) paintObserver(window);
    }

    const std::vector<Event>& Transcript() const { return transcript; }
    std::vector<std::string> TranscriptLines() const;
    // Faults of the test itself: a dialog without a script, a script that ran out before its
    // dialog ended, an action on a control that is missing, hidden or disabled where the
    // script expected it usable. The dialog is then ended with kIdCancel.
    const std::vector<std::string>& Errors() const { return errors; }
    void ReportError(std::string error) { errors.push_back(std::move(error)); }

    // The newest window of this template that is not destroyed, or null.
    HeadlessDialog* FindDialog(int templateId) const;

    void SetAppTitle(std::string title) { appTitle = std::move(title); }
    // Resources: by default every icon and bitmap of the program exists at its documented
    // size; a test can take one away or change a size.
    void RemoveResource(int id);
    void SetBitmapResource(int id, Size size) { bitmaps[id] = size; }
    int LiveIconCount() const;

    // Backend.
    int RunModal(Dialog& dialog, Dialog* parent) override;
    bool CreateModeless(Dialog& dialog, Dialog* parent) override;
    int MessageBox(const Dialog* owner, std::string_view text, std::string_view caption, MessageIcon icon) override;
    std::string AppTitle() const override { return appTitle; }
    IconHandle LoadIcon(int id, int width, int height) override;
    void DestroyIcon(IconHandle icon) override;
    BitmapHandle LoadBitmap(int id) override;
    Size BitmapSize(BitmapHandle bitmap) const override;
    Color SysColor(int index) const override;
    int SystemMetric(int index) const override;

    void Record(Event event) { transcript.push_back(std::move(event)); }

private:
    struct LoadedIcon {
        int id;
        Size size;
        bool live;
    };

    std::unique_ptr<HeadlessDialog> MakeWindow(Dialog& dialog, bool modal);

    std::map<int, std::deque<UserScript>> scripts;
    std::function<void(const Event&)> messageBoxAnswer;
    std::function<void(HeadlessDialog&)> paintObserver;
    std::vector<Event> transcript;
    std::vector<std::string> errors;
    std::vector<std::unique_ptr<HeadlessDialog>> windows;
    std::string appTitle = "zenthar";
    std::map<int, Size> icons;
    std::map<int, Size> bitmaps;
    std::vector<LoadedIcon> loadedIcons;
    std::vector<std::pair<int, Size>> loadedBitmaps;
};

}  // namespace zenthar::ui::headless
