#include "connection/MessageBoxNotices.h"

#include "ui/Ui.h"

namespace zenthar {

void MessageBoxNotices::Show(const Notice& notice) const
{
    const ui::Dialog* owner = notice.owner == NoticeOwner::MainWindow ? mainWindow : nullptr;
    const ui::MessageIcon icon = notice.icon == NoticeIcon::Exclamation ? ui::MessageIcon::Exclamation
                                                                        : ui::MessageIcon::None;
    ui::ShowMessageBox(owner, notice.text, notice.caption, icon);
}

}  // namespace zenthar
