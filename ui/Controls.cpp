#include "ui/Controls.h"

#include <algorithm>
#include <cctype>

#include "ui/Dialog.h"

namespace zenthar::ui {

namespace {

int SortWeight(char c)
{
    constexpr int kLetters = 0x300;
    constexpr int kDigits = 0x200;
    constexpr int kPunctuation = 0x100;
    const unsigned char u = static_cast<unsigned char>(c);
    if (std::isalpha(u)) return kLetters + std::tolower(u);
    if (std::isdigit(u)) return kDigits + u;
    return kPunctuation + u;
}

}  // namespace

int CompareSortedEntries(std::string_view a, std::string_view b)
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int wa = SortWeight(a[i]);
        const int wb = SortWeight(b[i]);
        if (wa != wb) return wa < wb ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

void Control::Bind(Dialog& dialog, int controlId, unsigned windowSerial)
{
    owner = &dialog;
    id = controlId;
    serial = windowSerial;
}

DialogWindow* Control::Window() const
{
    return owner ? owner->Window() : nullptr;
}

void Control::Enable(bool enable)
{
    if (auto* w = Window()) w->EnableItem(id, enable);
}

bool Control::IsEnabled() const
{
    auto* w = Window();
    return w && w->IsItemEnabled(id);
}

void Control::Show(bool show)
{
    if (auto* w = Window()) w->ShowItem(id, show);
}

bool Control::IsVisible() const
{
    auto* w = Window();
    return w && w->IsItemVisible(id);
}

void Control::SetFocus()
{
    if (auto* w = Window()) w->SetFocus(id);
}

std::string Control::GetText() const
{
    auto* w = Window();
    return w ? w->GetItemText(id) : std::string();
}

void Control::SetText(std::string_view text)
{
    if (auto* w = Window()) w->SetItemText(id, text);
}

void Control::SetDialogFont(bool redraw)
{
    if (auto* w = Window()) w->GiveDialogFont(id, redraw);
}

int CheckBox::GetCheck() const
{
    auto* w = Window();
    return w ? w->GetCheck(Id()) : 0;
}

void CheckBox::SetCheck(int state)
{
    if (auto* w = Window()) w->SetCheck(Id(), state);
}

void RadioRange::Check(int id)
{
    dialog.CheckRadioButton(firstId, lastId, id);
}

int RadioRange::Checked() const
{
    return dialog.GetCheckedRadioButton(firstId, lastId);
}

int ComboBox::AddString(std::string_view text)
{
    auto* w = Window();
    return w ? w->AddString(Id(), text) : -1;
}

void ComboBox::ResetContent()
{
    if (auto* w = Window()) w->ResetContent(Id());
}

int ComboBox::GetCount() const
{
    auto* w = Window();
    return w ? w->GetCount(Id()) : 0;
}

int ComboBox::GetCurSel() const
{
    auto* w = Window();
    return w ? w->GetCurSel(Id()) : -1;
}

int ComboBox::SetCurSel(int index)
{
    auto* w = Window();
    return w ? w->SetCurSel(Id(), index) : -1;
}

std::string ComboBox::GetLBText(int index) const
{
    auto* w = Window();
    return w ? w->GetString(Id(), index) : std::string();
}

int CheckListBox::AddString(std::string_view text)
{
    auto* w = Window();
    return w ? w->AddString(Id(), text) : -1;
}

int CheckListBox::DeleteString(int index)
{
    auto* w = Window();
    return w ? w->DeleteString(Id(), index) : -1;
}

void CheckListBox::ResetContent()
{
    if (auto* w = Window()) w->ResetContent(Id());
}

int CheckListBox::GetCount() const
{
    auto* w = Window();
    return w ? w->GetCount(Id()) : 0;
}

int CheckListBox::GetCurSel() const
{
    auto* w = Window();
    return w ? w->GetCurSel(Id()) : -1;
}

int CheckListBox::SetCurSel(int index)
{
    auto* w = Window();
    return w ? w->SetCurSel(Id(), index) : -1;
}

std::string CheckListBox::GetText(int index) const
{
    auto* w = Window();
    return w ? w->GetString(Id(), index) : std::string();
}

int CheckListBox::GetCheck(int index) const
{
    auto* w = Window();
    return w ? w->GetRowCheck(Id(), index) : 0;
}

void CheckListBox::SetCheck(int index, int state)
{
    if (auto* w = Window()) w->SetRowCheck(Id(), index, state);
}

void CheckListBox::ReserveRows(int rows)
{
    if (auto* w = Window()) w->ReserveRows(Id(), rows);
}

void CheckListBox::HoldRedraw(bool hold)
{
    if (auto* w = Window()) w->HoldRedraw(Id(), hold);
}

void ProgressBar::SetRange(int low, int high)
{
    if (auto* w = Window()) w->SetProgressRange(Id(), low, high);
}

void ProgressBar::SetStep(int step)
{
    if (auto* w = Window()) w->SetProgressStep(Id(), step);
}

int ProgressBar::SetPos(int pos)
{
    auto* w = Window();
    return w ? w->SetProgressPos(Id(), pos) : 0;
}

int ProgressBar::GetPos() const
{
    auto* w = Window();
    return w ? w->GetProgressPos(Id()) : 0;
}

int ProgressBar::StepIt()
{
    auto* w = Window();
    return w ? w->StepProgress(Id()) : 0;
}

void IpAddressField::SetAddress(std::uint32_t address)
{
    if (auto* w = Window()) w->SetIpAddress(Id(), address);
}

int IpAddressField::GetAddress(std::uint32_t& address) const
{
    address = 0;
    auto* w = Window();
    return w ? w->GetIpAddress(Id(), address) : 0;
}

int IpAddressField::GetAddress(std::uint8_t& field0, std::uint8_t& field1, std::uint8_t& field2,
                               std::uint8_t& field3) const
{
    std::uint32_t address = 0;
    const int filled = GetAddress(address);
    field0 = static_cast<std::uint8_t>(address >> 24);
    field1 = static_cast<std::uint8_t>(address >> 16);
    field2 = static_cast<std::uint8_t>(address >> 8);
    field3 = static_cast<std::uint8_t>(address);
    return filled;
}

}  // namespace zenthar::ui
