// The about box, opened from the main dialog's system menu.
#pragma once

#include "ui/Dialog.h"

namespace zenthar {

class AboutDialog : public ui::Dialog {
public:
    explicit AboutDialog(ui::Dialog* parent = nullptr);
};

}  // namespace zenthar
