// The fault matrix: every failing call of every kind of run, each in a process of its own.
//
// ZENTHAR_MATRIX_FULL=1 tries every error number the installer tells apart on every call
// (scripts/fuzz.sh runs it so); by default each call gets the numbers its own function is
// told apart by, plus file-not-found, access-denied and one unknown number.
#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <map>
#include <sstream>

#include "FaultMatrix.h"

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

std::string Join(const std::set<std::string>& items)
{
    std::string text;
    for (const auto& item : items) text += item + "\n";
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

    // What the run had made before each call: a run in which that call and every later one
    // fails can change nothing more.
    std::string how;
    const auto initial = RunIsolated([&] { return Join(RunScenario(scenario, std::nullopt, 0).made); }, how);
    ASSERT_TRUE(initial) << "the run failing every call " << how;
    const std::set<std::string> before = Split(*initial);

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
                for (const auto& item : RunScenario(scenario, std::nullopt, index).made)
                    if (before.count(item) == 0) madeBefore.insert(item);
                std::string verdicts;
                for (std::size_t i = first; i < first + count; ++i) {
                    const RunRecord run = RunScenario(scenario, faults[i]);
                    std::string why = Judge(scenario, faults[i], baseline, run);
                    for (const auto& item : madeBefore)
                        if (why.empty() && run.made.count(item) == 0) why = "removed what the run had made: " + item;
                    verdicts += why.empty() ? std::string("ok\n")
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

// The oracle itself: a run must not pass for the ending of another fault.
TEST(FaultOracle, TellsEndingsOfOtherFaultsApart)
{
    const Scenario& lpt = Scenarios()[2];
    const RunRecord baseline = RunScenario(lpt, std::nullopt);
    const Fault driverFails{0, "AddPrinterDriverA", 1, platform::ERROR_ACCESS_DENIED, Mode::Once};
    const RunRecord failed = RunScenario(lpt, driverFails);
    EXPECT_EQ(Judge(lpt, driverFails, baseline, failed), "");
    // The same run, taken for other faults, or with another number, or unchanged.
    EXPECT_NE(Judge(lpt, Fault{0, "OpenPrinterA", 1, platform::ERROR_ACCESS_DENIED, Mode::Once}, baseline, failed), "");
    EXPECT_NE(Judge(lpt, Fault{0, "AddPrinterDriverA", 1, platform::ERROR_FILE_NOT_FOUND, Mode::Once}, baseline,
                    failed),
              "");
    EXPECT_NE(Judge(lpt, Fault{0, "ClosePrinter", 1, platform::ERROR_ACCESS_DENIED, Mode::Once}, baseline, failed), "");
    EXPECT_NE(Judge(lpt, driverFails, baseline, baseline), "");
    // A run whose registration failure left Exit enabled is not a designed stop.
    RunRecord exitLeftOn = failed;
    exitLeftOn.exitEnabled = true;
    EXPECT_NE(Judge(lpt, driverFails, baseline, exitLeftOn), "");
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
