#include "uninstall/RemovalProgressDialog.h"

#include <string>

#include "resources/UninstallerIds.h"
#include "uninstall/RemovalTexts.h"

namespace zenthar::uninstall {

namespace ids = resources::removal_progress;

RemovalProgressDialog::RemovalProgressDialog() : ui::Dialog(resources::kRemovalProgressDialog) {}

void RemovalProgressDialog::DoDataExchange(ui::DataExchange& exchange)
{
    exchange.Control(ids::kStatusLine, statusLine);
    exchange.Control(ids::kProgressBar, bar);
}

bool RemovalProgressDialog::OnInitDialog()
{
    ui::Dialog::OnInitDialog();
    bar.SetRange(0, 100);
    bar.SetPos(0);
    return true;
}

bool RemovalProgressDialog::Open()
{
    if (!Create()) return false;
    ShowWindow();
    UpdateWindow();
    return true;
}

void RemovalProgressDialog::Removing(const Part& part, int position)
{
    ShowStep("Removing " + Describe(part) + " ...", position);
}

void RemovalProgressDialog::Finished()
{
    ShowStep(kRemovalFinishedStatus, 100);
}

void RemovalProgressDialog::ShowStep(std::string_view status, int position)
{
    statusLine.SetText(status);
    bar.SetPos(position);
    Invalidate(false);
    UpdateWindow();
}

}  // namespace zenthar::uninstall
