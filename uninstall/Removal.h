#pragma once
#include <string>
#include <utility>
#include <vector>
#include "core/InstallationRecord.h"
#include "platform/Platform.h"

namespace zenthar::uninstall {

enum class PartKind { Printer, Driver, Copies, Port, Monitor, Entry };

// One thing of ours on the machine. Plans list parts in the order they are removed.
struct Part {
    Part() = default;
    Part(PartKind kind, std::string name, std::string where = {})
        : kind(kind), name(std::move(name)), where(std::move(where))
    {
    }

    PartKind kind = PartKind::Printer;
    std::string name;  // printer, driver, port or monitor name; for Entry the entry's display name
    // Where the part lies when that is not where this program looks first: for a driver or
    // copies the environment ("" for this program's own), for the entry its key below HKLM.
    std::string where;
    // The recorded files that go with the part: the copies, or the monitor's libraries.
    std::vector<std::string> files;
    // For the monitor: whether its registration goes too (the record holds it), or only its
    // recorded libraries; and whether only those go rather than the libraries of its name.
    bool unregister = true;
    bool recordedFiles = false;
};

// An installation record found on the machine, with what is to be taken out of it because a
// printer that is not ours now needs it.
struct RecordFound {
    std::string key;          // below HKLM
    std::string environment;  // of its drivers: "" for this program's own
    std::vector<MadeThing> things;
    std::vector<MadeThing> handedOver;
};

struct Plan {
    std::vector<Part> parts;
    bool Empty() const { return parts.empty(); }
    // Not 0 when the spooler could not be read: the call that failed and its error. The plan
    // then lists nothing, because what is ours cannot be told from what is not.
    platform::Dword readError = 0;
    std::string failedRead;
    // Things of ours that are left on purpose, each with why, for the summary and the log, e.g.
    // "Left port \"IP_10.1.2.3\": printer \"Front Desk\" uses it".
    std::vector<std::string> left;
    // The installation records; none for an installation made before they were kept.
    std::vector<RecordFound> records;
};

// Reads the machine: everything of ours that is there now. A stopped spooler is started
// first, as the installer does, since nothing of it can be read or removed otherwise. The
// monitor's libraries are looked for in the native system folder, where the installer put
// them; WOW64 redirection is off only for those looks and their deletion, so the windows made
// afterwards see the folders as they expect.
Plan FindOurs(platform::Platform& platform);

struct Outcome {
    Part part;
    platform::Dword error = 0;  // 0: removed; otherwise the system's error number
    std::string detail;         // when not removed: the failing call, or why it was left
};

// Told before each part is removed; position runs 0..100 over the plan.
class RemovalView {
public:
    virtual void Removing(const Part& part, int position) = 0;
    // Told after each part, with how it went.
    virtual void Removed(const Outcome&) {}

protected:
    ~RemovalView() = default;
};

// Removes the plan's parts in order; one failure does not stop the others. One outcome per part.
// The records keep what is still there; they and the entry go when nothing recorded is left.
std::vector<Outcome> RemoveOurs(platform::Platform& platform, const Plan& plan, RemovalView& view);

// The uninstaller's exit codes, the same with windows and without.
inline constexpr int kExitRemoved = 0;        // everything removed, or nothing to remove
inline constexpr int kExitNotAllRemoved = 1;  // at least one part is still there, or the spooler was unread
// Nothing was tried: the user cancelled, or the command line was not understood, or the log
// asked for could not be written. Apart from 1, so that a script can tell "did not run" from
// "ran, left something".
inline constexpr int kExitNothingTried = 2;

// kExitRemoved when every outcome is a removal, else kExitNotAllRemoved.
int ExitCodeOf(const std::vector<Outcome>& outcomes);

// Plain-English texts shared by the dialogs, the summary and the log, e.g.
// Describe(part) == "printer \"NORVA MTR333\"",
// Describe(outcome) == "Removed printer \"NORVA MTR333\"" or
//   "Could not remove printer \"NORVA MTR333\": 2 jobs are waiting (error 3009)".
std::string Describe(const Part& part);
std::string Describe(const Outcome& outcome);
// "Could not read the print spooler: EnumPrintersA failed (error 1722)"; empty when it was read.
std::string DescribeReadFailure(const Plan& plan);

}  // namespace zenthar::uninstall
