// The gallery: every dialog of the program made from its template by the real backend, and
// every icon and bitmap of its resources, each saved as a 24-bit BMP into the folder given
// on the command line (run-gallery.sh turns them into PNG files). Pictures that the
// resources lack are named on the output and skipped.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "resources/DialogTemplates.h"
#include "resources/InterfaceDialogIds.h"
#include "resources/IpAddressDialogIds.h"
#include "resources/MainDialogIds.h"
#include "resources/ResourceIds.h"
#include "resources/UninstallerIds.h"
#include "resources/UninstallerTemplates.h"
#include "resources/UsbSearchDialogIds.h"
#include "tests/common/WindowTestKit.h"
#include "ui/Controls.h"
#include "ui/Dialog.h"
#include "ui/win32/Win32Backend.h"
#include "uninstall/ConfirmRemovalDialog.h"
#include "uninstall/RemovalProgressDialog.h"
#include "uninstall/RemovalSummaryDialog.h"

namespace {

using namespace zenthar;
using zenthar::testing::BitmapPicture;
using zenthar::testing::PumpMessagesFor;
using zenthar::testing::SaveBmp;
using zenthar::testing::ScreenPicture;
namespace ids = resources;
namespace main_ids = resources::main_ids;
namespace interface_ids = resources::interface_ids;

// Dialogs with a few entries, so that the pictures show the controls at work.
class MainSample : public ui::Dialog {
public:
    MainSample() : Dialog(ids::kMainDialog) {}

protected:
    void DoDataExchange(ui::DataExchange& dx) override
    {
        dx.Control(main_ids::kModelList, models);
        dx.Control(main_ids::kProgressBar, progress);
        dx.Text(main_ids::kCopiesEdit, copies);
    }
    bool OnInitDialog() override
    {
        Dialog::OnInitDialog();
        for (const char* name : {"NORVA MTR333", "NORVA MTR444", "NORVA KSV100-III"}) models.AddString(name);
        models.SetCheck(1, 1);
        models.SetCheck(2, 2);
        progress.SetRange(0, 100);
        progress.SetPos(40);
        SetItemText(main_ids::kStatusLine, "Copying driver files...");
        EnableItem(main_ids::kCopiesEdit, false);
        EnableItem(main_ids::kInstallButton, false);
        return true;
    }

private:
    ui::CheckListBox models;
    ui::ProgressBar progress;
    std::string copies = "1";
};

class InterfaceSample : public ui::Dialog {
public:
    InterfaceSample() : Dialog(ids::kInterfaceDialog) {}

protected:
    void DoDataExchange(ui::DataExchange& dx) override
    {
        dx.Control(interface_ids::kCodePageCombo, codePages);
        dx.Control(interface_ids::kPortCombo, ports);
        dx.Control(interface_ids::kProcessorCombo, processors);
    }
    bool OnInitDialog() override
    {
        Dialog::OnInitDialog();
        codePages.AddString("US (ANSI) (1252)");
        codePages.SetCurSel(0);
        for (const char* processor : {"32-Bit OS", "64-Bit OS", "Itanium"}) processors.AddString(processor);
        processors.SetCurSel(1);
        ports.AddString("USB");
        ports.SetCurSel(0);
        CheckRadioButton(interface_ids::kFirstRadio, interface_ids::kLastRadio, interface_ids::kUsbRadio);
        return true;
    }

private:
    ui::ComboBox codePages, ports, processors;
};

class SearchSample : public ui::Dialog {
public:
    SearchSample() : Dialog(ids::kUsbSearchDialog) {}

protected:
    bool OnInitDialog() override
    {
        Dialog::OnInitDialog();
        Window()->SetProgressPos(resources::search_ids::kSearchBar, 40);
        return true;
    }
};

class AddressSample : public ui::Dialog {
public:
    AddressSample() : Dialog(ids::kIpAddressDialog) {}

protected:
    bool OnInitDialog() override
    {
        Dialog::OnInitDialog();
        Window()->SetIpAddress(resources::address_ids::kAddressField, 0xC0A800C0u);
        return true;
    }
};

// The uninstaller's dialogs after a models installation, one printer having jobs waiting.
const uninstall::Plan kSamplePlan = [] {
    uninstall::Plan plan;
    using uninstall::PartKind;
    plan.parts = {
        {PartKind::Printer, "NORVA MTR333", {}},
        {PartKind::Printer, "NORVA MTR444", {}},
        {PartKind::Driver, "NORVA MTR333", {}},
        {PartKind::Driver, "NORVA MTR444", {}},
        {PartKind::Port, "IP_10.1.2.3", {}},
        {PartKind::Monitor, "KVPOS Port Monitor", {}},
        {PartKind::Entry, "NORVA Orbix Printer 4.64", {}},
    };
    return plan;
}();

const std::vector<uninstall::Outcome>& SampleOutcomes()
{
    static std::vector<uninstall::Outcome> outcomes;
    if (!outcomes.empty()) return outcomes;
    for (const uninstall::Part& part : kSamplePlan.parts) outcomes.push_back({part, std::nullopt});
    outcomes[1] = {kSamplePlan.parts[1], uninstall::NotRemoved{3009, "2 jobs are waiting"}};
    outcomes[3] = {kSamplePlan.parts[3], uninstall::NotRemoved{3001, "printer \"NORVA MTR444\" still uses it"}};
    outcomes[6] = {kSamplePlan.parts[6],
                   uninstall::NotRemoved{170, "kept while anything else of the driver is left, to run this again"}};
    return outcomes;
}

// What a removal leaves on purpose is named after the outcomes.
const std::vector<std::string>& SampleLeft()
{
    static const std::vector<std::string> left = {"Left port \"IP_10.1.2.3\": printer \"Front Desk\" still uses it"};
    return left;
}

class ProgressSample : public uninstall::RemovalProgressDialog {
protected:
    bool OnInitDialog() override
    {
        RemovalProgressDialog::OnInitDialog();
        Removing(kSamplePlan.parts[2], 40);
        return true;
    }
};

std::unique_ptr<ui::Dialog> SampleOf(int id)
{
    switch (id) {
    case ids::kConfirmRemovalDialog: return std::make_unique<uninstall::ConfirmRemovalDialog>(kSamplePlan);
    case ids::kRemovalProgressDialog: return std::make_unique<ProgressSample>();
    case ids::kRemovalSummaryDialog:
        return std::make_unique<uninstall::RemovalSummaryDialog>(SampleOutcomes(), SampleLeft(), nullptr);
    case ids::kMainDialog: return std::make_unique<MainSample>();
    case ids::kInterfaceDialog: return std::make_unique<InterfaceSample>();
    case ids::kUsbSearchDialog: return std::make_unique<SearchSample>();
    case ids::kIpAddressDialog: return std::make_unique<AddressSample>();
    default: return std::make_unique<ui::Dialog>(id);
    }
}

struct Picture {
    int id;
    bool icon;
};

constexpr Picture kPictures[] = {
    {ids::kAppIcon, true},         {ids::kInstallIcon, true},     {ids::kExitIcon, true},
    {ids::kCancelIcon, true},      {ids::kOkIcon, true},          {ids::kBluetoothBitmap, false},
    {ids::kEthernetBitmap, false}, {ids::kParallelBitmap, false}, {ids::kSerialBitmap, false},
    {ids::kUsbBitmap, false},      {ids::kWifiBitmap, false},     {ids::kUninstallIcon, true},
};

bool SavePicture(const Picture& picture, const std::string& path)
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    HANDLE image = LoadImageA(instance, MAKEINTRESOURCEA(picture.id), picture.icon ? IMAGE_ICON : IMAGE_BITMAP, 0, 0,
                              LR_DEFAULTCOLOR);
    if (!image) return false;
    int width = 0;
    int height = 0;
    if (picture.icon) {
        ICONINFO info{};
        GetIconInfo(static_cast<HICON>(image), &info);
        BITMAP mask{};
        GetObjectA(info.hbmMask, sizeof mask, &mask);
        width = mask.bmWidth;
        height = info.hbmColor ? mask.bmHeight : mask.bmHeight / 2;
        if (info.hbmColor) DeleteObject(info.hbmColor);
        if (info.hbmMask) DeleteObject(info.hbmMask);
    } else {
        BITMAP header{};
        GetObjectA(static_cast<HBITMAP>(image), sizeof header, &header);
        width = header.bmWidth;
        height = header.bmHeight;
    }
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, canvas);
    if (picture.icon) {
        // Icons are shown on the dialog face, where the program puts them.
        RECT all{0, 0, width, height};
        FillRect(memory, &all, GetSysColorBrush(COLOR_BTNFACE));
        DrawIconEx(memory, 0, 0, static_cast<HICON>(image), width, height, 0, nullptr, DI_NORMAL);
        DestroyIcon(static_cast<HICON>(image));
    } else {
        HDC source = CreateCompatibleDC(screen);
        HGDIOBJ old = SelectObject(source, image);
        BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
        SelectObject(source, old);
        DeleteDC(source);
        DeleteObject(image);
    }
    SelectObject(memory, previous);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    const bool saved = SaveBmp(BitmapPicture(canvas, width, height), path);
    DeleteObject(canvas);
    return saved;
}

