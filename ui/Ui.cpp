#include "ui/Ui.h"

#include "ui/Dialog.h"

namespace zenthar::ui {

int ShowMessageBox(const Dialog* owner, std::string_view text, const char* caption, MessageIcon icon)
{
    Backend& backend = CurrentBackend();
    const std::string title = caption ? std::string(caption) : backend.AppTitle();
    // A box without an owner leaves the dialogs behind it enabled: a user could change what
    // the box is asking about. A box of another thread must not own (and so attach to) the
    // user-interface thread's windows, so it goes without.
    return backend.MessageBox(owner ? owner : Dialog::InFront(), text, title, icon);
}

int AppMessageBox(std::string_view text)
{
    return ShowMessageBox(nullptr, text, nullptr, MessageIcon::Exclamation);
}

std::string AppTitle()
{
    return CurrentBackend().AppTitle();
}

IconHandle LoadIconResource(int id, int width, int height)
{
    return CurrentBackend().LoadIcon(id, width, height);
}

void DestroyIconHandle(IconHandle icon)
{
    if (icon) CurrentBackend().DestroyIcon(icon);
}

BitmapHandle LoadBitmapResource(int id)
{
    return CurrentBackend().LoadBitmap(id);
}

Size GetBitmapSize(BitmapHandle bitmap)
{
    return bitmap ? CurrentBackend().BitmapSize(bitmap) : Size{};
}

Color GetSysColor(int index)
{
    return CurrentBackend().SysColor(index);
}

int GetSystemMetric(int index)
{
    return CurrentBackend().SystemMetric(index);
}

}  // namespace zenthar::ui
