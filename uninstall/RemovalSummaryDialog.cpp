#include "uninstall/RemovalSummaryDialog.h"

#include "resources/UninstallerIds.h"
#include "uninstall/RemovalTexts.h"

namespace zenthar::uninstall {

namespace ids = resources::removal_summary;

RemovalSummaryDialog::RemovalSummaryDialog(const std::vector<Outcome>& outcomes, const std::vector<std::string>& left,
                                           ui::Dialog* parent)
    : ui::Dialog(resources::kRemovalSummaryDialog, parent), outcomes(outcomes), left(left)
{}

bool RemovalSummaryDialog::OnInitDialog()
{
    ui::Dialog::OnInitDialog();
    SetItemText(ids::kHeadline, SummaryHeadline(outcomes, left.size()));
    std::string rows;
    for (const Outcome& outcome : outcomes) rows += (rows.empty() ? "" : "\r\n") + Describe(outcome);
    for (const std::string& line : left) rows += (rows.empty() ? "" : "\r\n") + line;
    SetItemText(ids::kOutcomeList, rows);
    GotoItem(ids::kOkButton);
    return false;
}

}  // namespace zenthar::uninstall
