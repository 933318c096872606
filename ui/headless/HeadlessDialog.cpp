#include <algorithm>
#include <cctype>
#include <string>

#include "resources/WindowStyles.h"
#include "ui/Controls.h"
#include "ui/headless/HeadlessBackend.h"

namespace zenthar::ui::headless {

using resources::ControlClass;
namespace rs = resources;

struct HeadlessDialog::Panel : PanelWindow {
    HeadlessDialog* owner = nullptr;
    int id = 0;
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    Rect rect;
    PanelHook* hook = nullptr;
    bool invalid = false;

    int Id() const override { return id; }
    std::uint32_t Style() const override { return style; }
    Rect ClientRect() const override { return {0, 0, rect.Width(), rect.Height()}; }
    void Invalidate(bool) override { invalid = true; }
};

namespace {

// The window of a control, as a hook sees it.
class ItemWindow : public ControlWindow {
public:
    ItemWindow(HeadlessDialog& dialog, HeadlessDialog::Item& item) : dialog(dialog), item(item) {}
    int Id() const override { return item.id; }
    std::uint32_t Style() const override { return item.style; }
    void SetStyle(std::uint32_t style, bool) override { item.style = style; }
    std::string Text() const override { return item.text; }
    bool IsEnabled() const override { return item.Enabled(); }
    bool HasFocus() const override { return dialog.GetFocus() == item.id && item.id != 0; }
    Rect ClientRect() const override { return {0, 0, item.rect.Width(), item.rect.Height()}; }
    void Invalidate(bool) override {}
    std::intptr_t Send(const ControlMessage& message) override { return dialog.SendToControl(item, message); }
    std::intptr_t CallDefault(const ControlMessage& message) override
    {
        return dialog.DefaultControlProc(item, message);
    }
    void FocusNextInTabOrder() override { dialog.FocusNextAfter(item); }

private:
    HeadlessDialog& dialog;
    HeadlessDialog::Item& item;
};

int MulDiv(int value, int numerator, int denominator)
{
    const long long product = static_cast<long long>(value) * numerator;
    return static_cast<int>((product + (product >= 0 ? denominator / 2 : -denominator / 2)) / denominator);
}

// Dialog base units of the fonts our templates name, as Windows measures them at 96 dpi.
Size BaseUnits(const rs::DialogTemplate& source)
{
    constexpr Size kSystemFont{8, 16};
    constexpr Size kNinePoint{6, 13};    // MS Sans Serif up to 9 points
    constexpr Size kElevenPoint{7, 16};  // up to 11 points
    constexpr Size kLarger{8, 20};
    constexpr int kNinePoints = 9;
    constexpr int kElevenPoints = 11;
    if (std::string_view(source.fontName) == "System") return kSystemFont;
    if (source.pointSize <= kNinePoints) return kNinePoint;
    if (source.pointSize <= kElevenPoints) return kElevenPoint;
    return kLarger;
}

bool IsButton(const HeadlessDialog::Item& item)
{
    return item.controlClass == ControlClass::Button;
}

std::uint32_t ButtonType(const HeadlessDialog::Item& item)
{
    return item.style & rs::kBsTypeMask;
}

bool IsList(const HeadlessDialog::Item& item)
{
    return item.controlClass == ControlClass::ListBox || item.controlClass == ControlClass::ComboBox;
}

bool Sorted(const HeadlessDialog::Item& item)
{
    if (item.controlClass == ControlClass::ListBox) return item.style & rs::kLbsSort;
    if (item.controlClass == ControlClass::ComboBox) return item.style & rs::kCbsSort;
    return false;
}

bool IsRadio(const HeadlessDialog::Item& item)
{
    return IsButton(item) && (ButtonType(item) == rs::kBsRadioButton || ButtonType(item) == rs::kBsAutoRadioButton);
}

}  // namespace

bool HeadlessDialog::Item::Enabled() const
{
    return !(style & rs::kWsDisabled);
}

bool HeadlessDialog::Item::Visible() const
{
    return style & rs::kWsVisible;
}

HeadlessDialog::HeadlessDialog(HeadlessBackend& backend, Dialog& dialog, const rs::DialogTemplate& source, bool modal)
    : backend(backend), dialog(dialog), source(source), modal(modal), baseUnits(BaseUnits(source))
{
    for (const rs::ControlTemplate& control : source.controls) {
        auto item = std::make_unique<Item>();
        item->source = &control;
        item->id = control.id;
        item->controlClass = control.controlClass;
        item->style = control.style;
        item->exStyle = control.exStyle;
        item->text = control.text ? control.text : "";
        item->rect = {MulDiv(control.x, baseUnits.cx, 4), MulDiv(control.y, baseUnits.cy, 8),
                      MulDiv(control.x + control.cx, baseUnits.cx, 4), MulDiv(control.y + control.cy, baseUnits.cy, 8)};
        // As the dialog manager does: the first default push button of the template gives the
        // dialog its default id.
        if (defaultId == 0 && IsButton(*item) && ButtonType(*item) == rs::kBsDefPushButton) defaultId = control.id;
        items.push_back(std::move(item));
    }
}

HeadlessDialog::~HeadlessDialog() = default;

void HeadlessDialog::Initialise()
{
    const bool defaultFocus = dialog.RunInitDialog();
    if (defaultFocus && !ended && !destroyed) MoveFocus(FirstTabStop());
}

const HeadlessDialog::Item* HeadlessDialog::Find(int id) const
{
    for (const auto& item : items) {
        if (item->id == id) return item.get();
    }
    return nullptr;
}

HeadlessDialog::Item* HeadlessDialog::Find(int id)
{
    for (const auto& item : items) {
        if (item->id == id) return item.get();
    }
    return nullptr;
}

HeadlessDialog::Item* HeadlessDialog::Reachable(int id)
{
    Item* item = Find(id);
    if (!enabled || !item || !item->Visible() || !item->Enabled()) return nullptr;
    return item;
}

HeadlessDialog::Item* HeadlessDialog::StepTarget(int id, const std::optional<ControlClass>& kind, const char* step)
{
    const Item* item = Find(id);
    const std::string where = "dialog " + std::to_string(dialog.TemplateId()) + ": " + step + " on control " +
                              std::to_string(id);
    if (!item) {
        backend.ReportError(where + ", which the dialog does not have");
        return nullptr;
    }
    if (kind && item->controlClass != *kind) {
        backend.ReportError(where + ", which is not a control of that kind");
        return nullptr;
    }
    return Reachable(id);
}

std::vector<std::string> HeadlessDialog::Rows(int id) const
{
    std::vector<std::string> texts;
    if (const Item* item = Find(id)) {
        for (const Row& row : item->rows) texts.push_back(row.text);
    }
    return texts;
}

std::vector<int> HeadlessDialog::RowChecks(int id) const
{
    std::vector<int> checks;
    if (const Item* item = Find(id)) {
        for (const Row& row : item->rows) checks.push_back(row.check);
    }
    return checks;
}

int HeadlessDialog::DefaultButton() const
{
    for (const auto& item : items) {
        if (!IsButton(*item)) continue;
        if (item->hook) {
            if (const_cast<HeadlessDialog*>(this)->DlgCode(*item) & kDlgcDefPushButton) return item->id;
        } else if (ButtonType(*item) == rs::kBsDefPushButton) {
            return item->id;
        }
    }
    return 0;
}

// ---- Messages to controls ----

std::intptr_t HeadlessDialog::SendToControl(Item& item, ControlMessage message)
{
    if (item.hook && item.controlWindow) {
        std::intptr_t answer = 0;
        if (item.hook->OnControlMessage(*item.controlWindow, message, answer)) return answer;
    }
    return DefaultControlProc(item, message);
}

std::intptr_t HeadlessDialog::DefaultControlProc(Item& item, const ControlMessage& message)
{
    switch (message.message) {
    case kWmGetDlgCode:
        if (IsButton(item)) {
            switch (ButtonType(item)) {
            case rs::kBsPushButton: return kDlgcButton | kDlgcUndefPushButton;
            case rs::kBsDefPushButton: return kDlgcButton | kDlgcDefPushButton;
            case rs::kBsRadioButton:
            case rs::kBsAutoRadioButton: return kDlgcButton | kDlgcRadioButton;
            case rs::kBsGroupBox: return kDlgcStatic;
            default: return kDlgcButton;
            }
        }
        if (item.controlClass == ControlClass::Static) return kDlgcStatic;
        return 0;
    case kBmSetStyle:
        if (IsButton(item)) item.style = (item.style & ~rs::kBsTypeMask) | (message.wParam & rs::kBsTypeMask);
        return 0;
    case kBmSetState: item.pushed = message.wParam != 0; return 0;
    case kWmLButtonDown:
    case kWmLButtonDblClk:
        MoveFocus(&item);
        if (IsButton(item)) item.pushed = true;
        return 0;
    default: return 0;
    }
}

unsigned HeadlessDialog::DlgCode(Item& item)
{
    return static_cast<unsigned>(SendToControl(item, {kWmGetDlgCode, 0, 0}));
}

bool HeadlessDialog::IsPushButton(Item& item)
{
    return IsButton(item) && (DlgCode(item) & (kDlgcDefPushButton | kDlgcUndefPushButton));
}

void HeadlessDialog::Notify(unsigned code, int id)
{
    dialog.DispatchCommand(code, id);
}

// ---- Focus and the default push button ----

HeadlessDialog::Item* HeadlessDialog::FirstTabStop()
{
    for (const auto& item : items) {
        if ((item->style & rs::kWsTabStop) && item->Visible() && item->Enabled()) return item.get();
    }
    return nullptr;
}

bool HeadlessDialog::MoveFocus(Item* item)
{
    if (item && (!item->Visible() || !item->Enabled())) return false;
    if (item &&
        (item->controlClass == ControlClass::Static || (IsButton(*item) && ButtonType(*item) == rs::kBsGroupBox)))
        return false;
    if (item == focus) return true;
    Item* old = focus;
    focus = item;
    // As SetFocus: the control losing the focus hears of it first (told whether another one
    // gets it), then the one that gets it.
    if (old) SendToControl(*old, {kWmKillFocus, item ? 1u : 0u, 0});
    if (item && focus == item) SendToControl(*item, {kWmSetFocus, old ? 1u : 0u, 0});
    return true;
}

// The dialog manager's own focus move (WM_NEXTDLGCTL: the keyboard, or the program). A push
// button it moves to becomes the default one; another button takes the default style away
// from the old default; any other control leaves the default as it is. A click that focuses
// a button does not change the default: measured on the real dialog manager.
void HeadlessDialog::NextDlgCtl(Item* item)
{
    if (!MoveFocus(item) || !item) return;
    const unsigned code = DlgCode(*item);
    if (!(code & (kDlgcUndefPushButton | kDlgcDefPushButton | kDlgcButton))) return;
    for (const auto& other : items) {
        if (other.get() != item && IsPushButton(*other) && (DlgCode(*other) & kDlgcDefPushButton))
            SendToControl(*other, {kBmSetStyle, rs::kBsPushButton, 1});
    }
    if (code & kDlgcUndefPushButton) SendToControl(*item, {kBmSetStyle, rs::kBsDefPushButton, 1});
    if (code & (kDlgcUndefPushButton | kDlgcDefPushButton)) defaultId = item->id;
}

// A checked automatic radio button clears the other radios of its group that are visible and
// enabled. Groups start at a control with WS_GROUP; the last group of the dialog goes on
// with the first controls up to the first WS_GROUP.
void HeadlessDialog::ClearGroupSiblings(Item& radio)
{
    const std::size_t count = items.size();
    std::size_t at = 0;
    while (at < count && items[at].get() != &radio) ++at;
    if (at == count) return;
    std::size_t start = at;
    for (std::size_t step = 0; step < count && !(items[start]->style & rs::kWsGroup); ++step)
        start = (start + count - 1) % count;
    for (std::size_t step = 0; step < count; ++step) {
        Item& sibling = *items[(start + step) % count];
        if (step > 0 && (sibling.style & rs::kWsGroup)) break;
        if (&sibling != &radio && IsRadio(sibling) && sibling.Visible() && sibling.Enabled())
            SetButtonCheck(sibling, 0);
    }
}

// BM_SETCHECK: radios carry the tab stop while checked.
void HeadlessDialog::SetButtonCheck(Item& item, int state)
{
    const std::uint32_t type = ButtonType(item);
    // Only three-state boxes keep the indeterminate state; the others show it as checked.
    if (state == 2 && type != rs::kBs3State && type != rs::kBsAuto3State) state = 1;
    item.check = std::clamp(state, 0, 2);
    if (IsRadio(item)) {
        if (item.check) {
            item.style |= rs::kWsTabStop;
        } else {
            item.style &= ~rs::kWsTabStop;
        }
    }
    if (type == rs::kBsAutoRadioButton && item.check == 1) ClearGroupSiblings(item);
}

void HeadlessDialog::FocusNextAfter(const Item& from)
{
    auto at = std::find_if(items.begin(), items.end(), [&](const auto& item) { return item.get() == &from; });
    if (at == items.end()) return;
    const std::size_t start = static_cast<std::size_t>(at - items.begin());
    for (std::size_t step = 1; step < items.size(); ++step) {
        Item& candidate = *items[(start + step) % items.size()];
        if ((candidate.style & rs::kWsTabStop) && candidate.Visible() && candidate.Enabled()) {
            NextDlgCtl(&candidate);
            return;
        }
    }
    focus = nullptr;
}

// ---- The user ----

void HeadlessDialog::UserClick(int id)
{
    Item* item = StepTarget(id, ControlClass::Button, "click");
    if (!item) return;
    SendToControl(*item, {kWmLButtonDown, 0, 0});
    if (!focus || focus != item) MoveFocus(item);
    item->pushed = false;
    switch (ButtonType(*item)) {
    case rs::kBsGroupBox: return;
    case rs::kBsAutoCheckBox: item->check = item->check ? 0 : 1; break;
    case rs::kBsAuto3State: item->check = (item->check + 1) % 3; break;
    case rs::kBsAutoRadioButton: SetButtonCheck(*item, 1); break;
    default: break;
    }
    Notify(kButtonClicked, id);
}

void HeadlessDialog::UserSetText(int id, const std::string& text)
{
    Item* item = StepTarget(id, ControlClass::Edit, "set text");
    if (!item) return;
    MoveFocus(item);
    SetItemText(id, text);
}

void HeadlessDialog::UserType(int id, const std::string& text)
{
    Item* item = StepTarget(id, ControlClass::Edit, "type");
    if (!item) return;
    MoveFocus(item);
    if (text.empty()) {
        SetItemText(id, "");
        return;
    }
    for (std::size_t n = 1; n <= text.size(); ++n) SetItemText(id, text.substr(0, n));
}

void HeadlessDialog::UserSelectCombo(int id, int index)
{
    Item* item = StepTarget(id, ControlClass::ComboBox, "pick");
    if (!item) return;
    if (index < 0 || index >= static_cast<int>(item->rows.size())) return;
    MoveFocus(item);
    item->curSel = index;
    Notify(kComboSelChange, id);
}

void HeadlessDialog::UserSelectRow(int id, int row)
{
    Item* item = StepTarget(id, ControlClass::ListBox, "select a row");
    if (!item) return;
    if (row < 0 || row >= static_cast<int>(item->rows.size())) return;
    MoveFocus(item);
    item->curSel = row;
    if (item->style & rs::kLbsNotify) Notify(kListSelChange, id);
}

void HeadlessDialog::UserToggleRow(int id, int row)
{
    Item* item = StepTarget(id, ControlClass::ListBox, "tick a row");
    if (!item) return;
    if (row < 0 || row >= static_cast<int>(item->rows.size())) return;
    MoveFocus(item);
    int& check = item->rows[static_cast<std::size_t>(row)].check;
    check = check == 0 ? 1 : 0;
    // The click also selects the row; the list reports the selection when the button is let go.
    item->curSel = row;
    if (item->style & rs::kLbsNotify) Notify(kListSelChange, id);
}

void HeadlessDialog::UserSetIpFields(int id, const std::array<std::string, 4>& fields)
{
    Item* item = StepTarget(id, ControlClass::IpAddress, "type an address");
    if (!item) return;
    MoveFocus(item);
    for (std::size_t i = 0; i < 4; ++i) {
        if (fields[i].empty()) {
            item->ipFields[i].reset();
        } else {
            // The control takes digits only and holds a field to 255.
            int value = 0;
            for (char c : fields[i]) {
                if (std::isdigit(static_cast<unsigned char>(c))) value = std::min(255, value * 10 + (c - '0'));
            }
            item->ipFields[i] = value;
        }
    }
}

void HeadlessDialog::UserFocus(int id)
{
    if (Item* item = StepTarget(id, std::nullopt, "focus")) NextDlgCtl(item);
}

void HeadlessDialog::UserEnter()
{
    if (!enabled) return;
    if (focus && IsButton(*focus) && (DlgCode(*focus) & kDlgcDefPushButton)) {
        Notify(kButtonClicked, focus->id);
        return;
    }
    if (defaultId != 0) {
        Item* button = Find(defaultId);
        if (!button || button->Enabled()) Notify(kButtonClicked, defaultId);
        return;
    }
    Notify(kButtonClicked, kIdOk);
}

void HeadlessDialog::UserEscape()
{
    if (!enabled) return;
    Notify(kButtonClicked, kIdCancel);
}

void HeadlessDialog::UserSpace()
{
    if (!enabled || !focus) return;
    if (IsButton(*focus)) {
        UserClick(focus->id);
    } else if (focus->controlClass == ControlClass::ListBox && focus->curSel >= 0 &&
               focus->curSel < static_cast<int>(focus->rows.size())) {
        int& check = focus->rows[static_cast<std::size_t>(focus->curSel)].check;
        check = check == 0 ? 1 : 0;
        // Reported as a click on the box is, once the row shows its new state.
        if (focus->style & rs::kLbsNotify) Notify(kListSelChange, focus->id);
    }
}

void HeadlessDialog::UserSysCommand(unsigned commandId)
{
    if (!enabled) return;
    if (dialog.DispatchSysCommand(commandId)) return;
    constexpr unsigned kScMinimize = 0xF020;
    constexpr unsigned kScRestore = 0xF120;
    constexpr unsigned kSysCommandMask = 0xFFF0u;  // the low four bits are Windows' own
    switch (commandId & kSysCommandMask) {
    case kScClose: Notify(kButtonClicked, kIdCancel); break;
    case kScMinimize: iconic = true; break;
    case kScRestore: iconic = false; break;
    default: break;
    }
}

// ---- Drawing on request ----

std::vector<DrawOp> HeadlessDialog::Paint()
{
    RecordingSurface surface;
    ++paintCount;
    invalid = false;
    dialog.DispatchPaint(surface);
    backend.NotifyPainted(*this);
    return surface.Ops();
}

std::vector<DrawOp> HeadlessDialog::DrawControl(int id)
{
    RecordingSurface surface;
    Item* item = Find(id);
    if (!item || !item->hook || !item->controlWindow) return {};
    DrawItemInfo info;
    info.item = {0, 0, item->rect.Width(), item->rect.Height()};
    if (item->pushed) info.state |= kOdsSelected;
    if (focus == item) info.state |= kOdsFocus;
    if (!item->Enabled()) info.state |= kOdsDisabled;
    item->hook->OnDrawItem(*item->controlWindow, surface, info);
    return surface.Ops();
}

std::vector<DrawOp> HeadlessDialog::PaintPanel(int id)
{
    RecordingSurface surface;
    Item* item = Find(id);
    if (!item || !item->panel || !item->panel->hook) return {};
    item->panel->invalid = false;
    item->panel->hook->OnPaint(*item->panel, surface);
    return surface.Ops();
}

// ---- DialogWindow ----

void HeadlessDialog::EndDialog(int value)
{
    if (ended) return;
    ended = true;
    result = value;
}

void HeadlessDialog::Show(bool show)
{
    visible = show;
}

void HeadlessDialog::Destroy()
{
    if (destroyed) return;
    destroyed = true;
    visible = false;
    for (const auto& item : items) {
        if (item->hook) item->hook->OnDetach();
        if (item->panel && item->panel->hook) item->panel->hook->OnPanelDestroyed();
    }
    ForgetHooks();
    if (!modal) backend.Record({Event::Kind::DialogDestroyed, source.id, {}, {}, MessageIcon::None, 0, 0});
    dialog.AttachWindow(nullptr);
}

void HeadlessDialog::Invalidate(bool)
{
    invalid = true;
}

void HeadlessDialog::UpdateWindow()
{
    if (invalid) Paint();
}

Rect HeadlessDialog::ClientRect() const
{
    if (iconic) return {0, 0, 32, 32};
    return {0, 0, MulDiv(source.cx, baseUnits.cx, 4), MulDiv(source.cy, baseUnits.cy, 8)};
}

void HeadlessDialog::SetIcon(IconHandle icon, bool big)
{
    (big ? bigIcon : smallIcon) = icon;
}

bool HeadlessDialog::HasSystemMenu() const
{
    return source.style & rs::kWsSysMenu;
}

bool HeadlessDialog::AppendSystemMenu(unsigned commandId, std::string_view text)
{
    if (!HasSystemMenu()) return false;
    systemMenu.emplace_back(0u, std::string());
    systemMenu.emplace_back(commandId, std::string(text));
    return true;
}

bool HeadlessDialog::HasItem(int id) const
{
    return Find(id) != nullptr;
}

std::string HeadlessDialog::GetItemText(int id) const
{
    const Item* item = Find(id);
    if (!item) return {};
    if (item->controlClass == ControlClass::ComboBox) {
        if (item->curSel < 0 || item->curSel >= static_cast<int>(item->rows.size())) return {};
        return item->rows[static_cast<std::size_t>(item->curSel)].text;
    }
    return item->text;
}

void HeadlessDialog::SetItemText(int id, std::string_view text)
{
    Item* item = Find(id);
    if (!item) return;
    item->text = std::string(text);
    // An edit box reports every change of its text, also one the program makes, and it does
    // so before the setter returns.
    if (item->controlClass == ControlClass::Edit) Notify(kEditChange, id);
}

void HeadlessDialog::EnableItem(int id, bool enable)
{
    Item* item = Find(id);
    if (!item || item->Enabled() == enable) return;
    if (enable) {
        item->style &= ~rs::kWsDisabled;
    } else {
        item->style |= rs::kWsDisabled;
        // As the system does: a disabled control cannot keep the focus, which goes nowhere
        // before the control is told it was disabled.
        if (focus == item) MoveFocus(nullptr);
    }
    SendToControl(*item, {kWmEnable, enable ? 1u : 0u, 0});
}

bool HeadlessDialog::IsItemEnabled(int id) const
{
    const Item* item = Find(id);
    return item && item->Enabled();
}

void HeadlessDialog::ShowItem(int id, bool show)
{
    if (Item* item = Find(id)) {
        if (show) {
            item->style |= rs::kWsVisible;
        } else {
            item->style &= ~rs::kWsVisible;
        }
    }
}

bool HeadlessDialog::IsItemVisible(int id) const
{
    const Item* item = Find(id);
    return item && item->Visible();
}

void HeadlessDialog::SetFocus(int id)
{
    if (Item* item = Find(id)) NextDlgCtl(item);
}

int HeadlessDialog::GetFocus() const
{
    return focus ? focus->id : 0;
}

void HeadlessDialog::GiveDialogFont(int id, bool)
{
    if (Item* item = Find(id)) item->hasDialogFont = true;
}

int HeadlessDialog::GetCheck(int id) const
{
    const Item* item = Find(id);
    return item && IsButton(*item) ? item->check : 0;
}

void HeadlessDialog::SetCheck(int id, int state)
{
    Item* item = Find(id);
    if (item && IsButton(*item)) SetButtonCheck(*item, state);
}

void HeadlessDialog::CheckRadioButton(int firstId, int lastId, int checkId)
{
    for (int id = firstId; id <= lastId; ++id) {
        Item* item = Find(id);
        if (item && IsButton(*item)) SetButtonCheck(*item, id == checkId ? 1 : 0);
    }
}

int HeadlessDialog::AddString(int id, std::string_view text)
{
    Item* item = Find(id);
    if (!item || !IsList(*item)) return -1;
    std::size_t at = item->rows.size();
    if (Sorted(*item)) {
        at = 0;
        while (at < item->rows.size() && ui::CompareSortedEntries(item->rows[at].text, text) <= 0) ++at;
    }
    item->rows.insert(item->rows.begin() + static_cast<std::ptrdiff_t>(at), Row{std::string(text), 0});
    if (item->curSel >= static_cast<int>(at)) ++item->curSel;
    return static_cast<int>(at);
}

int HeadlessDialog::DeleteString(int id, int index)
{
    Item* item = Find(id);
    if (!item || !IsList(*item) || index < 0 || index >= static_cast<int>(item->rows.size())) return -1;
    item->rows.erase(item->rows.begin() + index);
    if (item->curSel == index) {
        item->curSel = -1;
    } else if (item->curSel > index) {
        --item->curSel;
    }
    return static_cast<int>(item->rows.size());
}

void HeadlessDialog::ResetContent(int id)
{
    Item* item = Find(id);
    if (!item || !IsList(*item)) return;
    item->rows.clear();
    item->curSel = -1;
}

void HeadlessDialog::ReserveRows(int id, int rows)
{
    Item* item = Find(id);
    if (item && IsList(*item) && rows > 0) item->rows.reserve(static_cast<std::size_t>(rows));
}

void HeadlessDialog::HoldRedraw(int id, bool hold)
{
    Item* item = Find(id);
    if (!item) return;
    if (hold) ++item->redrawHolds;
    else if (item->redrawHolds > 0) --item->redrawHolds;
}

int HeadlessDialog::GetCount(int id) const
{
    const Item* item = Find(id);
    return item && IsList(*item) ? static_cast<int>(item->rows.size()) : -1;
}

int HeadlessDialog::GetCurSel(int id) const
{
    const Item* item = Find(id);
    return item && IsList(*item) ? item->curSel : -1;
}

int HeadlessDialog::SetCurSel(int id, int index)
{
    Item* item = Find(id);
    if (!item || !IsList(*item)) return -1;
    if (index < 0 || index >= static_cast<int>(item->rows.size())) {
        item->curSel = -1;
        return -1;
    }
    item->curSel = index;
    return index;
}

std::string HeadlessDialog::GetString(int id, int index) const
{
    const Item* item = Find(id);
    if (!item || !IsList(*item) || index < 0 || index >= static_cast<int>(item->rows.size())) return {};
    return item->rows[static_cast<std::size_t>(index)].text;
}

int HeadlessDialog::GetRowCheck(int id, int index) const
{
    const Item* item = Find(id);
    if (!item || !IsList(*item) || index < 0 || index >= static_cast<int>(item->rows.size())) return 0;
    return item->rows[static_cast<std::size_t>(index)].check;
}

void HeadlessDialog::SetRowCheck(int id, int index, int state)
{
    Item* item = Find(id);
    if (!item || !IsList(*item) || index < 0 || index >= static_cast<int>(item->rows.size())) return;
    item->rows[static_cast<std::size_t>(index)].check = std::clamp(state, 0, 2);
}

void HeadlessDialog::SetProgressRange(int id, int low, int high)
{
    Item* item = Find(id);
    if (!item || item->controlClass != ControlClass::Progress) return;
    item->low = low;
    item->high = high;
    item->pos = std::clamp(item->pos, std::min(low, high), std::max(low, high));
}

void HeadlessDialog::SetProgressStep(int id, int step)
{
    Item* item = Find(id);
    if (item && item->controlClass == ControlClass::Progress) item->step = step;
}

int HeadlessDialog::SetProgressPos(int id, int pos)
{
    Item* item = Find(id);
    if (!item || item->controlClass != ControlClass::Progress) return 0;
    const int previous = item->pos;
    item->pos = std::clamp(pos, std::min(item->low, item->high), std::max(item->low, item->high));
    return previous;
}

int HeadlessDialog::GetProgressPos(int id) const
{
    const Item* item = Find(id);
    return item && item->controlClass == ControlClass::Progress ? item->pos : 0;
}

int HeadlessDialog::StepProgress(int id)
{
    Item* item = Find(id);
    if (!item || item->controlClass != ControlClass::Progress) return 0;
    const int previous = item->pos;
    int pos = item->pos + item->step;
    // Past the end the bar starts over from the beginning.
    if (item->high > item->low && pos > item->high) pos = (pos - item->low) % (item->high - item->low) + item->low;
    item->pos = pos;
    return previous;
}

void HeadlessDialog::SetIpAddress(int id, std::uint32_t address)
{
    Item* item = Find(id);
    if (!item || item->controlClass != ControlClass::IpAddress) return;
    for (int i = 0; i < 4; ++i)
        item->ipFields[static_cast<std::size_t>(i)] = static_cast<int>((address >> (24 - 8 * i)) & 0xFF);
}

int HeadlessDialog::GetIpAddress(int id, std::uint32_t& address) const
{
    address = 0;
    const Item* item = Find(id);
    if (!item || item->controlClass != ControlClass::IpAddress) return 0;
    int filled = 0;
    for (int i = 0; i < 4; ++i) {
        const auto& field = item->ipFields[static_cast<std::size_t>(i)];
        if (!field) continue;
        ++filled;
        address |= static_cast<std::uint32_t>(*field & 0xFF) << (24 - 8 * i);
    }
    return filled;
}

void HeadlessDialog::AttachHook(int id, ControlHook& hook)
{
    Item* item = Find(id);
    if (!item) return;
    item->hook = &hook;
    item->controlWindow = std::make_unique<ItemWindow>(*this, *item);
    hook.OnAttach(*item->controlWindow);
}

PanelWindow* HeadlessDialog::ReplaceStatic(int id, PanelHook& hook)
{
    Item* item = Find(id);
    if (!item || (item->controlClass != ControlClass::Static && !item->panel)) return nullptr;
    if (item->panel && item->panel->hook) item->panel->hook->OnPanelDestroyed();
    auto panel = std::make_unique<Panel>();
    panel->owner = this;
    panel->id = id;
    panel->style = item->style;
    panel->exStyle = item->exStyle;
    panel->rect = item->rect;
    panel->hook = &hook;
    item->panel = std::move(panel);
    // A new window learns its size as it is created.
    hook.OnSize(*item->panel, item->rect.Width(), item->rect.Height());
    return item->panel.get();
}

void HeadlessDialog::ForgetHooks()
{
    for (const auto& item : items) {
        item->hook = nullptr;
        if (item->panel) item->panel->hook = nullptr;
    }
}

}  // namespace zenthar::ui::headless
