#include "connection/InterfaceDialog.h"

#include "connection/PlatformDetection.h"
#include "core/CodePageTable.h"
#include "core/FixedText.h"
#include "resources/InstallerWords.h"
#include "resources/InterfaceDialogIds.h"
#include "resources/ResourceIds.h"

namespace zenthar {
namespace {

namespace ids = resources;

using resources::interface_ids::kSerialRadio;
using resources::interface_ids::kBluetoothRadio;
using resources::interface_ids::kParallelRadio;
using resources::interface_ids::kUsbRadio;
using resources::interface_ids::kEthernetRadio;
using resources::interface_ids::kWiFiRadio;
// The interface radios and the hidden family radios below them are one range: checking one
// clears all others.
using resources::interface_ids::kFirstRadio;
using resources::interface_ids::kLastRadio;

using resources::interface_ids::kPictureFrame;
using resources::interface_ids::kCodePageCombo;
using resources::interface_ids::kPortCombo;
using resources::interface_ids::kProcessorCombo;

// One row per interface, in interface order.
struct InterfaceView {
    int radio;
    int bitmap;
};

constexpr InterfaceView kInterfaces[kInterfaceCount] = {
    {kSerialRadio, ids::kSerialBitmap},     {kBluetoothRadio, ids::kBluetoothBitmap},
    {kParallelRadio, ids::kParallelBitmap}, {kUsbRadio, ids::kUsbBitmap},
    {kEthernetRadio, ids::kEthernetBitmap}, {kWiFiRadio, ids::kWifiBitmap},
};

// The processor combo's entries, indexed by Processor.
constexpr resources::Words kProcessorLabels[] = {resources::Words::Processor32Bit, resources::Words::Processor64Bit,
                                                 resources::Words::ProcessorItanium};

constexpr int kIconSize = 32;

}  // namespace

InterfaceDialog::InterfaceDialog(platform::Platform& platform, InstallSession& session, ui::Dialog* parent)
    : ui::Dialog(ids::kInterfaceDialog, parent), ipDialog(platform, addressEntered, this), platform(platform),
      session(session)
{}

void InterfaceDialog::DoDataExchange(ui::DataExchange& exchange)
{
    exchange.Control(resources::interface_ids::kOk, okButton);
    exchange.Control(resources::interface_ids::kExit, exitButton);
    exchange.Control(kCodePageCombo, codePageCombo);
    exchange.Control(kPortCombo, portCombo);
    exchange.Control(kProcessorCombo, processorCombo);
}

std::span<const ui::MessageEntry> InterfaceDialog::MessageMap() const
{
    using D = InterfaceDialog;
    static const ui::MessageEntry map[] = {
        ui::OnClicked<D>(kSerialRadio, &D::OnSerial),
        ui::OnClicked<D>(kBluetoothRadio, &D::OnBluetooth),
        ui::OnClicked<D>(kParallelRadio, &D::OnParallel),
        ui::OnClicked<D>(kUsbRadio, &D::OnUsb),
        ui::OnClicked<D>(kEthernetRadio, &D::OnEthernet),
        ui::OnClicked<D>(kWiFiRadio, &D::OnWiFi),
        ui::OnComboSelChange<D>(kCodePageCombo, &D::OnCodePageChanged),
        ui::OnComboSelChange<D>(kPortCombo, &D::OnPortChanged),
    };
    return map;
}

bool InterfaceDialog::OnInitDialog()
{
    ui::Dialog::OnInitDialog();
    PrepareConnectionSession(platform, session);

    for (const CodePageEntry& entry : CodePageTable) codePageCombo.AddString(entry.label);
    codePageCombo.SetCurSel(session.codePageIndex);

    ClearText(addressText);
    addressEntered = 0;

    for (const resources::Words label : kProcessorLabels) processorCombo.AddString(resources::Text(label));
    processorCombo.SetCurSel(static_cast<int>(session.processor));
    processorCombo.Enable(false);

    FillPortList(PrinterInterface::Usb);
    CheckRadioButton(kFirstRadio, kLastRadio, kUsbRadio);

    portCombo.SetCurSel(0);
    TakePort(0);
    platform.debug.OutputDebugStringA(portName);

    ShowPicture(ids::kUsbBitmap);

    const struct {
        controls::ImageButton& button;
        int icon;
    } buttons[] = {{okButton, ids::kOkIcon}, {exitButton, ids::kCancelIcon}};
    for (const auto& [button, icon] : buttons) {
        button.SetDialogFont(true);
        button.SetIcons(icon, kIconSize, kIconSize, 0, kIconSize, kIconSize, 0, kIconSize, kIconSize);
        button.SetFlat(false, true);
    }
    return true;
}

int InterfaceDialog::FillPortList(PrinterInterface printerInterface)
{
    portCombo.ResetContent();
    portNames = InterfacePortNames(platform, printerInterface);
    for (const std::string& name : portNames) portCombo.AddString(name);
    const int entries = portCombo.GetCount();
    return entries > 0 ? entries : 0;
}

void InterfaceDialog::TakePort(int index)
{
    // A spooler port name longer than the field keeps its first 31 characters.
    CopyText(portName, portCombo.GetLBText(index));
}

void InterfaceDialog::ShowPicture(int bitmapId)
{
    picture.ReplaceStatic(*this, kPictureFrame);
    picture.LoadBitmapResource(bitmapId);
    picture.SetScaleMode(controls::ScaleMode::FitInside);
}

void InterfaceDialog::ChooseInterface(PrinterInterface printerInterface)
{
    const InterfaceView& choice = kInterfaces[static_cast<int>(printerInterface)];
    CheckRadioButton(kFirstRadio, kLastRadio, choice.radio);
    FillPortList(printerInterface);
    portCombo.SetCurSel(0);
    if (!NeedsAddress(printerInterface)) {
        TakePort(0);
        ShowPicture(choice.bitmap);
        return;
    }
    ShowPicture(choice.bitmap);
    AskAddress();
    TakePort(0);
}

bool InterfaceDialog::AskAddress()
{
    if (ipDialog.DoModal() != ui::kIdOk) return false;
    CopyText(addressText, TextOf(ipDialog.ipText));
    addressEntered = 1;
    return true;
}

void InterfaceDialog::OnOK()
{
    // A port on an address nobody entered would be "IP_" with an empty address, and the run
    // would report a printer on it as installed.
    if (ClassifyPort(portName) == PortKind::TcpIp && !addressEntered && !AskAddress()) return;
    ui::Dialog::OnOK();
}

void InterfaceDialog::OnSerial()
{
    ChooseInterface(PrinterInterface::Serial);
}

void InterfaceDialog::OnBluetooth()
{
    ChooseInterface(PrinterInterface::Bluetooth);
}

void InterfaceDialog::OnParallel()
{
    ChooseInterface(PrinterInterface::Parallel);
}

void InterfaceDialog::OnUsb()
{
    ChooseInterface(PrinterInterface::Usb);
}

void InterfaceDialog::OnEthernet()
{
    ChooseInterface(PrinterInterface::Ethernet);
}

void InterfaceDialog::OnWiFi()
{
    ChooseInterface(PrinterInterface::WiFi);
}

void InterfaceDialog::OnCodePageChanged()
{
    const int index = codePageCombo.GetCurSel();
    // The driver files are chosen by this index; one outside the table would name no file set.
    if (index >= 0 && index < kCodePageCount) session.codePageIndex = index;
}

void InterfaceDialog::OnPortChanged()
{
    TakePort(portCombo.GetCurSel());
}

}  // namespace zenthar
