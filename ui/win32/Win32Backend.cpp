#include "ui/win32/Win32Backend.h"

#include <commctrl.h>

#include <string_view>

#include "ui/Dialog.h"
#include "ui/win32/Win32Dialog.h"

namespace zenthar::ui::win32 {
namespace {

HWND ParentHandle(Dialog* parent)
{
    return parent ? Win32Backend::DialogHandle(*parent) : nullptr;
}

}  // namespace

Win32Backend::Win32Backend() : instance(GetModuleHandleA(nullptr))
{
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                  ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS | ICC_INTERNET_CLASSES};
    InitCommonControlsEx(&controls);
}

Win32Backend::~Win32Backend()
{
    for (auto& window : modeless) {
        if (window->Handle()) DestroyWindow(window->Handle());
    }
}

int Win32Backend::RunModal(Dialog& dialog, Dialog* parent)
{
    const std::vector<WORD> layout = BuildDialogTemplate(dialog.TemplateId());
    if (layout.empty()) return -1;
    Win32Dialog window(*this, dialog, true);
    const INT_PTR result = DialogBoxIndirectParamA(instance, reinterpret_cast<LPCDLGTEMPLATEA>(layout.data()),
                                                   ParentHandle(parent), Win32Dialog::Procedure,
                                                   reinterpret_cast<LPARAM>(&window));
    return static_cast<int>(result);
}

bool Win32Backend::CreateModeless(Dialog& dialog, Dialog* parent)
{
    const std::vector<WORD> layout = BuildDialogTemplate(dialog.TemplateId());
    if (layout.empty()) return false;
    auto window = std::make_unique<Win32Dialog>(*this, dialog, false);
    HWND made = CreateDialogIndirectParamA(instance, reinterpret_cast<LPCDLGTEMPLATEA>(layout.data()),
                                           ParentHandle(parent), Win32Dialog::Procedure,
                                           reinterpret_cast<LPARAM>(window.get()));
    if (!made) return false;
    // Windows that are gone leave their objects behind until the next creation.
    std::erase_if(modeless, [](const auto& old) { return old->Handle() == nullptr; });
    modeless.push_back(std::move(window));
    return true;
}

int Win32Backend::MessageBox(const Dialog* owner, std::string_view text, std::string_view caption, MessageIcon icon)
{
    const std::string textCopy(text);
    const std::string captionCopy(caption);
    const UINT type = MB_OK | (icon == MessageIcon::Exclamation ? MB_ICONEXCLAMATION : 0);
    return ::MessageBoxA(owner ? DialogHandle(*owner) : nullptr, textCopy.c_str(), captionCopy.c_str(), type);
}

std::string Win32Backend::AppTitle() const
{
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH - 1);
    std::string name(path, length < MAX_PATH ? length : 0);
    const std::size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos) name.erase(0, slash + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos) name.erase(dot);
#if defined(_WIN64)
    // The 64-bit build ships as the twin of the 32-bit program, under its name with "64"
    // added. The person started the 32-bit program: its name is the one their boxes carry.
    constexpr std::string_view twinMark = "64";
    if (name.size() > twinMark.size() && name.ends_with(twinMark)) name.erase(name.size() - twinMark.size());
#endif
    return name;
}

IconHandle Win32Backend::LoadIcon(int id, int width, int height)
{
    return reinterpret_cast<IconHandle>(
        LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_ICON, width, height, LR_DEFAULTCOLOR));
}

void Win32Backend::DestroyIcon(IconHandle icon)
{
    ::DestroyIcon(reinterpret_cast<HICON>(icon));
}

BitmapHandle Win32Backend::LoadBitmap(int id)
{
    return reinterpret_cast<BitmapHandle>(
        LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
}

Size Win32Backend::BitmapSize(BitmapHandle bitmap) const
{
    BITMAP header{};
    if (!bitmap || !GetObjectA(reinterpret_cast<HBITMAP>(bitmap), sizeof header, &header)) return {};
    return {header.bmWidth, header.bmHeight};
}

Color Win32Backend::SysColor(int index) const
{
    return GetSysColor(index);
}

int Win32Backend::SystemMetric(int index) const
{
    return GetSystemMetrics(index);
}

HWND Win32Backend::DialogHandle(const Dialog& dialog)
{
    auto* window = dynamic_cast<Win32Dialog*>(dialog.Window());
    return window ? window->Handle() : nullptr;
}

bool Win32Backend::DialogEnded(const Dialog& dialog)
{
    auto* window = dynamic_cast<Win32Dialog*>(dialog.Window());
    return !window || window->Ended();
}

int Win32Backend::TemplateIdOf(HWND window) const
{
    auto found = live.find(window);
    return found == live.end() ? 0 : found->second->Owner().TemplateId();
}

void Win32Backend::Register(HWND window, Win32Dialog* dialog)
{
    live[window] = dialog;
}

void Win32Backend::Unregister(HWND window)
{
    live.erase(window);
}

}  // namespace zenthar::ui::win32
