// A whole run of the installer on a simulated machine, answered by a scripted user.
//
// The transcript is what the user saw, in order: every dialog opened and ended, every
// message box, every change of the main dialog's status line or progress bar as it was
// painted, and every designed pause.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/InstallerApp.h"
#include "core/Pause.h"
#include "install/ProcessState.h"
#include "platform/sim/SimMachine.h"
#include "resources/MainDialogIds.h"
#include "resources/ResourceIds.h"
#include "tests/common/SamplePackage.h"
#include "tests/common/TranscriptLines.h"
#include "ui/headless/HeadlessBackend.h"

namespace zenthar::testing {

class InstallerRun {
public:
    explicit InstallerRun(sim::MachineProfile profile = sim::Profiles::Windows10x64())
        : machine(std::move(profile)), state(machine.platform())
    {
        AddSamplePackage(machine);
        if (machine.profile().Is64BitSystem()) AddSystemUniversalDriver(machine);
        current = this;
        ui::UseBackend(&screen);
        SetPauseHook(&RecordPause);
        screen.OnPainted([this](ui::headless::HeadlessDialog& window) { Painted(window); });
    }

    ~InstallerRun()
    {
        SetPauseHook(nullptr);
        ui::UseBackend(nullptr);
        current = nullptr;
    }

    // The user's actions in the main dialog and the others, per template.
    ui::headless::UserScript& Main() { return screen.Script(resources::kMainDialog); }
    ui::headless::UserScript& Interface() { return screen.Script(resources::kInterfaceDialog); }
    ui::headless::UserScript& DefaultPrinter() { return screen.Script(resources::kDefaultPrinterDialog); }
    ui::headless::UserScript& Complete() { return screen.Script(resources::kInstallCompleteDialog); }
    ui::headless::UserScript& Address() { return screen.Script(resources::kIpAddressDialog); }
    ui::headless::UserScript& UsbWarning() { return screen.Script(resources::kUsbWarningDialog); }

    // Runs the program to its end.
    void Start()
    {
        RunInstallerApp(machine.platform(), state);
        Flush();
        EXPECT_TRUE(screen.Errors().empty()) << ::testing::PrintToString(screen.Errors());
        EXPECT_TRUE(machine.Misuses().empty()) << ::testing::PrintToString(machine.Misuses());
    }

    const std::vector<std::string>& Transcript() const { return lines; }
    std::string TranscriptText() const
    {
        std::string text;
        for (const auto& line : lines) text += line + "\n";
        return text;
    }
    // The lines of the transcript that start with `prefix`.
    std::vector<std::string> Lines(std::string_view prefix) const
    {
        std::vector<std::string> found;
        for (const auto& line : lines)
            if (line.rfind(prefix, 0) == 0) found.push_back(line);
        return found;
    }

    // A printer as the spooler has it, with its driver of the same name.
    void AddExistingPrinter(const std::string& name, const std::string& port = "LPT1:")
    {
        sim::SimDriver driver;
        driver.name = name;
        driver.driverPath = "UNIDRV.DLL";
        machine.AddDriver(driver);
        sim::SimPrinter printer;
        printer.name = name;
        printer.driverName = name;
        printer.portName = port;
        machine.AddPrinter(printer);
    }

    sim::SimMachine machine;
    ui::headless::HeadlessBackend screen;
    ProcessState state;

private:
    static void RecordPause(platform::Platform& platform, platform::Dword milliseconds)
    {
        current->Flush();
        current->lines.push_back("pause " + std::to_string(milliseconds));
        platform.clock.Sleep(milliseconds);
    }

    void Painted(ui::headless::HeadlessDialog& window)
    {
        if (window.TemplateId() != resources::kMainDialog) return;
        Flush();
        const auto* status = window.Find(resources::main_ids::kStatusLine);
        const auto* bar = window.Find(resources::main_ids::kProgressBar);
        if (!status || !bar) return;
        std::string line = "status \"" + status->text + "\" " + std::to_string(bar->pos);
        if (line != lastStatus) lines.push_back(line);
        lastStatus = line;
    }

    void Flush()
    {
        const auto& events = screen.Transcript();
        for (; flushed < events.size(); ++flushed) lines.push_back(events[flushed].Describe());
    }

    static inline InstallerRun* current = nullptr;
    std::vector<std::string> lines;
    std::size_t flushed = 0;
    std::string lastStatus;
};

// What a run that installs "NORVA MTR444" alone on COM2: with code page 866 leaves: that printer
// on its port, its settings record holding the code page, and the code page's description file.
inline void ExpectMtr444OnCom2With866(const sim::SimMachine& machine)
{
    const auto printer = machine.FindPrinter("NORVA MTR444");
    ASSERT_TRUE(printer);
    EXPECT_EQ(printer->portName, "COM2:");
    EXPECT_EQ(machine.Printers().size(), 1u);
    const auto data = printer->FindData("TTY DeviceConfig");
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->bytes[4] | data->bytes[5] << 8, 866);
    EXPECT_EQ(machine.FileContents(machine.DriverDirectory() + "\\VXTHM4.GPD"), "WinXP\\Language\\VXTHM4_866.GPD");
}

}  // namespace zenthar::testing
