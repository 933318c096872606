#include "connection/UsbSearch.h"

#include <string>

#include "core/Pause.h"
#include "resources/ResourceIds.h"

namespace zenthar {

namespace {

constexpr int kSearchBarId = 1026;
constexpr const char* kProbeArgument = "USB:";
constexpr const char* kSearchFailed = "USB Port Search Failed";

// The printer was there at once: the bar still runs through, so that the user sees the
// check happen.
constexpr int kFoundSteps[] = {20, 30, 40, 50, 60, 70, 80, 90};
constexpr platform::Dword kFoundStepPause = 100;

// The search: from 10 in steps of 3 while the position is at most 96, one second apart:
// 30 probes in about half a minute.
constexpr int kSearchStart = 10;
constexpr int kSearchStep = 3;
constexpr int kSearchLast = 96;
constexpr platform::Dword kSearchPause = 1000;
constexpr platform::Dword kFailurePause = 500;
constexpr int kBarFull = 100;

}  // namespace

UsbWarningDialog::UsbWarningDialog(ui::Dialog* parent) : ui::Dialog(resources::kUsbWarningDialog, parent) {}

UsbSearchDialog::UsbSearchDialog(ui::Dialog* parent) : ui::Dialog(resources::kUsbSearchDialog, parent) {}

void UsbSearchDialog::DoDataExchange(ui::DataExchange& exchange)
{
    exchange.Control(kSearchBarId, bar);
}

void UsbSearchDialog::SetBarPos(int position)
{
    bar.SetPos(position);
}

int UsbSearchDialog::BarPos() const
{
    return bar.GetPos();
}

bool SearchUsbPrinter(platform::Platform& platform, UsbChannel& channel, ui::Dialog& mainDialog)
{
    UsbSearchDialog search(&mainDialog);

    if (channel.ProbeUsbPrinter(kProbeArgument) == 1) {
        search.Create();
        search.ShowWindow();
        for (const int position : kFoundSteps) {
            search.SetBarPos(position);
            Pause(platform, kFoundStepPause);
        }
        search.SetBarPos(kBarFull);
        channel.CloseChannel();
    } else {
        UsbWarningDialog warning(&mainDialog);
        if (warning.DoModal() == ui::kIdOk) {
            search.Create();
            search.ShowWindow();
            for (int position = kSearchStart;;) {
                if (channel.ProbeUsbPrinter(kProbeArgument) == 1) {
                    channel.CloseChannel();
                    search.SetBarPos(kBarFull);
                    break;
                }
                if (position > kSearchLast) {
                    search.DestroyWindow();
                    mainDialog.MessageBox(kSearchFailed);
                    Pause(platform, kFailurePause);
                    mainDialog.EndDialog(ui::kIdCancel);
                    return false;
                }
                position += kSearchStep;
                search.SetBarPos(position);
                Pause(platform, kSearchPause);
            }
        }
    }

    search.DestroyWindow();
    platform.debug.OutputDebugStringA(std::string(channel.UsbPortName()).c_str());
    return true;
}

}  // namespace zenthar
