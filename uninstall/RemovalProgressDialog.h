// The removal under way: a modeless window with a status line and a bar, as the installer's
// main dialog shows its run. It is the engine's view; each step is painted at once, since no
// message loop runs while the parts are removed.
#pragma once

#include <string_view>

#include "ui/Controls.h"
#include "ui/Dialog.h"
#include "uninstall/Removal.h"

namespace zenthar::uninstall {

class RemovalProgressDialog : public ui::Dialog, public RemovalView {
public:
    RemovalProgressDialog();

    // Makes and shows the window with an empty bar; false when it could not be made (the
    // removal runs all the same, unseen).
    bool Open();
    void Removing(const Part& part, int position) override;
    // The bar full and the status saying so, before the summary opens over it.
    void Finished();

protected:
    void DoDataExchange(ui::DataExchange& exchange) override;
    bool OnInitDialog() override;

private:
    void ShowStep(std::string_view status, int position);

    ui::StaticText statusLine;
    ui::ProgressBar bar;
};

inline constexpr const char* kRemovalFinishedStatus = "Removal Completed!!!";

}  // namespace zenthar::uninstall
