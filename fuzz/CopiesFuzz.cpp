// The copies edit box: any text, through the real change handler of the main dialog.
#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdint>

#include "FuzzSupport.h"
#include "app/InstallerApp.h"
#include "install/NameTables.h"
#include "resources/MainDialogIds.h"
#include "resources/ResourceIds.h"

namespace {

using namespace zenthar;

using resources::main_ids::kCloneCheck;
using resources::main_ids::kCopiesEdit;
using resources::main_ids::kInstallButton;
using resources::main_ids::kModelList;
constexpr std::size_t kCopiesBuffer = 63;  // the handler reads this much of the box
constexpr long long kMaxCopies = 200;
// A megabyte: far more than the box holds; longer inputs only slow the run.
constexpr std::size_t kLongestInput = std::size_t{1} << 20;

// The leading decimal number of a text as the C library reads it, held at int's limits.
long long LeadingNumber(const std::string& text)
{
    std::size_t at = 0;
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
    long long value = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        value = value * 10 + (text[at] - '0');
        if (value > INT_MAX) value = static_cast<long long>(INT_MAX) + 1;
    }
    value = negative ? -value : value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > kLongestInput) return 0;
    const std::string typed = fuzz::AsText(std::string(reinterpret_cast<const char*>(data), size));

    fuzz::World world;
    ProcessState state(world.machine.platform());
    std::vector<std::string> rows;
    std::vector<int> checks;
    std::string shown;
    bool install = false;
    world.screen.Script(resources::kMainDialog)
        .Click(kCloneCheck)
        .SetText(kCopiesEdit, typed)
        .Then([&](ui::headless::HeadlessDialog& d) {
            rows = d.Rows(kModelList);
            checks = d.RowChecks(kModelList);
            shown = d.Find(kCopiesEdit)->text;
            install = d.Find(kInstallButton)->Enabled();
        })
        .PressEscape();
    RunInstallerApp(world.machine.platform(), state);

    const long long copies = LeadingNumber(typed.substr(0, kCopiesBuffer));
    const long long expectedRows = std::clamp(copies, 0LL, kMaxCopies);
    FUZZ_CHECK(rows.size() == static_cast<std::size_t>(expectedRows), "one row per copy, at most 200");
    for (std::size_t i = 0; i < rows.size(); ++i) {
        FUZZ_CHECK(rows[i] == "NORVA Orbix #" + std::to_string(i + 1), "clone rows are numbered from 1");
        FUZZ_CHECK(checks[i] == 1, "a clone without a printer is checked");
    }
    FUZZ_CHECK(shown == (copies > kMaxCopies ? std::string("200") : typed), "more than 200 shows as 200");
    FUZZ_CHECK(install == (copies >= 1), "Install follows the number of copies");
    FUZZ_CHECK(world.screen.Errors().empty(), "the script ran as written");
    FUZZ_CHECK(world.machine.Misuses().empty(), "no misuse of the platform");
    return 0;
}
