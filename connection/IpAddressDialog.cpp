#include "connection/IpAddressDialog.h"

#include "connection/NetworkPort.h"
#include "core/FixedText.h"
#include "platform/Constants.h"
#include "resources/InstallerWords.h"
#include "resources/IpAddressDialogIds.h"
#include "resources/ResourceIds.h"
#include "ui/Ui.h"

namespace zenthar {
namespace {

using resources::address_ids::kAddressField;

}  // namespace

std::uint32_t ParseDottedAddress(const char* text)
{
    if (!text) return kNoAddress;
    std::uint32_t address = 0;
    const char* at = text;
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (*at != '.') return kNoAddress;
            ++at;
        }
        if (*at < '0' || *at > '9') return kNoAddress;
        unsigned value = 0;
        int digits = 0;
        while (*at >= '0' && *at <= '9') {
            value = value * 10 + static_cast<unsigned>(*at - '0');
            if (++digits > 3 || value > 255) return kNoAddress;
            ++at;
        }
        address = (address << 8) | value;
    }
    return *at == '\0' ? address : kNoAddress;
}

IpAddressDialog::IpAddressDialog(platform::Platform& platform, std::int32_t& addressEntered, ui::Dialog* parent)
    : ui::Dialog(resources::kIpAddressDialog, parent), platform(platform), addressEntered(addressEntered)
{}

void IpAddressDialog::DoDataExchange(ui::DataExchange& exchange)
{
    exchange.Control(kAddressField, addressField);
}

bool IpAddressDialog::OnInitDialog()
{
    ui::Dialog::OnInitDialog();
    addressField.SetAddress(addressEntered ? ParseDottedAddress(ipText) : kDefaultPrinterAddress);
    return true;
}

void IpAddressDialog::OnOK()
{
    addressField.GetAddress(octets[0], octets[1], octets[2], octets[3]);
    FormatText(ipText, "%d.%d.%d.%d", octets[0], octets[1], octets[2], octets[3]);

    // Only a warning: the port is written into the monitor's keys whether the monitor is
    // there or not, and the address is taken over either way.
    if (!TcpIpMonitorPresent(platform)) ui::AppMessageBox(resources::Text(resources::Words::TcpIpMonitorMissing));
    ui::Dialog::OnOK();
}

}  // namespace zenthar
