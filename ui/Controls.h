// Wrappers for the controls of a dialog, bound to their control ids by the dialog's data
// exchange. A wrapper that is not bound (or whose dialog has no window) does nothing and
// reads as empty.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "ui/Backend.h"

namespace zenthar::ui {

class Dialog;

class Control {
public:
    Control() = default;
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    int Id() const { return id; }
    Dialog* Owner() const { return owner; }
    bool IsBound() const { return owner != nullptr; }

    void Enable(bool enable = true);
    bool IsEnabled() const;
    void Show(bool show = true);
    bool IsVisible() const;
    void SetFocus();
    std::string GetText() const;
    // On an edit box this raises its change notification, delivered before the call returns.
    void SetText(std::string_view text);
    // WM_SETFONT with the dialog's own font.
    void SetDialogFont(bool redraw = true);

    // Called by DataExchange::Control.
    void Bind(Dialog& dialog, int controlId, unsigned serial);
    unsigned BoundSerial() const { return serial; }

protected:
    DialogWindow* Window() const;

private:
    Dialog* owner = nullptr;
    int id = 0;
    unsigned serial = 0;
};

class PushButton : public Control {};

class StaticText : public Control {};

class Edit : public Control {};

class CheckBox : public Control {
public:
    int GetCheck() const;
    void SetCheck(int state);
};

// Radio buttons checked and cleared as one range of ids.
class RadioRange {
public:
    RadioRange(Dialog& dialog, int firstId, int lastId) : dialog(dialog), firstId(firstId), lastId(lastId) {}
    // Checks `id` and clears every other radio whose id is in the range.
    void Check(int id);
    int Checked() const;

private:
    Dialog& dialog;
    int firstId;
    int lastId;
};

// How a sorted combo or list box orders two entries, as lstrcmpi does: without regard to case,
// and with punctuation before digits before letters ("COM1:" < "COM10:" < "COM2:"). Negative,
// 0 or positive.
int CompareSortedEntries(std::string_view a, std::string_view b);

class ComboBox : public Control {
public:
    // Returns the new entry's index (its sorted place when the template sorts the box).
    int AddString(std::string_view text);
    void ResetContent();
    int GetCount() const;
    int GetCurSel() const;
    int SetCurSel(int index);
    std::string GetLBText(int index) const;
};

// An owner-drawn list whose rows carry a check box with three states: 0 unchecked,
// 1 checked, 2 indeterminate. A row without a stored state reads as 0.
class CheckListBox : public Control {
public:
    int AddString(std::string_view text);
    int DeleteString(int index);
    void ResetContent();
    int GetCount() const;
    int GetCurSel() const;
    int SetCurSel(int index);
    std::string GetText(int index) const;
    int GetCheck(int index) const;
    void SetCheck(int index, int state);
    void ReserveRows(int rows);
    void HoldRedraw(bool hold);
};

class ProgressBar : public Control {
public:
    void SetRange(int low, int high);
    void SetStep(int step);
    int SetPos(int pos);
    int GetPos() const;
    int StepIt();
};

class IpAddressField : public Control {
public:
    void SetAddress(std::uint32_t address);
    // Returns the number of fields that are not blank; blank fields read as 0.
    int GetAddress(std::uint8_t& field0, std::uint8_t& field1, std::uint8_t& field2, std::uint8_t& field3) const;
    int GetAddress(std::uint32_t& address) const;
};

}  // namespace zenthar::ui
