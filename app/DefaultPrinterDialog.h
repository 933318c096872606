// Asks whether the printer just installed becomes the system's default printer.
#pragma once

#include "controls/ImageButton.h"
#include "ui/Controls.h"
#include "ui/Dialog.h"

namespace zenthar {

class DefaultPrinterDialog : public ui::Dialog {
public:
    // `setDefaultRequested` follows the check box from the moment the dialog opens.
    // Owned by `parent` (the main dialog), which takes no input while the question is up.
    DefaultPrinterDialog(int& setDefaultRequested, ui::Dialog* parent);

protected:
    void DoDataExchange(ui::DataExchange& exchange) override;
    bool OnInitDialog() override;
    std::span<const ui::MessageEntry> MessageMap() const override;

private:
    void OnCheckClicked();

    int& setDefaultRequested;
    controls::ImageButton okButton;
    ui::CheckBox defaultCheck;
};

}  // namespace zenthar
