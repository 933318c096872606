// "Select Printer's Port Infomation Dialog": the printer's interface, code page and port,
// with the Windows family and processor detected and shown.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "connection/IpAddressDialog.h"
#include "connection/PrinterInterface.h"
#include "controls/BitmapPanel.h"
#include "controls/ImageButton.h"
#include "core/InstallSession.h"
#include "platform/Platform.h"
#include "ui/Controls.h"
#include "ui/Dialog.h"

namespace zenthar {

class InterfaceDialog : public ui::Dialog {
public:
    InterfaceDialog(platform::Platform& platform, InstallSession& session, ui::Dialog* parent);

    // Fills the port combo with the ports of the interface; returns the number of entries.
    int FillPortList(PrinterInterface printerInterface);

    // What the installation reads once the dialog closed with OK.
    char portName[32] = {};
    char addressText[32] = {};

    std::vector<std::string> portNames;
    std::int32_t addressEntered = 0;
    IpAddressDialog ipDialog;

    const controls::BitmapPanel& Picture() const { return picture; }
    const controls::ImageButton& OkButton() const { return okButton; }
    const controls::ImageButton& ExitButton() const { return exitButton; }

protected:
    void DoDataExchange(ui::DataExchange& exchange) override;
    bool OnInitDialog() override;
    // A network port needs a confirmed address: without one the address dialog opens again,
    // and this dialog stays open when it is cancelled.
    void OnOK() override;
    std::span<const ui::MessageEntry> MessageMap() const override;

private:
    // Opens the address dialog; true when the user confirmed an address.
    bool AskAddress();
    void OnSerial();
    void OnBluetooth();
    void OnParallel();
    void OnUsb();
    void OnEthernet();
    void OnWiFi();
    void OnCodePageChanged();
    void OnPortChanged();

    void ChooseInterface(PrinterInterface printerInterface);
    void ShowPicture(int bitmapId);
    void TakePort(int index);

    platform::Platform& platform;
    InstallSession& session;
    ui::ComboBox processorCombo;
    ui::ComboBox codePageCombo;
    ui::ComboBox portCombo;
    controls::ImageButton okButton;
    controls::ImageButton exitButton;
    controls::BitmapPanel picture;
};

}  // namespace zenthar
