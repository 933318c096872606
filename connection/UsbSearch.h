// Making sure the USB printer is there before anything is installed for it: a first look,
// then, if it is missing, a request to plug it in and half a minute of searching under a
// progress window.
#pragma once

#include "connection/UsbChannel.h"
#include "connection/UsbSearchDialog.h"
#include "core/Notice.h"
#include "platform/Platform.h"
#include "ui/Dialog.h"

namespace zenthar {

// What the search shows while it runs. The windows below are one way to show it; a run
// without windows answers the question itself and shows nothing.
class UsbSearchView {
public:
    // The printer is not there: asks the user to plug it in. true: search for it.
    virtual bool AskToPlugIn() = 0;
    virtual void OpenSearch() = 0;
    // 0 to 100.
    virtual void SetSearchPos(int position) = 0;
    // Also when the search was never opened.
    virtual void CloseSearch() = 0;

protected:
    ~UsbSearchView() = default;
};

// The search in its two dialogs (UsbWarningDialog, UsbSearchDialog), owned by `parent`.
class UsbSearchWindows final : public UsbSearchView {
public:
    explicit UsbSearchWindows(ui::Dialog* parent) : parent(parent), search(parent) {}
    bool AskToPlugIn() override;
    void OpenSearch() override;
    void SetSearchPos(int position) override;
    void CloseSearch() override;

private:
    ui::Dialog* parent;
    UsbSearchDialog search;
};

enum class UsbSearchOutcome {
    Found,        // the printer is there, and the channel closed again
    NotSearched,  // the user chose not to search: the installation goes on all the same
    Failed,       // half a minute without the printer; the search window is closed
};

struct UsbSearched {
    UsbSearchOutcome outcome = UsbSearchOutcome::Found;
    // A probe could not read the printer's port number (and said so).
    bool portNumberUnread = false;
};

// Looks for the printer and closes the channel again once it was found. What a probe has to
// tell goes to `notices`; without them, to message boxes.
UsbSearched SearchUsbPrinter(platform::Platform& platform, UsbChannel& channel, UsbSearchView& view);
UsbSearched SearchUsbPrinter(platform::Platform& platform, UsbChannel& channel, UsbSearchView& view,
                             const NoticeSink& notices);

}  // namespace zenthar
