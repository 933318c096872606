// What the framework contract suite needs from a backend: run a dialog modally while a
// user acts on it, and report the message boxes the user saw. One driver per backend; the
// suite itself never names a backend.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/Dialog.h"

namespace zenthar::ui::contract {

struct SeenMessageBox {
    std::string text;
    std::string caption;
    bool exclamation = false;
    int ownerTemplateId = 0;    // 0: no owner
    bool ownerEnabled = false;  // the owner took input while the box was up
};

// A user in front of the open dialog. Clicks go where a mouse would: a hidden or disabled
// control cannot be clicked.
class User {
public:
    virtual ~User() = default;
    virtual void Click(int id) = 0;
    // Selects the whole text of the edit box and types `text` over it, one key at a time.
    virtual void Type(int id, const std::string& text) = 0;
    virtual void SelectCombo(int id, int index) = 0;
    virtual void SelectRow(int id, int row) = 0;
    // A click on the row's check box.
    virtual void ToggleRow(int id, int row) = 0;
    virtual void SetIpFields(int id, const std::array<std::string, 4>& fields) = 0;
    virtual void Focus(int id) = 0;
    virtual void PressEnter() = 0;
    virtual void PressEscape() = 0;
    virtual void PressSpace() = 0;
    virtual void SysCommand(unsigned commandId) = 0;
    // The push button that shows the default style, 0 when none.
    virtual int DefaultButton() = 0;
    // Makes the control (or the panel) with this id draw itself now.
    virtual void Redraw(int id) = 0;
    // Ends the dialog from outside, for a test whose user is done.
    virtual void End(int result) = 0;
};

class Driver {
public:
    virtual ~Driver() = default;
    // Runs `dialog` modally; `act` is the user, called once the dialog is up.
    virtual int RunModal(Dialog& dialog, std::function<void(User&)> act) = 0;
    virtual std::vector<SeenMessageBox> MessageBoxes() const = 0;
};

// Defined by the backend's driver; installs the backend for the life of the driver.
std::unique_ptr<Driver> MakeDriver();

}  // namespace zenthar::ui::contract
