#include "connection/UsbSearch.h"

#include <string>

#include "connection/MessageBoxNotices.h"
#include "connection/UsbWarningDialog.h"
#include "core/Pause.h"

namespace zenthar {

namespace {

constexpr const char* kProbeArgument = "USB:";

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
constexpr int kBarFull = 100;

}  // namespace

bool UsbSearchWindows::AskToPlugIn()
{
    UsbWarningDialog warning(parent);
    return warning.DoModal() == ui::kIdOk;
}

void UsbSearchWindows::OpenSearch()
{
    search.Create();
    search.ShowWindow();
}

void UsbSearchWindows::SetSearchPos(int position)
{
    search.SetBarPos(position);
}

void UsbSearchWindows::CloseSearch()
{
    search.DestroyWindow();
}

UsbSearched SearchUsbPrinter(platform::Platform& platform, UsbChannel& channel, UsbSearchView& view)
{
    return SearchUsbPrinter(platform, channel, view, MessageBoxNotices(nullptr));
}

UsbSearched SearchUsbPrinter(platform::Platform& platform, UsbChannel& channel, UsbSearchView& view,
                             const NoticeSink& notices)
{
    UsbSearched searched;
    const auto probe = [&] {
        const UsbProbe probed = channel.ProbeUsbPrinter(kProbeArgument, notices);
        searched.portNumberUnread = searched.portNumberUnread || probed.portNumberUnread;
        return probed.goOn;
    };
    if (probe()) {
        view.OpenSearch();
        for (const int position : kFoundSteps) {
            view.SetSearchPos(position);
            Pause(platform, kFoundStepPause);
        }
        view.SetSearchPos(kBarFull);
        channel.CloseChannel();
    } else if (view.AskToPlugIn()) {
        view.OpenSearch();
        for (int position = kSearchStart;;) {
            if (probe()) {
                channel.CloseChannel();
                view.SetSearchPos(kBarFull);
                break;
            }
            if (position > kSearchLast) {
                view.CloseSearch();
                searched.outcome = UsbSearchOutcome::Failed;
                return searched;
            }
            position += kSearchStep;
            view.SetSearchPos(position);
            Pause(platform, kSearchPause);
        }
    } else {
        searched.outcome = UsbSearchOutcome::NotSearched;
    }

    view.CloseSearch();
    platform.debug.OutputDebugStringA(std::string(channel.UsbPortName()).c_str());
    return searched;
}

}  // namespace zenthar
