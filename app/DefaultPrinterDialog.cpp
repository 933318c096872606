#include "app/DefaultPrinterDialog.h"

#include "resources/DefaultPrinterDialogIds.h"
#include "resources/ResourceIds.h"

namespace zenthar {

namespace ids = resources::default_ids;

DefaultPrinterDialog::DefaultPrinterDialog(int& setDefaultRequested, ui::Dialog* parent)
    : ui::Dialog(resources::kDefaultPrinterDialog, parent), setDefaultRequested(setDefaultRequested)
{}

void DefaultPrinterDialog::DoDataExchange(ui::DataExchange& exchange)
{
    exchange.Control(ids::kOk, okButton);
    exchange.Control(ids::kSetDefaultCheck, defaultCheck);
}

std::span<const ui::MessageEntry> DefaultPrinterDialog::MessageMap() const
{
    static const ui::MessageEntry map[] = {
        ui::OnClicked<DefaultPrinterDialog>(ids::kSetDefaultCheck, &DefaultPrinterDialog::OnCheckClicked),
    };
    return map;
}

bool DefaultPrinterDialog::OnInitDialog()
{
    ui::Dialog::OnInitDialog();
    okButton.SetDialogFont(true);
    okButton.SetIcons(resources::kOkIcon, 32, 32, 0, 32, 32, 0, 32, 32);
    okButton.SetFlat(false, true);
    // Most installations want the new printer as the default: the box starts ticked.
    defaultCheck.SetCheck(1);
    setDefaultRequested = 1;
    return true;
}

void DefaultPrinterDialog::OnCheckClicked()
{
    setDefaultRequested = defaultCheck.GetCheck() == 1 ? 1 : 0;
}

}  // namespace zenthar
