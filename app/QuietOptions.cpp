#include "app/QuietOptions.h"

#include <cstdint>
#include <optional>
#include <string_view>

#include "connection/IpAddressDialog.h"
#include "connection/NetworkPort.h"
#include "core/CommandLine.h"
#include "core/FixedText.h"
#include "install/NameTables.h"

namespace zenthar {

namespace {

struct ExitCodeText {
    ExitCode code;
    const char* meaning;
};

constexpr ExitCodeText kExitCodes[] = {
    {ExitCode::Installed, "installed (or everything chosen existed already)"},
    {ExitCode::BadArguments, "bad arguments"},
    {ExitCode::WindowsNotSupported, "Windows version not supported"},
    {ExitCode::SpoolerNotAvailable, "spooler not available"},
    {ExitCode::UsbPrinterNotFound, "USB printer not found"},
    {ExitCode::NetworkPortNotWritten, "network port could not be written"},
    {ExitCode::DriverNotRegistered, "driver registration failed"},
    {ExitCode::PrinterNotCreated, "printer creation failed"},
    {ExitCode::OtherFailure, "another failure, named in the log"},
    {ExitCode::NotAsAsked, "not as the options ask (/check), each difference named in the log"},
    {ExitCode::FolderNotLocked, "the installer folder is not safe to use: nothing was changed"},
    {ExitCode::ProtectedPrintMode, "Windows protected print mode is on"},
    {ExitCode::AnotherRunInProgress, "another installation or removal is running; try again later"},
};

// A whole decimal number of at most nine digits; nullopt for anything else.
std::optional<int> WholeNumber(std::string_view text)
{
    if (text.empty() || text.size() > 9) return std::nullopt;
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::string ModelList()
{
    std::string list;
    for (int i = 0; i < kModelCount; ++i) list += (i ? ", " : "") + InQuotes(kModelTable[i]);
    return list;
}

std::string InterfaceList()
{
    std::string list;
    for (int i = 0; i < kInterfaceCount; ++i)
        list += std::string(i ? ", " : "") + InterfaceWord(static_cast<PrinterInterface>(i));
    return list;
}

// The first thing found wrong is the one the run reports.
void Fail(ReadOptions& read, std::string why)
{
    if (read.error.empty()) read.error = std::move(why);
}

void ApplyModel(const std::string& value, ReadOptions& read)
{
    int row = -1;
    for (int i = 0; i < kModelCount; ++i)
        if (SameWordNoCase(value, kModelTable[i])) row = i;
    if (row < 0) {
        Fail(read, "not a model: " + InQuotes(value) + " (one of " + ModelList() + ")");
    } else {
        read.options.modelRows.push_back(row);
    }
}

void ApplyClones(const std::string& value, ReadOptions& read)
{
    const auto clones = WholeNumber(value);
    if (!clones || *clones < 1 || *clones > kCloneCount) {
        Fail(read, "/clones takes a number from 1 to 200, not " + InQuotes(value));
    } else {
        read.options.clones = *clones;
    }
}

void ApplyInterface(const std::string& value, ReadOptions& read)
{
    const auto chosen = InterfaceOfWord(value);
    if (!chosen) {
        Fail(read, "not an interface: " + InQuotes(value) + " (one of " + InterfaceList() + ")");
    } else {
        read.options.printerInterface = *chosen;
    }
}

void ApplyPort(const std::string& value, ReadOptions& read)
{
    read.options.port = value;
}

void ApplyAddress(const std::string& value, ReadOptions& read)
{
    const std::uint32_t address = ParseDottedAddress(value.c_str());
    // The one address whose reading equals the "no address" answer is still an address.
    if (address == kNoAddress && value != "255.255.255.255") {
        Fail(read, "not an address A.B.C.D: " + InQuotes(value));
        return;
    }
    char text[kAddressTextSize];
    FormatText(text, "%u.%u.%u.%u", address >> 24, (address >> 16) & 0xFF, (address >> 8) & 0xFF, address & 0xFF);
    read.options.address = std::string(TextOf(text));
}

void ApplyCodePage(const std::string& value, ReadOptions& read)
{
    const auto number = WholeNumber(value);
    const int index = number ? CodePageIndexOf(static_cast<std::uint32_t>(*number)) : -1;
    if (index < 0) {
        Fail(read, "not a code page of the table: " + InQuotes(value));
    } else {
        read.options.codePageIndex = index;
    }
}

void ApplyLog(const std::string& value, ReadOptions& read)
{
    read.options.logPath = value;
}

void ApplyDefault(const std::string& /*value*/, ReadOptions& read)
{
    read.options.makeDefault = true;
}

void ApplyCheck(const std::string& /*value*/, ReadOptions& read)
{
    read.options.check = true;
}

std::string CodePageList()
{
    std::string list;
    for (const CodePageEntry& entry : CodePageTable) list += " " + std::to_string(entry.codePage);
    return list;
}

// One option of the quiet run: how it is read, how the usage shows it, and what it does.
struct OptionSpec {
    const char* name;  // as OptionName gives it: lower case, without the / or -
    bool takesValue;
    bool repeatable;
    const char* heading;       // a line the usage puts above this option's; null: none
    const char* usage;         // its usage line, "{}" standing for `choices`; null: not shown
    std::string (*choices)();  // null: none
    void (*apply)(const std::string& value, ReadOptions& read);  // null: nothing to do
};

// In the usage's order. "/quiet" is named by the usage's first line.
const OptionSpec kOptions[] = {
    {"quiet", false, false, nullptr, nullptr, nullptr, nullptr},
    {"model", true, true, "WHAT:", "/model NAME: one of {}; may be given more than once", ModelList, ApplyModel},
    {"clones", true, false, nullptr, "/clones N: N numbered printers \"NORVA Orbix #1\" and up, N from 1 to 200",
     nullptr, ApplyClones},
    {"interface", true, false, "WHERE (default: usb):", "/interface KIND: one of {}", InterfaceList, ApplyInterface},
    {"port", true, false, nullptr,
     "/port NAME: for serial, bluetooth and parallel, a port such as COM3: or LPT1: "
     "(default: the first port the interface dialog shows)",
     nullptr, ApplyPort},
    {"address", true, false, nullptr, "/address A.B.C.D: for ethernet and wifi (required there)", nullptr,
     ApplyAddress},
    {"codepage", true, false, nullptr, "/codepage N: the printer's code page (default 1252), one of{}", CodePageList,
     ApplyCodePage},
    {"default", false, false, nullptr,
     "/default: make the last printer chosen the default printer of the user the program runs as, "
     "whether installed now or there already",
     nullptr, ApplyDefault},
    {"check", false, false, nullptr,
     "/check: change nothing; exit code 0 when the machine is as the other options ask, 9 when not", nullptr,
     ApplyCheck},
    {"log", true, false, nullptr, "/log PATH: write each step, message and the result to PATH", nullptr, ApplyLog},
};

const OptionSpec* FindOption(const std::string& name)
{
    for (const OptionSpec& option : kOptions)
        if (name == option.name) return &option;
    return nullptr;
}

std::string UsageLine(const OptionSpec& option)
{
    std::string line = option.usage;
    const auto at = line.find("{}");
    if (option.choices && at != std::string::npos) line.replace(at, 2, option.choices());
    return line + "\n";
}

// What the options say together, once each has been read.
void CheckTogether(ReadOptions& read)
{
    const QuietOptions& options = read.options;
    if (options.modelRows.empty() && options.clones == 0) Fail(read, "nothing to install: give /model or /clones");
    if (!options.modelRows.empty() && options.clones != 0) Fail(read, "/model and /clones cannot go together");
    const std::string interfaceName = InterfaceWord(options.printerInterface);
    if (!options.port.empty() && !ListsSpoolerPorts(options.printerInterface))
        Fail(read, "/port is for serial, bluetooth and parallel, not " + interfaceName);
    if (!options.address.empty() && !NeedsAddress(options.printerInterface))
        Fail(read, "/address is for ethernet and wifi, not " + interfaceName);
    if (options.address.empty() && NeedsAddress(options.printerInterface))
        Fail(read, interfaceName + " needs /address");
}

}  // namespace

const char* ExitCodeMeaning(ExitCode code, bool check)
{
    if (check && code == ExitCode::Installed) return "as the options ask";
    for (const ExitCodeText& each : kExitCodes)
        if (each.code == code) return each.meaning;
    return "";
}

bool AsksUsage(const std::vector<std::string>& arguments)
{
    return arguments.size() == 1 && OptionName(arguments[0]) == "?";
}

std::string UsageText()
{
    // One option a line, without columns: a message box sets it in a proportional font and
    // wraps long lines, where padding only scatters the words.
    std::string text = "Usage: zenthar.exe /quiet WHAT [WHERE] [/codepage N] [/default] [/check] [/log PATH]\n"
                       "Installs without windows; options are case-insensitive and start with / or -.\n";
    for (const OptionSpec& option : kOptions) {
        if (option.heading) text += std::string(option.heading) + "\n";
        if (option.usage) text += UsageLine(option);
    }
    text += "Exit codes:\n";
    for (const ExitCodeText& each : kExitCodes)
        text += std::to_string(static_cast<int>(each.code)) + ": " + each.meaning + "\n";
    return text;
}

ReadOptions ReadQuietOptions(const std::vector<std::string>& arguments)
{
    ReadOptions read;
    std::vector<std::string> seen;
    for (std::size_t at = 0; at < arguments.size(); ++at) {
        const std::string& word = arguments[at];
        const std::string name = OptionName(word);
        const OptionSpec* option = FindOption(name);
        if (name.empty()) {
            Fail(read, "not an option: " + InQuotes(word));
            continue;
        }
        if (!option) {
            Fail(read, "unknown option: " + word);
            continue;
        }
        if (!option->repeatable) {
            for (const std::string& earlier : seen)
                if (earlier == name) Fail(read, "given twice: /" + name);
            seen.push_back(name);
        }
        std::string value;
        if (option->takesValue) {
            // An option where the value should be means the value was left out.
            if (at + 1 >= arguments.size() || FindOption(OptionName(arguments[at + 1]))) {
                Fail(read, "/" + name + " needs a value");
                continue;
            }
            value = arguments[++at];
        }
        if (option->apply) option->apply(value, read);
    }
    CheckTogether(read);
    return read;
}

}  // namespace zenthar
