// The real user interface: dialogs created from the templates as in-memory dialog templates,
// message boxes, icons and bitmaps from the program's resources.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ui/Backend.h"

namespace zenthar::ui::win32 {

class Win32Dialog;

class Win32Backend : public Backend {
public:
    Win32Backend();
    ~Win32Backend() override;

    int RunModal(Dialog& dialog, Dialog* parent) override;
    bool CreateModeless(Dialog& dialog, Dialog* parent) override;
    int MessageBox(const Dialog* owner, std::string_view text, std::string_view caption, MessageIcon icon) override;
    std::string AppTitle() const override;
    IconHandle LoadIcon(int id, int width, int height) override;
    void DestroyIcon(IconHandle icon) override;
    BitmapHandle LoadBitmap(int id) override;
    Size BitmapSize(BitmapHandle bitmap) const override;
    Color SysColor(int index) const override;
    int SystemMetric(int index) const override;

    // For test drivers and tools: the window of a dialog (null when it has none), whether
    // it was ended, and which of our dialogs a window is (0 when it is none of ours).
    static HWND DialogHandle(const Dialog& dialog);
    static bool DialogEnded(const Dialog& dialog);
    int TemplateIdOf(HWND window) const;

    // Called by the dialog windows.
    void Register(HWND window, Win32Dialog* dialog);
    void Unregister(HWND window);

private:
    HINSTANCE instance;
    std::map<HWND, Win32Dialog*> live;
    std::vector<std::unique_ptr<Win32Dialog>> modeless;
};

// The in-memory dialog template (DLGTEMPLATE with its items) for a template id; empty when
// there is no such template.
std::vector<WORD> BuildDialogTemplate(int templateId);

}  // namespace zenthar::ui::win32
