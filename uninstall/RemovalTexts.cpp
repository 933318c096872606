#include "uninstall/RemovalTexts.h"

#include "uninstall/MachineReads.h"

namespace zenthar::uninstall {

namespace {

const char* KindName(PartKind kind)
{
    switch (kind) {
    case PartKind::Printer: return "printer";
    case PartKind::Driver: return "driver";
    case PartKind::Copies: return "driver file copies in";
    case PartKind::Port: return "port";
    case PartKind::Monitor: return "port monitor";
    case PartKind::Entry: return "uninstall entry";
    }
    return "";
}

}  // namespace

std::string Describe(const Part& part)
{
    std::string text = std::string(KindName(part.kind)) + " " + Quoted(part.name);
    if (part.kind == PartKind::Driver && !part.where.empty()) text += " (" + part.where + ")";
    if (part.kind == PartKind::Entry && part.where.rfind(kView32Prefix, 0) == 0) text += " (32-bit registry view)";
    return text;
}

std::string Describe(const Outcome& outcome)
{
    if (outcome.Removed()) return "Removed " + Describe(outcome.part);
    return "Could not remove " + Describe(outcome.part) + ": " + outcome.notRemoved->detail + " (error " +
           std::to_string(outcome.notRemoved->error) + ")";
}

std::string DescribeReadFailure(const Failure& failure)
{
    return "Could not read the print spooler: " + Describe(failure);
}

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

std::string LeftLine(const Part& part, const std::string& why)
{
    return "Left " + Describe(part) + ": " + why;
}

std::string LeftOutsideLine(const std::string& path, const char* folder)
{
    return "Left file " + Quoted(path) + ": the record names it outside " + folder +
           ", where the installer puts no file";
}

std::string StillUsedBy(const std::vector<std::string>& users)
{
    return "printer " + Quoted(users.front()) + " still uses it";
}

std::string PortUsedBy(const std::string& port, const std::string& printer)
{
    return "its port " + Quoted(port) + " is used by printer " + Quoted(printer);
}

std::string JobsWaiting(platform::Dword count)
{
    return count == 1 ? "1 job is waiting" : std::to_string(count) + " jobs are waiting";
}

std::string SummaryHeadline(const std::vector<Outcome>& outcomes, std::size_t leftOnPurpose)
{
    std::size_t failed = 0;
    for (const Outcome& outcome : outcomes) failed += !outcome.Removed();
    // "Everything" would deny the lines below it that say what stays.
    if (failed == 0 && leftOnPurpose > 0)
        return "Removal completed !!!\nEverything below was removed except the parts marked \"Left\", which stay.";
    if (failed == 0) return "Removal completed !!!\nEverything listed below was removed from this computer.";
    return "Removal completed with errors !!!\n" + std::to_string(failed) + " of " + std::to_string(outcomes.size()) +
           (outcomes.size() == 1 ? " part" : " parts") +
           " could not be removed; the system's error number is given with each.";
}

std::string TotalsLine(const std::vector<Outcome>& outcomes, UninstallerExit exitCode)
{
    std::size_t left = 0;
    for (const Outcome& outcome : outcomes) left += !outcome.Removed();
    return std::to_string(outcomes.size() - left) + " removed, " + std::to_string(left) +
           " could not be removed; exit code " + std::to_string(static_cast<int>(exitCode)) + ".";
}

}  // namespace zenthar::uninstall
