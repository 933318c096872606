// "Now USB Port Searching......": modeless, and driven from outside through its bar.
#pragma once

#include "ui/Controls.h"
#include "ui/Dialog.h"

namespace zenthar {

class UsbSearchDialog : public ui::Dialog {
public:
    explicit UsbSearchDialog(ui::Dialog* parent = nullptr);
    // 0 to 100.
    void SetBarPos(int position);
    int BarPos() const;

protected:
    void DoDataExchange(ui::DataExchange& exchange) override;

private:
    ui::ProgressBar bar;
};

}  // namespace zenthar
