#include "app/QuietOptions.h"

#include <cstdint>
#include <optional>
#include <string_view>

#include "connection/IpAddressDialog.h"
#include "connection/NetworkPort.h"
#include "core/CommandLine.h"
#include "core/FixedText.h"
#include "install/NameTables.h"
#include "resources/InstallerWords.h"

namespace zenthar {

using resources::Say;
using resources::Text;
using resources::Words;

namespace {

struct ExitCodeText {
    ExitCode code;
    Words meaning;
};

constexpr ExitCodeText kExitCodes[] = {
    {ExitCode::Installed, Words::ExitInstalled},
    {ExitCode::BadArguments, Words::ExitBadArguments},
    {ExitCode::WindowsNotSupported, Words::ExitWindowsNotSupported},
    {ExitCode::SpoolerNotAvailable, Words::ExitSpoolerNotAvailable},
    {ExitCode::UsbPrinterNotFound, Words::ExitUsbPrinterNotFound},
    {ExitCode::NetworkPortNotWritten, Words::ExitNetworkPortNotWritten},
    {ExitCode::DriverNotRegistered, Words::ExitDriverNotRegistered},
    {ExitCode::PrinterNotCreated, Words::ExitPrinterNotCreated},
    {ExitCode::OtherFailure, Words::ExitOtherFailure},
    {ExitCode::NotAsAsked, Words::ExitNotAsAsked},
    {ExitCode::FolderNotLocked, Words::ExitFolderNotLocked},
    {ExitCode::ProtectedPrintMode, Words::ExitProtectedPrintMode},
    {ExitCode::AnotherRunInProgress, Words::ExitAnotherRunInProgress},
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
        Fail(read, Say(Words::NotAModel, InQuotes(value), ModelList()));
    } else {
        read.options.modelRows.push_back(row);
    }
}

void ApplyClones(const std::string& value, ReadOptions& read)
{
    const auto clones = WholeNumber(value);
    if (!clones || *clones < 1 || *clones > kCloneCount) {
        Fail(read, Say(Words::NotAClonesNumber, InQuotes(value)));
    } else {
        read.options.clones = *clones;
    }
}

void ApplyInterface(const std::string& value, ReadOptions& read)
{
    const auto chosen = InterfaceOfWord(value);
    if (!chosen) {
        Fail(read, Say(Words::NotAnInterface, InQuotes(value), InterfaceList()));
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
        Fail(read, Say(Words::NotAnAddress, InQuotes(value)));
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
        Fail(read, Say(Words::NotACodePage, InQuotes(value)));
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
    std::optional<Words> heading;  // a line the usage puts above this option's
    std::optional<Words> usage;    // its usage line, "%s" standing for `choices`; none: not shown
    std::string (*choices)();      // null: none
    void (*apply)(const std::string& value, ReadOptions& read);  // null: nothing to do
};

// In the usage's order. "/quiet" is named by the usage's first line.
const OptionSpec kOptions[] = {
    {"quiet", false, false, std::nullopt, std::nullopt, nullptr, nullptr},
    {"model", true, true, Words::UsageWhat, Words::UsageModel, ModelList, ApplyModel},
    {"clones", true, false, std::nullopt, Words::UsageClones, nullptr, ApplyClones},
    {"interface", true, false, Words::UsageWhere, Words::UsageInterface, InterfaceList, ApplyInterface},
    {"port", true, false, std::nullopt, Words::UsagePort, nullptr, ApplyPort},
    {"address", true, false, std::nullopt, Words::UsageAddress, nullptr, ApplyAddress},
    {"codepage", true, false, std::nullopt, Words::UsageCodePage, CodePageList, ApplyCodePage},
    {"default", false, false, std::nullopt, Words::UsageDefault, nullptr, ApplyDefault},
    {"check", false, false, std::nullopt, Words::UsageCheck, nullptr, ApplyCheck},
    {"log", true, false, std::nullopt, Words::UsageLog, nullptr, ApplyLog},
};

const OptionSpec* FindOption(const std::string& name)
{
    for (const OptionSpec& option : kOptions)
        if (name == option.name) return &option;
    return nullptr;
}

std::string UsageLine(const OptionSpec& option)
{
    return (option.choices ? Say(*option.usage, option.choices()) : std::string(Text(*option.usage))) + "\n";
}

// What the options say together, once each has been read.
void CheckTogether(ReadOptions& read)
{
    const QuietOptions& options = read.options;
    if (options.modelRows.empty() && options.clones == 0) Fail(read, Text(Words::NothingToInstall));
    if (!options.modelRows.empty() && options.clones != 0) Fail(read, Text(Words::ModelWithClones));
    const std::string interfaceName = InterfaceWord(options.printerInterface);
    if (!options.port.empty() && !ListsSpoolerPorts(options.printerInterface))
        Fail(read, Say(Words::PortNotForInterface, interfaceName));
    if (!options.address.empty() && !NeedsAddress(options.printerInterface))
        Fail(read, Say(Words::AddressNotForInterface, interfaceName));
    if (options.address.empty() && NeedsAddress(options.printerInterface))
        Fail(read, Say(Words::InterfaceNeedsAddress, interfaceName));
}

}  // namespace

const char* ExitCodeMeaning(ExitCode code, bool check)
{
    if (check && code == ExitCode::Installed) return Text(Words::ExitAsAsked);
    for (const ExitCodeText& each : kExitCodes)
        if (each.code == code) return Text(each.meaning);
    return "";
}

std::string ResultLine(ExitCode code, bool check)
{
    return Say(Words::LogResult, static_cast<int>(code), ExitCodeMeaning(code, check));
}

bool AsksUsage(const std::vector<std::string>& arguments)
{
    return arguments.size() == 1 && OptionName(arguments[0]) == "?";
}

std::string UsageText()
{
    // One option a line, without columns: a message box sets it in a proportional font and
    // wraps long lines, where padding only scatters the words.
    std::string text = Text(Words::Usage);
    for (const OptionSpec& option : kOptions) {
        if (option.heading) text += std::string(Text(*option.heading)) + "\n";
        if (option.usage) text += UsageLine(option);
    }
    text += std::string(Text(Words::UsageExitCodes)) + "\n";
    for (const ExitCodeText& each : kExitCodes)
        text += Say(Words::UsageExitCode, static_cast<int>(each.code), Text(each.meaning)) + "\n";
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
            Fail(read, Say(Words::NotAnOption, InQuotes(word)));
            continue;
        }
        if (!option) {
            Fail(read, Say(Words::UnknownOption, word));
            continue;
        }
        if (!option->repeatable) {
            for (const std::string& earlier : seen)
                if (earlier == name) Fail(read, Say(Words::GivenTwice, name));
            seen.push_back(name);
        }
        std::string value;
        if (option->takesValue) {
            // An option where the value should be means the value was left out.
            if (at + 1 >= arguments.size() || FindOption(OptionName(arguments[at + 1]))) {
                Fail(read, Say(Words::NeedsValue, name));
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
