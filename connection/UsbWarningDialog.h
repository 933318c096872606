// "USB Connection Warning": what to do before pressing OK. Nothing beyond the standard
// initialisation; Escape ends it with cancel.
#pragma once

#include "ui/Dialog.h"

namespace zenthar {

class UsbWarningDialog : public ui::Dialog {
public:
    explicit UsbWarningDialog(ui::Dialog* parent = nullptr);
};

}  // namespace zenthar
