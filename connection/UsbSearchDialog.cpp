#include "connection/UsbSearchDialog.h"

#include "resources/ResourceIds.h"
#include "resources/UsbSearchDialogIds.h"

namespace zenthar {

UsbSearchDialog::UsbSearchDialog(ui::Dialog* parent) : ui::Dialog(resources::kUsbSearchDialog, parent) {}

void UsbSearchDialog::DoDataExchange(ui::DataExchange& exchange)
{
    exchange.Control(resources::search_ids::kSearchBar, bar);
}

void UsbSearchDialog::SetBarPos(int position)
{
    bar.SetPos(position);
}

int UsbSearchDialog::BarPos() const
{
    return bar.GetPos();
}

}  // namespace zenthar
