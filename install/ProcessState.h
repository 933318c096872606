// Everything the program keeps for its whole life: the installation session, the list's row
// flags, the default-printer choice and the USB channel. Start-up makes one; each test makes
// its own.
#pragma once

#include "connection/UsbChannel.h"
#include "core/InstallSession.h"
#include "platform/Platform.h"

namespace zenthar {

struct RowState {
    // 1: a printer for the row exists already (the scan of existing printers marks it).
    int rowInstalled[kRowFlagCount] = {};
    // 1: the row is chosen for installation.
    int rowSelected[kRowFlagCount] = {};
    // How many rows model mode shows; a clone run sets it to its copies.
    int rowCount = 0;
};

struct ProcessState {
    explicit ProcessState(platform::Platform& platform) : usbChannel(platform) {}

    InstallSession session;
    RowState rows;
    int setDefaultRequested = 0;
    UsbChannel usbChannel;
};

}  // namespace zenthar