// A picture of every dialog, alone on the screen; the number that could not be taken.
int PictureEachDialog(const std::string& folder)
{
    int failures = 0;
    std::vector<resources::DialogTemplate> everyDialog(resources::AllDialogTemplates().begin(),
                                                       resources::AllDialogTemplates().end());
    everyDialog.insert(everyDialog.end(), resources::UninstallerDialogTemplates().begin(),
                       resources::UninstallerDialogTemplates().end());
    for (const resources::DialogTemplate& source : everyDialog) {
        std::unique_ptr<ui::Dialog> dialog = SampleOf(source.id);
        if (!dialog->Create()) {
            std::printf("dialog %d: not created\n", source.id);
            ++failures;
            continue;
        }
        HWND window = ui::win32::Win32Backend::DialogHandle(*dialog);
        // Every picture is taken at the same place, alone on the screen, fully painted.
        SetWindowPos(window, HWND_TOP, 16, 16, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        dialog->ShowWindow();
        RedrawWindow(window, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
        PumpMessagesFor(400);
        const std::string path = folder + "\\dialog-" + std::to_string(source.id) + ".bmp";
        // What the screen shows of the window, frame included.
        if (SaveBmp(ScreenPicture(window), path)) {
            std::printf("dialog %d: %s\n", source.id, source.caption);
        } else {
            std::printf("dialog %d: not captured\n", source.id);
            ++failures;
        }
        dialog->DestroyWindow();
        PumpMessagesFor(100);
    }
    return failures;
}

// The two dialogs the main dialog owns during an installation, as they open over it; the number
// that could not be taken.
int PictureOwnedDialogs(const std::string& folder)
{
    int failures = 0;
    for (const int ownedId : {resources::kDefaultPrinterDialog, resources::kInstallCompleteDialog}) {
        std::unique_ptr<ui::Dialog> owner = SampleOf(resources::kMainDialog);
        if (!owner->Create()) {
            std::printf("dialog %d over the main dialog: the main dialog was not created\n", ownedId);
            ++failures;
            continue;
        }
        HWND ownerWindow = ui::win32::Win32Backend::DialogHandle(*owner);
        SetWindowPos(ownerWindow, HWND_TOP, 16, 16, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        owner->ShowWindow();
        ui::Dialog owned(ownedId, owner.get());
        const bool made = owned.Create();
        if (made) owned.ShowWindow();
        RedrawWindow(ownerWindow, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
        if (made) {
            HWND ownedWindow = ui::win32::Win32Backend::DialogHandle(owned);
            RedrawWindow(ownedWindow, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
        }
        PumpMessagesFor(400);
        const std::string path = folder + "\\owned-" + std::to_string(ownedId) + ".bmp";
        if (made && SaveBmp(ScreenPicture(ownerWindow), path)) {
            std::printf("dialog %d over the main dialog: saved\n", ownedId);
        } else {
            std::printf("dialog %d over the main dialog: not captured\n", ownedId);
            ++failures;
        }
        if (made) owned.DestroyWindow();
        owner->DestroyWindow();
        PumpMessagesFor(100);
    }
    return failures;
}

// Every icon and bitmap; one missing from the resources is only listed.
void PictureEachImage(const std::string& folder)
{
    for (const Picture& picture : kPictures) {
        const std::string path = folder + (picture.icon ? "\\icon-" : "\\bitmap-") + std::to_string(picture.id) +
                                 ".bmp";
        if (SavePicture(picture, path)) {
            std::printf("%s %d: saved\n", picture.icon ? "icon" : "bitmap", picture.id);
        } else {
            std::printf("%s %d: missing from the resources\n", picture.icon ? "icon" : "bitmap", picture.id);
        }
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: gallery OUT-FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    ui::win32::Win32Backend backend;
    ui::UseBackend(&backend);
    // One after the other: each leaves the screen empty for the next.
    int failures = PictureEachDialog(folder);
    failures += PictureOwnedDialogs(folder);
    PictureEachImage(folder);
    ui::UseBackend(nullptr);
    return failures == 0 ? 0 : 1;
}
