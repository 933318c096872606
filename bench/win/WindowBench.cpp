// The copies box of the real main dialog, timed key by key as a person types: starts the
// program, ticks the clone box, types "200" into the copies box, takes it back to "2" with
// Backspace, types it up again and switches clone mode off and on with 200 rows in the list.
// Each step is sent to its control (the program handles it before the call returns), then
// the dialog is asked to paint what changed: the time covers the handler and the repaint a
// person waits for. Several rounds; each step's median and worst are printed beside the goal.
//
//   window-bench.exe PROGRAM [ROUNDS]
//
// Exit code 0 when every step left the list with the rows it should have, 1 otherwise (the
// figures are printed either way; meeting the goal is for the reader to judge).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "resources/DialogTemplates.h"
#include "resources/MainDialogIds.h"
#include "resources/ResourceIds.h"
#include "tests/common/WindowTestKit.h"

namespace {

namespace ids = zenthar::resources::main_ids;
using zenthar::testing::StartProgram;
using zenthar::testing::WaitForShownWindow;

constexpr double kGoalMs = 100.0;

struct Step {
    const char* label;
    int expectedRows;
    enum class Action { Key, Clone } action;
    WPARAM key;  // the character typed, for Key
    std::vector<double> times;
};

double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f{};
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Times each step of every round; false when a step left another number of rows than it should.
bool TimeRounds(HWND dialog, int modelRows, int rounds, std::vector<Step>& steps)
{
    HWND clone = GetDlgItem(dialog, ids::kCloneCheck);
    HWND copies = GetDlgItem(dialog, ids::kCopiesEdit);
    HWND list = GetDlgItem(dialog, ids::kModelList);
    bool rowsRight = true;
    for (int round = 0; round < rounds; ++round) {
        for (Step& step : steps) {
            if (step.action == Step::Action::Key && step.key == '2') {
                // The box's text selected, as a double click leaves it: "2" replaces it.
                SendMessageA(copies, EM_SETSEL, 0, -1);
            }
            const double start = Now();
            if (step.action == Step::Action::Clone) SendMessageA(clone, BM_CLICK, 0, 0);
            else SendMessageA(copies, WM_CHAR, step.key, 1);
            RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            step.times.push_back(Now() - start);
            const int rows = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
            const int expected = step.expectedRows < 0 ? modelRows : step.expectedRows;
            if (rows != expected) {
                std::printf("round %d, %s: %d rows, expected %d\n", round + 1, step.label, rows, expected);
                rowsRight = false;
            }
        }
    }
    return rowsRight;
}

void PrintFigures(const std::vector<Step>& steps, int modelRows, int rounds)
{
    std::printf("%-38s %6s %12s %12s %10s\n", "step", "rows", "median ms", "worst ms", "goal ms");
    double worstOfAll = 0;
    for (const Step& step : steps) {
        const double worst = *std::max_element(step.times.begin(), step.times.end());
        const int rows = step.expectedRows < 0 ? modelRows : step.expectedRows;
        std::printf("%-38s %6d %12.1f %12.1f %10s\n", step.label, rows, Median(step.times), worst, "<= 100");
        worstOfAll = std::max(worstOfAll, worst);
    }
    std::printf("worst step over %d rounds: %.1f ms (goal <= %.0f ms): %s\n", rounds, worstOfAll, kGoalMs,
                worstOfAll <= kGoalMs ? "met" : "missed");
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: window-bench PROGRAM [ROUNDS]\n");
        return 2;
    }
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    const zenthar::resources::DialogTemplate* mainTemplate =
        zenthar::resources::FindDialogTemplate(zenthar::resources::kMainDialog);
    if (!mainTemplate) return 2;

    PROCESS_INFORMATION program{};
    if (!StartProgram("\"" + std::string(argv[1]) + "\"", program)) {
        std::fprintf(stderr, "cannot start %s, error %lu\n", argv[1], GetLastError());
        return 1;
    }
    HWND dialog = WaitForShownWindow(mainTemplate->caption, 60000);
    if (!dialog) {
        std::fprintf(stderr, "the main dialog did not appear\n");
        TerminateProcess(program.hProcess, 1);
        return 1;
    }
    HWND clone = GetDlgItem(dialog, ids::kCloneCheck);
    HWND list = GetDlgItem(dialog, ids::kModelList);

    // Every round starts with clone mode on and leaves it so: the first round from one row, the
    // others from 200.
    std::vector<Step> steps = {
        {"key \"2\" (the box's text selected)", 2, Step::Action::Key, '2', {}},
        {"key \"0\"", 20, Step::Action::Key, '0', {}},
        {"key \"0\"", 200, Step::Action::Key, '0', {}},
        {"key Backspace", 20, Step::Action::Key, VK_BACK, {}},
        {"key Backspace", 2, Step::Action::Key, VK_BACK, {}},
        {"key \"0\"", 20, Step::Action::Key, '0', {}},
        {"key \"0\"", 200, Step::Action::Key, '0', {}},
        {"clone mode off (200 in the box)", -1, Step::Action::Clone, 0, {}},
        {"clone mode on (200 in the box)", 200, Step::Action::Clone, 0, {}},
    };
    // The model rows clone mode off shows: as many as the first look at the list found.
    const int modelRows = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    SendMessageA(clone, BM_CLICK, 0, 0);
    RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    bool rowsRight = SendMessageA(list, LB_GETCOUNT, 0, 0) == 1;
    if (!rowsRight) std::printf("clone mode on: not one row\n");
    if (!TimeRounds(dialog, modelRows, rounds, steps)) rowsRight = false;
    PrintFigures(steps, modelRows, rounds);

    PostMessageA(dialog, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(program.hProcess, 20000) != WAIT_OBJECT_0) TerminateProcess(program.hProcess, 1);
    CloseHandle(program.hThread);
    CloseHandle(program.hProcess);
    return rowsRight ? 0 : 1;
}
