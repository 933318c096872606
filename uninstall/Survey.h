// The survey of the machine: everything of ours that is there now, in the order it goes, and
// what of ours stays because something that is not ours relies on it.
#pragma once
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/Failure.h"
#include "core/InstallationRecord.h"
#include "platform/Platform.h"

namespace zenthar::uninstall {

enum class PartKind { Printer, Driver, Copies, Port, Monitor, Entry };

// One thing of ours on the machine. Plans list parts in the order they are removed.
struct Part {
    Part() = default;
    Part(PartKind kind, std::string name, std::string where = {})
        : kind(kind), name(std::move(name)), where(std::move(where))
    {}

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
    // Set when the spooler could not be read. The plan then lists nothing, because what is ours
    // cannot be told from what is not.
    std::optional<Failure> readFailure;
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

}  // namespace zenthar::uninstall
