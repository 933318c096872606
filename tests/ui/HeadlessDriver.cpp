// The contract suite's driver for the headless backend.
#include "tests/ui/UiDriver.h"
#include "ui/headless/HeadlessBackend.h"

namespace zenthar::ui::contract {
namespace {

using headless::HeadlessBackend;
using headless::HeadlessDialog;

class HeadlessUser : public User {
public:
    explicit HeadlessUser(HeadlessDialog& dialog) : dialog(dialog) {}
    void Click(int id) override { dialog.UserClick(id); }
    void Type(int id, const std::string& text) override { dialog.UserType(id, text); }
    void SelectCombo(int id, int index) override { dialog.UserSelectCombo(id, index); }
    void SelectRow(int id, int row) override { dialog.UserSelectRow(id, row); }
    void ToggleRow(int id, int row) override { dialog.UserToggleRow(id, row); }
    void SetIpFields(int id, const std::array<std::string, 4>& fields) override { dialog.UserSetIpFields(id, fields); }
    void Focus(int id) override { dialog.UserFocus(id); }
    void PressEnter() override { dialog.UserEnter(); }
    void PressEscape() override { dialog.UserEscape(); }
    void PressSpace() override { dialog.UserSpace(); }
    void SysCommand(unsigned commandId) override { dialog.UserSysCommand(commandId); }
    int DefaultButton() override { return dialog.DefaultButton(); }
    void Redraw(int id) override
    {
        const HeadlessDialog::Item* item = dialog.Find(id);
        if (item && item->panel) {
            dialog.PaintPanel(id);
        } else {
            dialog.DrawControl(id);
        }
    }
    void End(int result) override { dialog.EndDialog(result); }

private:
    HeadlessDialog& dialog;
};

class HeadlessDriver : public Driver {
public:
    HeadlessDriver()
    {
        UseBackend(&backend);
        backend.OnMessageBox([this](const headless::Event& event) {
            const HeadlessDialog* owner = event.ownerTemplateId ? backend.FindDialog(event.ownerTemplateId) : nullptr;
            seen.push_back({event.text, event.caption, event.icon == MessageIcon::Exclamation, event.ownerTemplateId,
                            owner && owner->DialogEnabled()});
        });
    }
    ~HeadlessDriver() override { UseBackend(nullptr); }

    int RunModal(Dialog& dialog, std::function<void(User&)> act) override
    {
        backend.Script(dialog.TemplateId()).Then([act](HeadlessDialog& window) {
            HeadlessUser user(window);
            act(user);
            // Like the real user who closes what is left open, so no test waits forever.
            if (!window.Ended()) window.EndDialog(-2);
        });
        return dialog.DoModal();
    }

    std::vector<SeenMessageBox> MessageBoxes() const override { return seen; }

private:
    HeadlessBackend backend;
    std::vector<SeenMessageBox> seen;
};

}  // namespace

std::unique_ptr<Driver> MakeDriver()
{
    return std::make_unique<HeadlessDriver>();
}

}  // namespace zenthar::ui::contract
