// Making sure the USB printer is there before anything is installed for it: a first look,
// then, if it is missing, a request to plug it in and half a minute of searching under a
// progress window.
#pragma once

#include "connection/UsbChannel.h"
#include "platform/Platform.h"
#include "ui/Controls.h"
#include "ui/Dialog.h"

namespace zenthar {

// "USB Connection Warning": what to do before pressing OK. Nothing beyond the standard
// initialisation; Escape ends it with cancel.
class UsbWarningDialog : public ui::Dialog {
public:
    explicit UsbWarningDialog(ui::Dialog* parent = nullptr);
};

// "Now USB Port Searching......": modeless, and driven from outside through its bar.
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

// Looks for the printer and closes the channel again once it was found. true: the
// installation goes on (the printer was found, or the user chose not to search); false: the
// search failed, the user was told so and the main dialog was ended with cancel.
bool SearchUsbPrinter(platform::Platform& platform, UsbChannel& channel, ui::Dialog& mainDialog);

}  // namespace zenthar
