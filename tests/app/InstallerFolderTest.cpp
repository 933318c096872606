// The installer folder before anything in it is used: locked after a good run, refused when it
// is a reparse point, belongs to someone else or cannot be locked (nothing on the machine
// changes then), and only reported by a check.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/InstallerApp.h"
#include "resources/InstallerWords.h"
#include "tests/common/InstallerRun.h"
#include "tests/common/MachineFacts.h"
#include "uninstall/QuietUninstall.h"
#include "uninstall/UninstallerApp.h"

namespace zenthar::testing {
namespace {

using zenthar::resources::Say;
using zenthar::resources::Text;
using zenthar::resources::Words;

namespace sec = platform::security;

constexpr const char* kLog = "C:\\folder.log";
constexpr const char* kUser = "S-1-5-21-1-2-3-1001";
constexpr const char* kPlanted = "C:\\NORVA Orbix Printer 4.X\\Win8\\KVUSBMON.dll";
const std::string kQuotedFolder = "\"C:\\NORVA Orbix Printer 4.X\"";
const std::string kLocked = Say(Words::LogStep, Say(Words::FolderLocked, kQuotedFolder));
const std::string kRefusedResult = Say(Words::LogResult, 10, Text(Words::ExitFolderNotLocked));
const std::string kNotAsAskedResult = Say(Words::LogResult, 9, Text(Words::ExitNotAsAsked));

// The refusal of a folder a user owns, ending in what was not done.
std::string UserOwned(const char* notDone)
{
    return Say(Words::FolderRefused, kQuotedFolder, Say(Words::FolderForeignOwner, kUser), notDone);
}

// The runs, and on a 64-bit Windows the 32-bit programs' start of their twins from the folder.
enum class Program {
    InstallerDialog,
    InstallerQuiet,
    InstallerCheck,
    UninstallerDialog,
    UninstallerQuiet,
    InstallerTwinQuiet,
    InstallerTwinCheck,
    UninstallerTwinDialog
};
// What the machine is afterwards: as before, or locked (everything below the folder reset, or
// only what the folder passes on, where the system cannot reset a tree).
enum class After { Unchanged, Locked, FolderLocked };

struct FolderCase {
    const char* name;
    std::function<void(sim::SimMachine&)> arrange;
    Program program;
    int code;
    // The message box (a dialog run), or lines of the log in order (a quiet run).
    std::vector<std::string> said;
    After after;
};

int RunOnce(InstallerRun& run, Program program)
{
    platform::Platform& platform = run.machine.platform();
    const std::string quiet = "/quiet /model \"NORVA MTR444\" /interface parallel /log ";
    switch (program) {
    case Program::InstallerDialog:
        run.Main().PressEscape();
        return static_cast<int>(RunProgram(platform, run.state, ""));
    case Program::InstallerQuiet: return static_cast<int>(RunProgram(platform, run.state, quiet + kLog));
    case Program::InstallerCheck: return static_cast<int>(RunProgram(platform, run.state, quiet + kLog + " /check"));
    case Program::UninstallerDialog: return static_cast<int>(uninstall::RunUninstallerApp(platform));
    case Program::UninstallerQuiet:
        return static_cast<int>(uninstall::RunQuietUninstall(platform, {"/quiet", "/log", kLog}));
    case Program::InstallerTwinQuiet: return HandOverToTwin(platform, quiet + kLog).value_or(-1);
    case Program::InstallerTwinCheck: return HandOverToTwin(platform, quiet + kLog + " /check").value_or(-1);
    case Program::UninstallerTwinDialog: {
        const auto code = uninstall::HandOverToTwin(platform, "");
        return code ? static_cast<int>(*code) : -1;
    }
    }
    return -1;
}

std::vector<std::string> LogLines(const sim::SimMachine& machine)
{
    std::vector<std::string> lines;
    const std::string text = machine.FileContents(kLog).value_or("");
    for (std::size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

// The folder's and a packaged file's security, as facts.
std::string Security(const sim::SimMachine& machine)
{
    std::string facts;
    for (const char* path : {kInstallerFolder, kPlanted}) {
        facts += std::string(path) + ": owner " + machine.Owner(path) +
                 (machine.DaclProtected(path) ? " protected" : "") + "\n";
        for (const sec::Ace& ace : machine.Aces(path))
            facts += "  " + std::to_string(ace.type) + " " + std::to_string(ace.flags) + " " +
                     std::to_string(ace.mask) + " " + ace.sid + "\n";
    }
    return facts;
}

// The refusals change nothing on the machine. A folder someone else made, to each program.
std::vector<FolderCase> UserOwnedCases()
{
    const auto userOwned = [](sim::SimMachine& machine) { machine.SetOwner(kInstallerFolder, kUser); };
    return {
        {"owned by a user: the dialogs",
         userOwned,
         Program::InstallerDialog,
         10,
         {UserOwned(Text(Words::Installed))},
         After::Unchanged},
        {"owned by a user: the quiet run",
         userOwned,
         Program::InstallerQuiet,
         10,
         {UserOwned(Text(Words::Installed)), kRefusedResult},
         After::Unchanged},
        {"owned by a user: the uninstaller's dialogs",
         userOwned,
         Program::UninstallerDialog,
         3,
         {UserOwned("removed")},
         After::Unchanged},
        {"owned by a user: the uninstaller's quiet run",
         userOwned,
         Program::UninstallerQuiet,
         3,
         {UserOwned("removed"), "Nothing was removed: the installer folder is not safe to use; exit code 3."},
         After::Unchanged},
        {"owned by a user: before the 64-bit installer is started",
         userOwned,
         Program::InstallerTwinQuiet,
         10,
         {UserOwned(Text(Words::Installed)), kRefusedResult},
         After::Unchanged},
        {"owned by a user: before the 64-bit uninstaller is started",
         userOwned,
         Program::UninstallerTwinDialog,
         3,
         {UserOwned("removed")},
         After::Unchanged},
    };
}

// The other refusals, and the check that only reports.
std::vector<FolderCase> OtherRefusedCases()
{
    return {
        // The package moved elsewhere and a link left in its place: where it leads, the user rules.
        {"a reparse point",
         [](sim::SimMachine& machine) {
             machine.RemovePath(kInstallerFolder);
             machine.AddDirectory("C:\\Users\\Public\\Orbix");
             machine.AddReparsePoint(kInstallerFolder, "C:\\Users\\Public\\Orbix");
         },
         Program::InstallerQuiet,
         10,
         {Say(Words::FolderRefused, kQuotedFolder, Text(Words::FolderIsLink), Text(Words::Installed)), kRefusedResult},
         After::Unchanged},
        {"the lock refused",
         [](sim::SimMachine& machine) { machine.FailNext("TreeResetNamedSecurityInfoA", 5); },
         Program::InstallerQuiet,
         10,
         {Say(Words::FolderRefused, kQuotedFolder,
              Say(Words::FolderNotLockable, Say(Words::LockCallFailed, "TreeResetNamedSecurityInfoA", 5)),
              Text(Words::Installed)),
          kRefusedResult},
         After::Unchanged},
        {"its security unreadable",
         [](sim::SimMachine& machine) { machine.FailNext("GetFileSecurityA", 5, 2); },
         Program::InstallerDialog,
         10,
         {Say(Words::FolderRefused, kQuotedFolder, Say(Words::FolderSecurityUnread, 5), Text(Words::Installed))},
         After::Unchanged},
        {"a check of a folder left as made",
         [](sim::SimMachine&) {},
         Program::InstallerCheck,
         9,
         {Say(Words::LogDifference,
              Say(Words::FolderNotLocked, kQuotedFolder, Say(Words::FolderOthersMayChange, "S-1-5-11"))),
          Say(Words::LogDifference, Say(Words::QuietNotInstalled, "\"NORVA MTR444\"")), kNotAsAskedResult},
         After::Unchanged},
        // A check locks nothing, so it starts no twin from a folder that is not locked.
        {"a check before the 64-bit installer is started",
         [](sim::SimMachine&) {},
         Program::InstallerTwinCheck,
         9,
         {Say(Words::LogDifference,
              Say(Words::FolderNotLocked, kQuotedFolder, Say(Words::FolderOthersMayChange, "S-1-5-11"))),
          kNotAsAskedResult},
         After::Unchanged},
    };
}

// The runs that lock the folder.
std::vector<FolderCase> LockedCases()
{
    return {
        {"locked before the 64-bit installer is started",
         [](sim::SimMachine& machine) {
             machine.AddFile(std::string(kInstallerFolder) + "\\zenthar64.exe", "the twin");
         },
         Program::InstallerTwinQuiet,
         0,
         {},
         After::Locked},
        {"owned by the account the program runs as",
         [](sim::SimMachine& machine) { machine.SetOwner(kInstallerFolder, machine.profile().accountSid); },
         Program::InstallerQuiet,
         0,
         {kLocked},
         After::Locked},
        // As Wine's advapi32, which has no such call: the folder itself is set, inheritance does
        // the rest.
        {"no call for the whole tree",
         [](sim::SimMachine& machine) { machine.FailNext("TreeResetNamedSecurityInfoA", 120); },
         Program::InstallerQuiet,
         0,
         {kLocked + Text(Words::FolderLockedItselfOnly)},
         After::FolderLocked},
        {"a good run",
         [](sim::SimMachine&) {},
         Program::InstallerQuiet,
         0,
         {kLocked, Say(Words::LogStep, Text(Words::QuietPrintSpooler))},
         After::Locked},
    };
}

void ExpectSaid(const InstallerRun& run, const FolderCase& c)
{
    const bool dialog = c.program == Program::InstallerDialog || c.program == Program::UninstallerDialog ||
                        c.program == Program::UninstallerTwinDialog;
    if (!dialog) {
        // A message's lines are lines of the log.
        const std::vector<std::string> log = LogLines(run.machine);
        auto at = log.begin();
        for (const std::string& said : c.said) {
            for (std::size_t start = 0; start <= said.size();) {
                const std::size_t end = std::min(said.find('\n', start), said.size());
                at = std::find(at, log.end(), said.substr(start, end - start));
                EXPECT_NE(at, log.end()) << "not in order in the log: " << said.substr(start, end - start) << "\n"
                                         << run.machine.FileContents(kLog).value_or("");
                start = end + 1;
            }
        }
        return;
    }
    if (c.said.empty()) return;
    ASSERT_FALSE(run.screen.Transcript().empty());
    const ui::headless::Event& shown = run.screen.Transcript().front();
    EXPECT_EQ(shown.kind, ui::headless::Event::Kind::MessageBox);
    EXPECT_EQ(shown.text, c.said.front());
    EXPECT_EQ(shown.icon, ui::MessageIcon::Exclamation);
    EXPECT_EQ(run.screen.Transcript().size(), 1u) << "nothing follows the refusal";
}

// A good run leaves the folder and everything in it to SYSTEM and Administrators: what a user
// granted himself on a packaged file before is gone.
void ExpectLocked(const sim::SimMachine& machine, After after)
{
    constexpr std::uint8_t kTree = sec::kObjectInherit | sec::kContainerInherit;
    EXPECT_EQ(machine.Owner(kInstallerFolder), sec::kAdministrators);
    EXPECT_TRUE(machine.DaclProtected(kInstallerFolder));
    EXPECT_EQ(machine.Aces(kInstallerFolder),
              (std::vector<sec::Ace>{{sec::kAccessAllowed, kTree, sec::kFullControl, sec::kSystem},
                                     {sec::kAccessAllowed, kTree, sec::kFullControl, sec::kAdministrators},
                                     {sec::kAccessAllowed, kTree, sec::kReadAndExecute, sec::kUsers}}));
    for (const sec::Ace& ace : machine.Aces(kPlanted)) {
        // Without a reset of the tree, what the file had of its own stays; only what it
        // inherits changes.
        if (after == After::FolderLocked && !(ace.flags & sec::kInherited)) continue;
        EXPECT_TRUE(ace.sid == sec::kSystem || ace.sid == sec::kAdministrators || ace.sid == sec::kUsers) << ace.sid;
        EXPECT_TRUE(ace.sid != sec::kUsers || ace.mask == sec::kReadAndExecute);
    }
}

TEST(InstallerFolder, IsLockedBeforeUseOrRefusedWithNothingChanged)
{
    std::vector<FolderCase> cases = UserOwnedCases();
    for (auto more : {OtherRefusedCases(), LockedCases()})
        for (FolderCase& each : more) cases.push_back(std::move(each));
    for (const FolderCase& c : cases) {
        SCOPED_TRACE(c.name);
        InstallerRun run;
        // A user who may change the folder gave himself everything on a file of the package.
        run.machine.AddAce(kPlanted, {sec::kAccessAllowed, 0, sec::kFullControl, kUser});
        c.arrange(run.machine);
        const MachineFacts before = WholeMachine(run.machine);
        const std::string securityBefore = Security(run.machine);

        EXPECT_EQ(RunOnce(run, c.program), c.code);
        ExpectSaid(run, c);
        EXPECT_TRUE(run.machine.Misuses().empty()) << ::testing::PrintToString(run.machine.Misuses());
        if (c.after != After::Unchanged) {
            ExpectLocked(run.machine, c.after);
            if (c.program == Program::InstallerTwinQuiet) {
                EXPECT_EQ(run.machine.Processes().size(), 1u) << "the twin started from the locked folder";
            }
            continue;
        }
        EXPECT_TRUE(run.machine.Processes().empty()) << "no twin started from the folder";
        EXPECT_EQ(Security(run.machine), securityBefore);
        std::vector<std::string> changed;
        for (const std::string& line : Differences(before, WholeMachine(run.machine)))
            if (line.find("FOLDER.LOG") == std::string::npos) changed.push_back(line);
        EXPECT_EQ(changed, std::vector<std::string>{});
    }
}

// Windows 9x keeps no file security: there is nothing to lock, and the run says so.
TEST(InstallerFolder, WithoutFileSecurityTheRunSaysSoAndGoesOn)
{
    InstallerRun run(sim::Profiles::Windows98());
    RunOnce(run, Program::InstallerQuiet);
    const std::vector<std::string> log = LogLines(run.machine);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front(), Say(Words::LogStep, Say(Words::FolderWithoutSecurity, kQuotedFolder)));
}

}  // namespace
}  // namespace zenthar::testing
