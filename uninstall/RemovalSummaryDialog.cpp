#include "uninstall/RemovalSummaryDialog.h"

#include "resources/UninstallerIds.h"

namespace zenthar::uninstall {

namespace ids = resources::removal_summary;

RemovalSummaryDialog::RemovalSummaryDialog(const std::vector<Outcome>& outcomes, const std::vector<std::string>& left,
                                           ui::Dialog* parent)
    : ui::Dialog(resources::kRemovalSummaryDialog, parent), outcomes(outcomes), left(left)
{
}

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

std::string SummaryHeadline(const std::vector<Outcome>& outcomes, std::size_t leftOnPurpose)
{
    std::size_t failed = 0;
    for (const Outcome& outcome : outcomes) failed += outcome.error != 0;
    // "Everything" would deny the lines below it that say what stays.
    if (failed == 0 && leftOnPurpose > 0)
        return "Removal completed !!!\nEverything below was removed except the parts marked \"Left\", which stay.";
    if (failed == 0) return "Removal completed !!!\nEverything listed below was removed from this computer.";
    return "Removal completed with errors !!!\n" + std::to_string(failed) + " of " + std::to_string(outcomes.size()) +
           (outcomes.size() == 1 ? " part" : " parts") +
           " could not be removed; the system's error number is given with each.";
}

}  // namespace zenthar::uninstall
