// The engine's notices shown as the dialogs show them: in message boxes. It lives with the
// lowest folder that owns windows, so that the engine below it names no window.
#pragma once

#include "core/Notice.h"

namespace zenthar {
namespace ui {
class Dialog;
}

// MainWindow notices are owned by `mainWindow` (nullptr: the window in front).
class MessageBoxNotices final : public NoticeSink {
public:
    explicit MessageBoxNotices(const ui::Dialog* mainWindow) : mainWindow(mainWindow) {}
    void Show(const Notice& notice) const override;

private:
    const ui::Dialog* mainWindow;
};

}  // namespace zenthar
