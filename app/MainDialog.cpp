#include "app/MainDialog.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

#include "app/AboutDialog.h"
#include "app/DefaultPrinterDialog.h"
#include "app/InstallCompleteDialog.h"
#include "app/StartupChecks.h"
#include "connection/InterfaceDialog.h"
#include "connection/MessageBoxNotices.h"
#include "core/FixedText.h"
#include "core/Pause.h"
#include "platform/Constants.h"
#include "resources/MainDialogIds.h"
#include "resources/ResourceIds.h"
#include "resources/StringTable.h"
#include "ui/Ui.h"

namespace zenthar {

namespace {

namespace ids = resources::main_ids;

constexpr unsigned kAboutCommand = 0x0010;
// The low four bits of a system command are Windows' own.
constexpr unsigned kSysCommandMask = 0xFFF0u;

// The leading decimal number of a text: white space and a sign may come first; a text that
// does not start with a number gives 0; numbers beyond an int are held at its limits.
int LeadingNumber(const char* text)
{
    const long value = std::strtol(text, nullptr, 10);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

void SetUpImageButton(controls::ImageButton& button, int iconId)
{
    button.SetDialogFont(true);
    button.SetIcons(iconId, 32, 32, 0, 32, 32, 0, 32, 32);
    button.SetFlat(false, true);
}

}  // namespace

MainDialog::MainDialog(platform::Platform& platform, ProcessState& state)
    : ui::Dialog(resources::kMainDialog), platform(platform), state(state)
{
    icon = ui::LoadIconResource(resources::kAppIcon);
}

MainDialog::~MainDialog()
{
    ui::DestroyIconHandle(icon);
}

void MainDialog::DoDataExchange(ui::DataExchange& exchange)
{
    exchange.Control(ids::kModelList, modelList);
    exchange.Control(ids::kCloneCheck, cloneCheck);
    exchange.Control(ids::kCopiesEdit, copiesEdit);
    exchange.Control(ids::kProgressBar, progressBar);
    exchange.Control(ids::kStatusLine, statusLine);
    exchange.Control(ids::kInstallButton, installButton);
    exchange.Control(ids::kExitButton, exitButton);
    exchange.Text(ids::kCopiesEdit, copiesText);
}

std::span<const ui::MessageEntry> MainDialog::MessageMap() const
{
    static const ui::MessageEntry map[] = {
        ui::OnClicked<MainDialog>(ids::kInstallButton, &MainDialog::OnInstall),
        ui::OnListSelChange<MainDialog>(ids::kModelList, &MainDialog::OnListSelectionChange),
        ui::OnClicked<MainDialog>(ids::kCloneCheck, &MainDialog::OnCloneClicked),
        ui::OnClicked<MainDialog>(ids::kExitButton, &MainDialog::OnExit),
        ui::OnEditChange<MainDialog>(ids::kCopiesEdit, &MainDialog::OnCopiesChanged),
    };
    return map;
}

bool MainDialog::OnInitDialog()
{
    ui::Dialog::OnInitDialog();

    if (HasSystemMenu()) {
        const std::string about = resources::LoadStringResource(resources::kAboutMenuString);
        if (!about.empty()) AppendSystemMenu(kAboutCommand, about);  // after a separator
    }
    SetIcon(icon, true);
    SetIcon(icon, false);

    progressBar.SetRange(0, 100);
    progressBar.SetStep(2);
    progressBar.SetPos(0);

    state.rows.rowCount = kModelCount;
    cloneMode = 0;
    copies = 1;
    copiesEdit.Enable(false);
    ClearInstalledFlags();

    if (CheckSpooler(platform, *this) == SpoolerCheck::NotStarted) {
        // Nothing can be installed, but the two buttons must still look like buttons
        // (an owner-drawn button left flat reads as a label): Install keeps its template
        // state, and a press only finds no row to install.
        SetUpImageButton(installButton, resources::kInstallIcon);
        SetUpImageButton(exitButton, resources::kExitIcon);
        return true;
    }

    RebuildList(kModelTable, kModelCount);
    MarkInstalledRows();
    installButton.Enable(false);
    SetUpImageButton(installButton, resources::kInstallIcon);
    SetUpImageButton(exitButton, resources::kExitIcon);
    return true;
}

void MainDialog::OnExit()
{
    OnCancel();
}

bool MainDialog::OnSysCommand(unsigned commandId)
{
    if ((commandId & kSysCommandMask) == kAboutCommand) {
        AboutDialog about(this);
        about.DoModal();
        return true;
    }
    return false;
}

bool MainDialog::OnPaint(ui::DrawSurface& surface)
{
    if (!IsIconic()) return false;
    const ui::Rect client = ClientRect();
    const int x = (client.Width() - ui::GetSystemMetric(ui::kSmCxIcon) + 1) / 2;
    const int y = (client.Height() - ui::GetSystemMetric(ui::kSmCyIcon) + 1) / 2;
    surface.FillRect(client, ui::GetSysColor(ui::kColorBtnFace));
    surface.DrawIcon(x, y, icon);
    return true;
}

ui::IconHandle MainDialog::OnQueryDragIcon()
{
    return icon;
}

int MainDialog::CountCheckedRows() const
{
    int checked = 0;
    const int rows = modelList.GetCount();
    for (int i = 0; i < rows; ++i) checked += modelList.GetCheck(i) > 0;
    return checked;
}

void MainDialog::RebuildList(const NameTable& table, int count)
{
    modelList.ResetContent();
    const int rows = count < table.count ? count : table.count;
    modelList.ReserveRows(rows);
    for (int i = 0; i < rows; ++i) modelList.AddString(table[i]);
}

void MainDialog::MarkInstalledRows()
{
    const int rows = cloneMode ? copies : kModelCount;
    const NameTable& table = cloneMode ? kCloneTable : kModelTable;

    const auto found = FindInstalledRows(platform, table, rows, *this);
    if (!found) return;
    for (const int row : *found) {
        state.rows.rowInstalled[row] = 1;
        modelList.SetCheck(row, 1);
        modelList.SetCheck(row, 2);
    }
}

void MainDialog::ClearInstalledFlags()
{
    for (int& flag : state.rows.rowInstalled) flag = 0;
}

void MainDialog::CheckFreeCloneRows()
{
    for (int i = 0; i < copies && i < kCloneCount; ++i) {
        if (state.rows.rowInstalled[i] == 0) {
            modelList.SetCheck(i, 1);
            state.rows.rowSelected[i] = 1;
        }
    }
}

void MainDialog::RefreshSelections()
{
    const int rows = modelList.GetCount();
    for (int i = 0; i < kRowFlagCount; ++i) state.rows.rowSelected[i] = i < rows && modelList.GetCheck(i) == 1;
}

void MainDialog::RefillForMode()
{
    // Drawn once when its rows and marks are all in place: a list drawn row by row as it is
    // rebuilt held the window for a second at 200 rows.
    modelList.HoldRedraw(true);
    if (cloneMode) {
        RebuildList(kCloneTable, copies);
        MarkInstalledRows();
        CheckFreeCloneRows();
    } else {
        // Every model, whatever number of rows a clone run left in rowCount.
        RebuildList(kModelTable, kModelCount);
        MarkInstalledRows();
    }
    RefreshSelections();
    modelList.HoldRedraw(false);
}

void MainDialog::ShowListAfterStop()
{
    ClearInstalledFlags();
    RefillForMode();
}

void MainDialog::OnCloneClicked()
{
    ClearInstalledFlags();
    cloneMode = cloneCheck.GetCheck() == 1 ? 1 : 0;
    RefillForMode();
    copiesEdit.Enable(cloneMode == 1);
    installButton.Enable(cloneMode == 1);
}

void MainDialog::OnCopiesChanged()
{
    ClearText(copiesBuffer);
    CopyText(copiesBuffer, copiesEdit.GetText());
    copies = LeadingNumber(copiesBuffer);
    if (copies > kCloneCount) {
        copies = kCloneCount;
        // The box shows the number used; this runs the handler once more, nested.
        copiesEdit.SetText("200");
    }
    installButton.Enable(copies >= 1);
    ClearInstalledFlags();
    RefillForMode();
}

void MainDialog::OnListSelectionChange()
{
    installButton.Enable(CountCheckedRows() > 0);
    const int selected = modelList.GetCurSel();
    if (selected >= 0 && selected < kRowFlagCount && state.rows.rowInstalled[selected] == 1) {
        // A row whose printer exists stays indeterminate, whatever was clicked.
        modelList.SetCheck(selected, 1);
        modelList.SetCheck(selected, 2);
        return;
    }
    RefreshSelections();
}

void MainDialog::OnInstall()
{
    RunInstallation();
}

void MainDialog::RunInstallation()
{
    const RunRequest request{cloneMode != 0, copies, CountCheckedRows()};
    InstallationRun run(platform, state, *this);
    run.Run(request);
    usbSearch.reset();
}

void MainDialog::Show(const Notice& notice) const
{
    MessageBoxNotices(this).Show(notice);
}

void MainDialog::EnableInstall(bool enable)
{
    installButton.Enable(enable);
}

void MainDialog::EnableExit(bool enable)
{
    exitButton.Enable(enable);
}

bool MainDialog::AskConnection(InstallSession& session, ConnectionChoice& choice)
{
    InterfaceDialog interfaceDialog(platform, session, this);
    if (interfaceDialog.DoModal() != ui::kIdOk) return false;
    CopyText(choice.portName, TextOf(interfaceDialog.portName));
    CopyText(choice.addressText, TextOf(interfaceDialog.addressText));
    return true;
}

void MainDialog::Refresh()
{
    UpdateWindow();
}

bool MainDialog::AskDefaultPrinter(int& setDefaultRequested)
{
    DefaultPrinterDialog defaultDialog(setDefaultRequested, this);
    return defaultDialog.DoModal() == ui::kIdOk;
}

void MainDialog::ShowCompletion()
{
    InstallCompleteDialog completeDialog(this);
    completeDialog.DoModal();
}

void MainDialog::EndProgram()
{
    EndDialog(ui::kIdCancel);
}

void MainDialog::PauseToShow(platform::Dword milliseconds)
{
    Pause(platform, milliseconds);
}

UsbSearchWindows& MainDialog::Search()
{
    if (!usbSearch) usbSearch = std::make_unique<UsbSearchWindows>(this);
    return *usbSearch;
}

bool MainDialog::AskToPlugIn()
{
    return Search().AskToPlugIn();
}

void MainDialog::OpenSearch()
{
    Search().OpenSearch();
}

void MainDialog::SetSearchPos(int position)
{
    Search().SetSearchPos(position);
}

void MainDialog::CloseSearch()
{
    Search().CloseSearch();
}

void MainDialog::ShowStep(const char* text, int position)
{
    statusLine.SetText(text);
    ShowPosition(position);
}

void MainDialog::ShowPosition(int position)
{
    progressBar.SetPos(position);
    Invalidate(false);
    UpdateWindow();
}

}  // namespace zenthar
