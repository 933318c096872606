// Tells the user the installation is complete; closing it ends the program.
#pragma once

#include "controls/ImageButton.h"
#include "ui/Controls.h"
#include "ui/Dialog.h"

namespace zenthar {

class InstallCompleteDialog : public ui::Dialog {
public:
    explicit InstallCompleteDialog(ui::Dialog* parent);

protected:
    void DoDataExchange(ui::DataExchange& exchange) override;
    bool OnInitDialog() override;

private:
    controls::ImageButton okButton;
    ui::StaticText completedText;
};

}  // namespace zenthar
