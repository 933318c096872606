// "Printer IP Address": asks for the network printer's IPv4 address.
#pragma once

#include <cstdint>

#include "platform/Platform.h"
#include "ui/Controls.h"
#include "ui/Dialog.h"

namespace zenthar {

// The address the field shows before any address was confirmed: 192.168.0.192.
inline constexpr std::uint32_t kDefaultPrinterAddress = 0xC0A800C0;

// What ParseDottedAddress gives for a text that is no address (and for 255.255.255.255).
inline constexpr std::uint32_t kNoAddress = 0xFFFFFFFF;

// A dotted IPv4 address as a 32-bit number, most significant byte first; kNoAddress when the
// text is not four decimal numbers of 0 to 255 joined by points.
std::uint32_t ParseDottedAddress(const char* text);

class IpAddressDialog : public ui::Dialog {
public:
    // `addressEntered` is the interface dialog's flag: while it is set, the dialog opens with
    // the address last confirmed.
    IpAddressDialog(platform::Platform& platform, std::int32_t& addressEntered, ui::Dialog* parent);

    // The last confirmed address, as four decimal numbers joined by points.
    char ipText[32] = {};
    // The address read on OK, most significant byte first.
    std::uint8_t octets[4] = {};

protected:
    void DoDataExchange(ui::DataExchange& exchange) override;
    bool OnInitDialog() override;
    void OnOK() override;

private:
    platform::Platform& platform;
    std::int32_t& addressEntered;
    ui::IpAddressField addressField;
};

}  // namespace zenthar
