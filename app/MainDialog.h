// The installer's one main window: the printer list, the cloning option, progress, and the
// Install and Exit buttons.
#pragma once

#include <span>
#include <string>

#include "app/NameTables.h"
#include "app/ProcessState.h"
#include "controls/ImageButton.h"
#include "platform/Platform.h"
#include "ui/Controls.h"
#include "ui/Dialog.h"

namespace zenthar {

class MainDialog : public ui::Dialog {
public:
    MainDialog(platform::Platform& platform, ProcessState& state);
    ~MainDialog() override;

    // Rows whose check box is checked or indeterminate.
    int CountCheckedRows() const;
    // Marks the rows whose printer (with a driver of the same name) exists already.
    void MarkInstalledRows();
    void RebuildList(const NameTable& table, int count);
    // Shows a step of the installation run in the status line and the bar, painted at once.
    void ShowStep(const char* text, int position);
    void ShowPosition(int position);
    // What Install runs.
    void RunInstallation();

    // The name of row `row` in the current mode.
    const char* RowName(int row) const;

    int CloneMode() const { return cloneMode; }
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
    void ShowListAfterStop();
    void SetDefaultPrinter(const char* printerName);

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

    // The run's port, kept for its length: the chosen port's name, and the network port made
    // from the address.
    char portName[32] = {};
    int lastRow = -1;
};

}  // namespace zenthar
