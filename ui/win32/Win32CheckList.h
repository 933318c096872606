// The check-list box: an owner-drawn list box whose rows carry a check state (0 unchecked,
// 1 checked, 2 indeterminate) in their item data, drawn with a box at the left of each row.
#pragma once

#include <windows.h>

namespace zenthar::ui::win32 {

// The check-list box's reaction to the user: a click on a row's box or the space key toggles
// the row (unchecked <-> checked, indeterminate -> unchecked).
int ToggledCheck(int state);

// Makes the list toggle its rows on a click on the box and on the space key; once per list.
void AttachCheckList(HWND list);

// The height of a row in `dialog`'s font: one line, and never lower than the check box.
UINT CheckListRowHeight(HWND dialog);

void DrawCheckListRow(const DRAWITEMSTRUCT& item);

}  // namespace zenthar::ui::win32
