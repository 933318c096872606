#include "connection/UsbWarningDialog.h"

#include "resources/ResourceIds.h"

namespace zenthar {

UsbWarningDialog::UsbWarningDialog(ui::Dialog* parent) : ui::Dialog(resources::kUsbWarningDialog, parent) {}

}  // namespace zenthar
