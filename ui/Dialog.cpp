#include "ui/Dialog.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "ui/Controls.h"
#include "ui/Ui.h"

namespace zenthar::ui {
namespace {

Backend* installedBackend = nullptr;

// The modal runs in progress, outermost first. Only the user-interface thread runs dialogs;
// it is the thread that started the first one.
std::vector<Dialog*>& ModalRuns()
{
    static std::vector<Dialog*> runs;
    return runs;
}
std::atomic<std::thread::id> userInterfaceThread{};

bool OnUserInterfaceThread()
{
    return userInterfaceThread.load() == std::this_thread::get_id();
}

}  // namespace

void UseBackend(Backend* backend)
{
    installedBackend = backend;
}

Backend& CurrentBackend()
{
    // A program without a backend is a wiring fault of its entry point; there is nothing
    // sensible to show, so stop at once rather than dereference null.
    if (!installedBackend) std::abort();
    return *installedBackend;
}

Dialog::Dialog(int templateId, Dialog* parent) : templateId(templateId), parent(parent) {}

Dialog::~Dialog()
{
    // The derived dialog's members, custom controls among them, are gone by now: the window
    // must not call their hooks while it goes away.
    if (window) {
        window->ForgetHooks();
        window->Destroy();
    }
}

int Dialog::DoModal()
{
    if (ModalRuns().empty()) userInterfaceThread.store(std::this_thread::get_id());
    Dialog* owner = parent ? parent : InFront();
    ModalRuns().push_back(this);
    const int result = CurrentBackend().RunModal(*this, owner);
    // Runs end in the reverse order they started.
    if (!ModalRuns().empty()) ModalRuns().pop_back();
    return result;
}

bool Dialog::Create()
{
    if (window) return true;
    return CurrentBackend().CreateModeless(*this, parent ? parent : InFront());
}

Dialog* Dialog::InFront()
{
    if (!OnUserInterfaceThread()) return nullptr;
    const auto& runs = ModalRuns();
    for (auto it = runs.rbegin(); it != runs.rend(); ++it) {
        if ((*it)->HasWindow()) return *it;
    }
    return nullptr;
}

bool Dialog::IsWindowEnabled() const
{
    return window && window->IsEnabled();
}

void Dialog::ShowWindow(bool show)
{
    if (window) window->Show(show);
}

void Dialog::DestroyWindow()
{
    if (window) window->Destroy();
}

void Dialog::AttachWindow(DialogWindow* newWindow)
{
    window = newWindow;
    if (newWindow) ++windowSerial;
}

void Dialog::EndDialog(int result)
{
    if (window) window->EndDialog(result);
}

bool Dialog::UpdateData(bool saveAndValidate)
{
    if (!window) return false;
    ++lockout;
    DataExchange exchange(*this, saveAndValidate);
    DoDataExchange(exchange);
    --lockout;
    return true;
}

bool Dialog::OnInitDialog()
{
    UpdateData(false);
    return true;
}

void Dialog::OnOK()
{
    if (!UpdateData(true)) return;
    EndDialog(kIdOk);
}

void Dialog::OnCancel()
{
    EndDialog(kIdCancel);
}

bool Dialog::OnSysCommand(unsigned)
{
    return false;
}

bool Dialog::DispatchCommand(unsigned code, int id)
{
    if (lockout > 0) return false;
    for (const MessageEntry& entry : MessageMap()) {
        if (entry.code == code && entry.controlId == id) {
            (this->*entry.handler)();
            return true;
        }
    }
    if (code == kButtonClicked && id == kIdOk) {
        OnOK();
        return true;
    }
    if (code == kButtonClicked && id == kIdCancel) {
        OnCancel();
        return true;
    }
    return false;
}

void Dialog::Invalidate(bool erase)
{
    if (window) window->Invalidate(erase);
}

void Dialog::UpdateWindow()
{
    if (window) window->UpdateWindow();
}

bool Dialog::IsIconic() const
{
    return window && window->IsIconic();
}

Rect Dialog::ClientRect() const
{
    return window ? window->ClientRect() : Rect{};
}

void Dialog::SetIcon(IconHandle icon, bool big)
{
    if (window) window->SetIcon(icon, big);
}

bool Dialog::HasSystemMenu() const
{
    return window && window->HasSystemMenu();
}

bool Dialog::AppendSystemMenu(unsigned commandId, std::string_view text)
{
    return window && window->AppendSystemMenu(commandId, text);
}

void Dialog::EnableItem(int id, bool enable)
{
    if (window) window->EnableItem(id, enable);
}

void Dialog::ShowItem(int id, bool show)
{
    if (window) window->ShowItem(id, show);
}

std::string Dialog::GetItemText(int id) const
{
    return window ? window->GetItemText(id) : std::string();
}

void Dialog::SetItemText(int id, std::string_view text)
{
    if (window) window->SetItemText(id, text);
}

void Dialog::CheckRadioButton(int firstId, int lastId, int checkId)
{
    if (window) window->CheckRadioButton(firstId, lastId, checkId);
}

int Dialog::GetCheckedRadioButton(int firstId, int lastId) const
{
    if (!window) return 0;
    for (int id = firstId; id <= lastId; ++id) {
        if (window->HasItem(id) && window->GetCheck(id) == 1) return id;
    }
    return 0;
}

int Dialog::GetFocusId() const
{
    return window ? window->GetFocus() : 0;
}

void Dialog::GotoItem(int id)
{
    if (window) window->SetFocus(id);
}

int Dialog::MessageBox(std::string_view text, const char* caption, MessageIcon icon) const
{
    return ShowMessageBox(this, text, caption, icon);
}

PanelWindow* Dialog::ReplaceStatic(int id, PanelHook& hook)
{
    return window ? window->ReplaceStatic(id, hook) : nullptr;
}

void DataExchange::Control(int id, ui::Control& control)
{
    if (control.BoundSerial() == dialog.WindowSerial() && control.Owner() == &dialog && control.Id() == id) return;
    control.Bind(dialog, id, dialog.WindowSerial());
    if (auto* hook = dynamic_cast<ControlHook*>(&control)) dialog.Window()->AttachHook(id, *hook);
}

void DataExchange::Text(int id, std::string& value)
{
    if (saving) {
        value = dialog.GetItemText(id);
    } else {
        dialog.SetItemText(id, value);
    }
}

void DataExchange::Text(int id, char* buffer, std::size_t size)
{
    if (!buffer || size == 0) return;
    if (saving) {
        const std::string text = dialog.GetItemText(id);
        const std::size_t n = std::min(text.size(), size - 1);
        std::memset(buffer, 0, size);
        std::memcpy(buffer, text.data(), n);
    } else {
        dialog.SetItemText(id, std::string_view(buffer, strnlen(buffer, size)));
    }
}

void DataExchange::Check(int id, int& value)
{
    if (!dialog.Window()) return;
    if (saving) {
        value = dialog.Window()->GetCheck(id);
    } else {
        dialog.Window()->SetCheck(id, value);
    }
}

}  // namespace zenthar::ui
