#include "uninstall/ConfirmRemovalDialog.h"

#include "resources/UninstallerIds.h"
#include "ui/Ui.h"
#include "uninstall/RemovalTexts.h"

namespace zenthar::uninstall {

namespace ids = resources::confirm_removal;

ConfirmRemovalDialog::ConfirmRemovalDialog(const Plan& plan) : ui::Dialog(resources::kConfirmRemovalDialog), plan(plan)
{
    icon = ui::LoadIconResource(resources::kUninstallIcon);
}

ConfirmRemovalDialog::~ConfirmRemovalDialog()
{
    ui::DestroyIconHandle(icon);
}

bool ConfirmRemovalDialog::OnInitDialog()
{
    ui::Dialog::OnInitDialog();
    SetIcon(icon, true);
    SetIcon(icon, false);
    for (const Part& part : plan.parts) Window()->AddString(ids::kPartList, PartRow(part));
    // Enter answers the question; the list is only to read.
    GotoItem(ids::kRemoveButton);
    return false;
}

std::string PartRow(const Part& part)
{
    std::string row = Describe(part);
    if (!row.empty() && row[0] >= 'a' && row[0] <= 'z') row[0] = static_cast<char>(row[0] - 'a' + 'A');
    return row;
}

}  // namespace zenthar::uninstall
