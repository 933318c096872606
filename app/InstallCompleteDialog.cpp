#include "app/InstallCompleteDialog.h"

#include "resources/InstallCompleteDialogIds.h"
#include "resources/ResourceIds.h"

namespace zenthar {

namespace ids = resources::complete_ids;

InstallCompleteDialog::InstallCompleteDialog(ui::Dialog* parent) : ui::Dialog(resources::kInstallCompleteDialog, parent)
{}

void InstallCompleteDialog::DoDataExchange(ui::DataExchange& exchange)
{
    exchange.Control(ids::kOk, okButton);
    exchange.Control(ids::kCompletedText, completedText);
}

bool InstallCompleteDialog::OnInitDialog()
{
    ui::Dialog::OnInitDialog();
    okButton.SetDialogFont(true);
    okButton.SetIcons(resources::kOkIcon, 32, 32, 0, 32, 32, 0, 32, 32);
    okButton.SetFlat(false, true);
    return true;
}

}  // namespace zenthar
