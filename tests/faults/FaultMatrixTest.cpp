// The fault matrix: every failing call of every kind of run, each in a process of its own.
//
// ZENTHAR_MATRIX_FULL=1 tries every error number the installer tells apart on every call
// (scripts/fuzz.sh runs it so); by default each call gets the numbers its own function is
// told apart by, plus file-not-found, access-denied and one unknown number.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <map>
#include <sstream>

#include "FaultMatrix.h"
#include "resources/InstallerWords.h"

namespace zenthar::testing::faults {
namespace {

constexpr std::size_t kReportedMismatches = 25;

bool FullMatrix()
{
    const char* full = std::getenv("ZENTHAR_MATRIX_FULL");
    return full && std::string(full) == "1";
}

// ZENTHAR_MATRIX_CALL=<n> runs the faults of call n alone, for a look at one of them.
bool Selected(std::size_t index)
{
    const char* only = std::getenv("ZENTHAR_MATRIX_CALL");
    return !only || std::to_string(index) == only;
}

std::string Join(const Machine& machine)
{
    std::string text;
    for (const auto& [fact, value] : machine) text += fact + "\n";
    return text;
}

std::set<std::string> Split(const std::string& text)
{
    std::set<std::string> items;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
        if (!line.empty()) items.insert(line);
    return items;
}

const char* ModeName(Mode mode)
{
    return mode == Mode::Once ? "once" : "from there on";
}

class FaultMatrix : public ::testing::TestWithParam<std::tuple<int, Mode>> {};

TEST_P(FaultMatrix, EveryFailingCallEndsAsDesigned)
{
    const Scenario& scenario = Scenarios()[static_cast<std::size_t>(std::get<0>(GetParam()))];
    const Mode mode = std::get<1>(GetParam());

    const RunRecord baseline = RunScenario(scenario, std::nullopt);
    ASSERT_EQ(baseline.ending, Ending::Completed) << FirstDifference({}, baseline.transcript);
    for (const auto& line : baseline.transcript) ASSERT_EQ(line.rfind("message ", 0), std::string::npos) << line;
    ASSERT_TRUE(CheckInvariants(baseline).empty()) << CheckInvariants(baseline);
    ASSERT_EQ(baseline.couldNotDo, std::vector<std::string>{}) << "the scenario no longer fits";

    // What the run had made before each call, computed here once for every child.
    std::string how;
    const auto initial = RunIsolated([&] { return Join(RunScenario(scenario, std::nullopt, 0).machine); }, how);
    ASSERT_TRUE(initial) << "the run failing every call " << how;
    const std::set<std::string> before = Split(*initial);
    for (std::size_t index = 0; index <= baseline.calls.size(); ++index)
        if (Selected(index) || Selected(index - 1)) MachineBefore(scenario, index);

    std::size_t runs = 0, crashes = 0, mismatches = 0;
    std::vector<std::string> reports;
    std::map<std::string, unsigned> occurrences;
    for (std::size_t index = 0; index < baseline.calls.size(); ++index) {
        const std::string& function = baseline.calls[index];
        const unsigned occurrence = ++occurrences[function];
        if (NeverFails(function) || !Selected(index)) continue;

        // One process for the call's faults together (a fork costs much under the
        // sanitizers); when it dies, each fault again on its own, to name the one.
        std::vector<Fault> faults;
        for (const platform::Dword error : ErrorsFor(function, FullMatrix()))
            faults.push_back(Fault{index, function, occurrence, error, mode});
        runs += faults.size() + 1;
        const auto judgeAll = [&](std::size_t first, std::size_t count) {
            return [&, first, count] {
                std::set<std::string> madeBefore;
                for (const auto& [item, value] : MachineBefore(scenario, index))
                    if (before.count(item) == 0) madeBefore.insert(item);
                std::string verdicts;
                for (std::size_t i = first; i < first + count; ++i) {
                    const RunRecord run = RunScenario(scenario, faults[i]);
                    std::string why = Judge(scenario, faults[i], baseline, run);
                    for (const auto& item : madeBefore)
                        if (why.empty() && run.machine.count(item) == 0) why = "removed what the run had made: " + item;
                    verdicts += why.empty() ? "ok\n"
                                            : why + "; first difference " +
                                                  FirstDifference(baseline.transcript, run.transcript) + "\n";
                }
                return verdicts;
            };
        };
        std::vector<std::optional<std::string>> verdicts(faults.size());
        std::vector<std::string> crashHow(faults.size());
        if (const auto together = RunIsolated(judgeAll(0, faults.size()), how)) {
            std::istringstream lines(*together);
            for (auto& verdict : verdicts) {
                verdict.emplace();
                std::getline(lines, *verdict);
            }
        } else {
            for (std::size_t i = 0; i < faults.size(); ++i) {
                verdicts[i] = RunIsolated(judgeAll(i, 1), crashHow[i]);
                if (verdicts[i] && !verdicts[i]->empty() && verdicts[i]->back() == '\n') verdicts[i]->pop_back();
            }
        }

        for (std::size_t i = 0; i < faults.size(); ++i) {
            const std::string name = "call " + std::to_string(index) + " " + function + " #" +
                                     std::to_string(occurrence) + " error " + std::to_string(faults[i].error) + " " +
                                     ModeName(mode);
            if (!verdicts[i]) {
                ++crashes;
                reports.push_back(name + ": " + crashHow[i]);
            } else if (*verdicts[i] != "ok") {
                ++mismatches;
                reports.push_back(name + ": " + *verdicts[i]);
            }
        }
    }

    std::cout << "[ matrix   ] " << scenario.name << " " << ModeName(mode) << ": " << baseline.calls.size()
              << " calls, " << runs << " runs, " << crashes << " crashes, " << mismatches << " mismatches"
              << (FullMatrix() ? " (every error on every call)" : "") << std::endl;
    for (std::size_t i = 0; i < reports.size() && i < kReportedMismatches; ++i) std::cout << "  " << reports[i] << "\n";
    EXPECT_EQ(crashes, 0u);
    EXPECT_EQ(mismatches, 0u);
}

// The oracle itself: a run must not pass for the ending of another fault, nor for an ending
// that lost a message, a number, a value or a file.
Fault FaultAt(const RunRecord& baseline, const std::string& function, unsigned occurrence, platform::Dword error,
              Mode mode = Mode::Once)
{
    unsigned seen = 0;
    for (std::size_t i = 0; i < baseline.calls.size(); ++i)
        if (baseline.calls[i] == function && ++seen == occurrence) return Fault{i, function, occurrence, error, mode};
    ADD_FAILURE() << function << " #" << occurrence << " is not called";
    return {};
}

// The run with one line of its transcript replaced (or dropped, when `replacement` is empty).
RunRecord WithLine(RunRecord run, const std::string& start, const std::string& replacement)
{
    const auto it = std::find_if(run.transcript.begin(), run.transcript.end(),
                                 [&](const std::string& line) { return line.rfind(start, 0) == 0; });
    EXPECT_NE(it, run.transcript.end()) << start;
    if (it == run.transcript.end()) return run;
    if (replacement.empty()) {
        run.transcript.erase(it);
    } else {
        *it = replacement;
    }
    return run;
}

RunRecord WithoutFact(RunRecord run, const std::string& fact)
{
    EXPECT_EQ(run.machine.erase(fact), 1u) << fact;
    return run;
}

TEST(FaultOracle, TellsEndingsOfOtherFaultsApart)
{
    const Scenario& lpt = Scenarios()[2];
    const RunRecord baseline = RunScenario(lpt, std::nullopt);
    const Fault driverFails = FaultAt(baseline, "AddPrinterDriverA", 1, platform::ERROR_ACCESS_DENIED);
    const RunRecord failed = RunScenario(lpt, driverFails);
    EXPECT_EQ(Judge(lpt, driverFails, baseline, failed), "");
    // The same run, taken for other faults, or with another number, or unchanged.
    EXPECT_NE(Judge(lpt, FaultAt(baseline, "OpenPrinterA", 1, platform::ERROR_ACCESS_DENIED), baseline, failed), "");
    EXPECT_NE(Judge(lpt, FaultAt(baseline, "AddPrinterDriverA", 1, platform::ERROR_FILE_NOT_FOUND), baseline, failed),
              "");
    EXPECT_NE(Judge(lpt, FaultAt(baseline, "ClosePrinter", 1, platform::ERROR_ACCESS_DENIED), baseline, failed), "");
    EXPECT_NE(Judge(lpt, driverFails, baseline, baseline), "");
    // A run whose registration failure left Exit enabled is not a designed stop.
    RunRecord exitLeftOn = failed;
    exitLeftOn.exitEnabled = true;
    EXPECT_NE(Judge(lpt, driverFails, baseline, exitLeftOn), "");
}

// The installation record: a write of it that fails leaves that thing out of the record and
// changes nothing else; a record that lost or gained a thing is no designed ending.
TEST(FaultOracle, AFailedRecordWriteChangesTheRecordAlone)
{
    const Scenario& ethernet = Scenarios()[3];
    const RunRecord baseline = RunScenario(ethernet, std::nullopt);
    const std::string port = "record:Port: IP_10.1.2.3";
    ASSERT_EQ(baseline.machine.count(port), 1u);
    const Fault recordPort = FaultAt(baseline, "RegSetValueExA", 1, platform::ERROR_ACCESS_DENIED);
    const RunRecord failed = RunScenario(ethernet, recordPort);
    ASSERT_EQ(Judge(ethernet, recordPort, baseline, failed), "");
    EXPECT_EQ(failed.machine.count(port), 0u);
    EXPECT_EQ(failed.transcript, baseline.transcript);
    EXPECT_NE(Judge(ethernet, recordPort, baseline, baseline), "");
    EXPECT_NE(Judge(ethernet, recordPort, baseline, WithoutFact(failed, "record:Printer: NORVA MTR333")), "");
    RunRecord extra = failed;
    extra.machine["record:Printer: NORVA MTR444"] = "type 1";
    EXPECT_NE(Judge(ethernet, recordPort, baseline, extra), "");
}

TEST(FaultOracle, RejectsEndingsThatLostSomething)
{
    const Scenario& ethernet = Scenarios()[3];
    const RunRecord baseline = RunScenario(ethernet, std::nullopt);
    const char* const kPortKey = "value:SYSTEM\\CONTROLSET001\\CONTROL\\PRINT\\MONITORS\\STANDARD TCP/IP PORT\\PORTS\\"
                                 "IP_10.1.2.3\\";

    // A failed write of the third value (the first value written records the port): its
    // message, and the key without that value.
    const Fault snmpEnabled = FaultAt(baseline, "RegSetValueExA", 4, platform::ERROR_ACCESS_DENIED);
    const RunRecord failed = RunScenario(ethernet, snmpEnabled);
    ASSERT_EQ(Judge(ethernet, snmpEnabled, baseline, failed), "");
    EXPECT_EQ(failed.machine.count(std::string(kPortKey) + "SNMP Enabled"), 0u);
    // Ignored, then completed; the message dropped; another value missing as well.
    EXPECT_NE(Judge(ethernet, snmpEnabled, baseline, baseline), "");
    EXPECT_NE(Judge(ethernet, snmpEnabled, baseline,
                    WithLine(failed, "message \"Fail to Read SNMP Enabled GetLastError=5\"", "")),
              "");
    EXPECT_NE(Judge(ethernet, snmpEnabled, baseline, WithoutFact(failed, std::string(kPortKey) + "HostName")), "");
    // The message of another call site: the run of the second value's failure, or its line.
    const Fault protocol = FaultAt(baseline, "RegSetValueExA", 3, platform::ERROR_ACCESS_DENIED);
    EXPECT_NE(Judge(ethernet, snmpEnabled, baseline, RunScenario(ethernet, protocol)), "");
    EXPECT_NE(
        Judge(
            ethernet, snmpEnabled, baseline,
            WithLine(
                failed, "message \"Fail to Read SNMP Enabled GetLastError=5\"",
                "message \"Fail to Write Protocol GetLastError=5\" caption \"RegQueryValueEx\" icon none owner main")),
        "");
    // The same message with another owner.
    EXPECT_NE(
        Judge(
            ethernet, snmpEnabled, baseline,
            WithLine(
                failed, "message \"Fail to Read SNMP Enabled GetLastError=5\"",
                "message \"Fail to Read SNMP Enabled GetLastError=5\" caption \"RegQueryValueEx\" icon none owner none")),
        "");

    // The first value's message names the error: a wrong number is rejected.
    const Fault portNumber = FaultAt(baseline, "RegSetValueExA", 2, platform::ERROR_ACCESS_DENIED);
    const RunRecord numbered = RunScenario(ethernet, portNumber);
    ASSERT_EQ(Judge(ethernet, portNumber, baseline, numbered), "");
    EXPECT_NE(Judge(ethernet, portNumber, baseline,
                    WithLine(numbered, "message \"Fail to Write PortNumber",
                             "message \"Fail to Write PortNumber GetLastError=2\" caption \"zenthar\" icon exclamation "
                             "owner none")),
              "");
}

TEST(FaultOracle, RejectsMachinesThatLostSomething)
{
    const Scenario& usb = Scenarios()[0];
    const RunRecord baseline = RunScenario(usb, std::nullopt);
    // The monitor library not copied: not registered, the debugger told, and the USB printer
    // moved to COM1: with its message.
    const Fault libraryCopy = FaultAt(baseline, "CopyFileA", 1, platform::ERROR_ACCESS_DENIED);
    const RunRecord failed = RunScenario(usb, libraryCopy);
    ASSERT_EQ(Judge(usb, libraryCopy, baseline, failed), "");
    EXPECT_EQ(failed.machine.count("monitor:KVPOS Port Monitor"), 0u);
    EXPECT_EQ(failed.machine.at("debugger heard"),
              std::string(resources::Text(resources::Words::AddMonitorFailed)) + ";");
    EXPECT_NE(Judge(usb, libraryCopy, baseline, baseline), "");
    RunRecord registered = failed;
    registered.machine["monitor:KVPOS Port Monitor"] = "KVUSBMON.dll";
    EXPECT_NE(Judge(usb, libraryCopy, baseline, registered), "");
    RunRecord silent = failed;
    silent.machine["debugger heard"] = "";
    EXPECT_NE(Judge(usb, libraryCopy, baseline, silent), "");
    EXPECT_NE(Judge(usb, libraryCopy, baseline, WithLine(failed, "message \"Forcibly set to COM1:", "")), "");

    // A missing file, besides the one whose copy failed.
    const Fault uiCopy = FaultAt(baseline, "CopyFileA", 2, platform::ERROR_ACCESS_DENIED);
    const RunRecord uiMissing = RunScenario(usb, uiCopy);
    ASSERT_EQ(Judge(usb, uiCopy, baseline, uiMissing), "");
    EXPECT_NE(Judge(usb, uiCopy, baseline,
                    WithoutFact(uiMissing, "file:C:\\WINDOWS\\SYSTEM32\\SPOOL\\DRIVERS\\W32X86\\VXTHM4.INI")),
              "");
    EXPECT_NE(Judge(usb, uiCopy, baseline, baseline), "");

    // Every failed scan is reported, one message each.
    const Scenario& clones = Scenarios()[4];
    const RunRecord cloneBaseline = RunScenario(clones, std::nullopt);
    const Fault scans = FaultAt(cloneBaseline, "EnumPrintersA", 1, platform::ERROR_ACCESS_DENIED, Mode::FromThereOn);
    const RunRecord unscanned = RunScenario(clones, scans);
    ASSERT_EQ(Judge(clones, scans, cloneBaseline, unscanned), "");
    EXPECT_NE(Judge(clones, scans, cloneBaseline, WithLine(unscanned, "message \"EnumPrinters() failed\"", "")), "");
}

// A scenario that no longer fits the program fails: a control it clicks is missing, or the
// port it picks is not listed.
TEST(FaultOracle, ScenariosThatDriftFail)
{
    const RunRecord missingRadio = RunScenario(DriftedScenarios()[0], std::nullopt, std::nullopt);
    EXPECT_NE(CheckInvariants(missingRadio), "");
    const RunRecord unlisted = RunScenario(DriftedScenarios()[1], std::nullopt, std::nullopt);
    EXPECT_EQ(unlisted.couldNotDo, std::vector<std::string>{"port COM9: not listed"});
}

std::string ParamName(const ::testing::TestParamInfo<std::tuple<int, Mode>>& info)
{
    return std::string(Scenarios()[static_cast<std::size_t>(std::get<0>(info.param))].name) +
           (std::get<1>(info.param) == Mode::Once ? "Once" : "FromThereOn");
}

INSTANTIATE_TEST_SUITE_P(Runs, FaultMatrix,
                         ::testing::Combine(::testing::Range(0, 5), ::testing::Values(Mode::Once, Mode::FromThereOn)),
                         ParamName);

}  // namespace
}  // namespace zenthar::testing::faults
