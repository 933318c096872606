// Services of the user interface that belong to no dialog: message boxes, the application's
// title, icons, bitmaps, system colours and metrics. All go to the installed backend.
#pragma once

#include <string>
#include <string_view>

#include "ui/Backend.h"
#include "ui/DialogTypes.h"

namespace zenthar::ui {

// OK button only. A null owner gives the box to the dialog in front (Dialog::InFront), which
// stays disabled while it is up; only a box shown from another thread, or while no dialog
// runs, has no owner. A null caption shows the application's title.
int ShowMessageBox(const Dialog* owner, std::string_view text, const char* caption, MessageIcon icon);
// The application message box: exclamation icon, the application's title, over the dialog
// in front.
int AppMessageBox(std::string_view text);
std::string AppTitle();

IconHandle LoadIconResource(int id, int width = 0, int height = 0);
void DestroyIconHandle(IconHandle icon);
BitmapHandle LoadBitmapResource(int id);
Size GetBitmapSize(BitmapHandle bitmap);
Color GetSysColor(int index);
int GetSystemMetric(int index);

}  // namespace zenthar::ui
