// The installer's one main window: the printer list, the cloning option, progress, and the
// Install and Exit buttons. It is the installation run's screen: the run asks its questions
// and shows its steps and messages through it.
#pragma once

#include <memory>
#include <span>
#include <string>

#include "connection/UsbSearch.h"
#include "controls/ImageButton.h"
#include "install/InstallationRun.h"
#include "install/NameTables.h"
#include "install/ProcessState.h"
#include "platform/Platform.h"
#include "ui/Controls.h"
#include "ui/Dialog.h"

namespace zenthar {

class MainDialog : public ui::Dialog, private InstallationScreen {
public:
    MainDialog(platform::Platform& platform, ProcessState& state);
    ~MainDialog() override;

    // Rows whose check box is checked or indeterminate.
    int CountCheckedRows() const;
    // Marks the rows whose printer (with a driver of the same name) exists already.
    void MarkInstalledRows();
    void RebuildList(const NameTable& table, int count);
    // Shows a step of the installation run in the status line and the bar, painted at once.
    void ShowStep(const char* text, int position) override;
    void ShowPosition(int position) override;
    // What Install runs.
    void RunInstallation();

    // The name of row `row` in the current mode.

    int Copies() const { return copies; }

protected:
    void DoDataExchange(ui::DataExchange& exchange) override;
    bool OnInitDialog() override;
    std::span<const ui::MessageEntry> MessageMap() const override;
    bool OnSysCommand(unsigned commandId) override;
    bool OnPaint(ui::DrawSurface& surface) override;
    ui::IconHandle OnQueryDragIcon() override;

private:
    void OnInstall();
    void OnListSelectionChange();
    void OnCloneClicked();
    void OnExit();
    void OnCopiesChanged();

    void ClearInstalledFlags();
    // Checks every free clone row below `copies`.
    void CheckFreeCloneRows();
    // Every flag follows its row's check state, so no flag of an earlier list survives.
    void RefreshSelections();
    void RefillForMode();
    // A run that stopped may have made printers: the list shows them as installed, so that
    // the next run passes over them instead of failing on them again.
    void ShowListAfterStop() override;

    // The rest of the run's screen, in this dialog's windows.
    void Show(const Notice& notice) const override;
    void EnableInstall(bool enable) override;
    void EnableExit(bool enable) override;
    bool AskConnection(InstallSession& session, ConnectionChoice& choice) override;
    void Refresh() override;
    bool AskDefaultPrinter(int& setDefaultRequested) override;
    void ShowCompletion() override;
    void EndProgram() override;
    void PauseToShow(platform::Dword milliseconds) override;
    bool AskToPlugIn() override;
    void OpenSearch() override;
    void SetSearchPos(int position) override;
    void CloseSearch() override;
    // The USB search's windows, made when the search first shows something.
    UsbSearchWindows& Search();

    platform::Platform& platform;
    ProcessState& state;

    ui::IconHandle icon = 0;
    ui::CheckListBox modelList;
    ui::CheckBox cloneCheck;
    ui::Edit copiesEdit;
    std::string copiesText = "1";
    char copiesBuffer[64] = {};
    int copies = 1;
    int cloneMode = 0;
    ui::ProgressBar progressBar;
    ui::StaticText statusLine;
    controls::ImageButton installButton;
    controls::ImageButton exitButton;
    // The USB search's windows, while a run searches.
    std::unique_ptr<UsbSearchWindows> usbSearch;
};

}  // namespace zenthar
